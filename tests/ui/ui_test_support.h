// What the window tests share: rows from tables, finding a control by name, a dark palette, and
// prompts that answer for the user and keep what they were asked and shown.
#pragma once

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <cmath>
#include <tuple>

#include "support/temp_dir.h"
#include "ui/progress_window.h"
#include "ui/run_summary_window.h"
#include "ui/user_prompts.h"

namespace quorvel::testing {

// Qt Test rows from a table of tuples whose first element is the row's name: `_data()` calls
// Rows(table), the test takes its entry with Row(table).
template <typename T, std::size_t N>
void Rows(const T (&table)[N]) {
  QTest::addColumn<int>("row");
  for (std::size_t i = 0; i < N; ++i) QTest::newRow(std::get<0>(table[i])) << static_cast<int>(i);
}
template <typename T, std::size_t N>
const T& Row(const T (&table)[N]) {
  QFETCH(int, row);
  return table[row];
}

template <typename T = QWidget>
T* Find(const QObject* root, const QString& name) {
  T* child = root != nullptr ? root->findChild<T*>(name) : nullptr;
  if (child == nullptr) qFatal("no control %s", qPrintable(name));
  return child;
}

// The names of the shown controls whose texts are cut short: buttons, drop-down lists and labels
// laid out narrower (or, wrapping, lower) than their texts need.
inline QStringList ClippedTexts(const QWidget* window) {
  QStringList clipped;
  for (const QWidget* w : window->findChildren<QWidget*>()) {
    const auto* label = qobject_cast<const QLabel*>(w);
    const bool wraps = label && label->wordWrap();
    if (w->isVisible() && ((wraps && w->height() < w->heightForWidth(w->width())) ||
                           ((qobject_cast<const QAbstractButton*>(w) ||
                             qobject_cast<const QComboBox*>(w) || (label && !wraps)) &&
                            w->width() < w->sizeHint().width()))) {
      clipped << (w->objectName().isEmpty() ? w->property("text").toString() : w->objectName());
    }
  }
  return clipped;
}

// The contrast ratio of two colours as WCAG reckons it, from 1 to 21.
inline double Contrast(const QColor& a, const QColor& b) {
  const auto luminance = [](const QColor& c) {
    const auto linear = [](double v) {
      return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
  };
  const double x = luminance(a) + 0.05, y = luminance(b) + 0.05;
  return std::max(x, y) / std::min(x, y);
}

// Where the inside of a window of `size` sits when centred on the screen.
inline QPoint ScreenCentre(QSize size) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  return {area.left() + area.width() / 2 - size.width() / 2,
          area.top() + area.height() / 2 - size.height() / 2};
}

// A dark palette as desktops give one: light text on dark grey, a blue selection.
inline QPalette DarkPalette() {
  QPalette p;
  const std::pair<QPalette::ColorRole, QColor> colours[] = {
      {QPalette::Window, {53, 53, 53}},        {QPalette::Button, {53, 53, 53}},
      {QPalette::AlternateBase, {53, 53, 53}}, {QPalette::Base, {35, 35, 35}},
      {QPalette::ToolTipBase, {35, 35, 35}},   {QPalette::PlaceholderText, {127, 127, 127}},
      {QPalette::Light, {80, 80, 80}},         {QPalette::Midlight, {66, 66, 66}},
      {QPalette::Mid, {40, 40, 40}},           {QPalette::Dark, {30, 30, 30}},
      {QPalette::Shadow, {20, 20, 20}},        {QPalette::BrightText, {255, 80, 80}},
      {QPalette::Link, {100, 170, 250}},       {QPalette::LinkVisited, {180, 140, 250}},
      {QPalette::Highlight, {42, 130, 218}},   {QPalette::HighlightedText, Qt::black}};
  for (const auto& [role, colour] : colours) p.setColor(role, colour);
  for (const auto role :
       {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::ToolTipText}) {
    p.setColor(role, QColor(230, 230, 230));
    p.setColor(QPalette::Disabled, role, QColor(127, 127, 127));
  }
  p.setColor(QPalette::Disabled, QPalette::Highlight, QColor(80, 80, 80));
  return p;
}

// Answers every question and file dialog; runs the progress window to its end or presses Esc
// after `stop_after` images, keeping its last title and time left; keeps the messages and the
// summary's lines (the first row of each list last, and any text cut short), and presses "Open
// Gallery".
struct Answers {
  bool yes = false;
  std::optional<std::string> file;
  int stop_after = -1;
  QStringList questions, errors, shown, progress, file_dialogs;
  QList<QUrl> opened;

  ui::UserPrompts Prompts() {
    ui::UserPrompts p;
    p.ask = [this](QWidget*, const QString& q) {
      questions << q;
      return yes;
    };
    p.show_error = [this](QWidget*, const QString& m) { errors << m; };
    p.inform = [this](QWidget*, const QString& m) { shown << m; };
    p.save_file = p.open_file = [this](QWidget*, const ui::FileDialogRequest& request) {
      file_dialogs << request.title;
      return file;
    };
    p.run_progress = [this](ui::ProgressWindow& w) {
      w.show();
      int done = 0;
      while (done != stop_after && w.Tick()) ++done;
      progress = {w.windowTitle(), Find<QLabel>(&w, "TimeLeftLabel")->text()};
      if (w.isVisible()) QTest::keyClick(&w, Qt::Key_Escape);
      return w.result();
    };
    p.show_summary = [this](ui::RunSummaryWindow& w) {
      shown << Find<QLabel>(&w, "HeadlineLabel")->text()
            << Find<QLabel>(&w, "FiguresLabel")->text();
      w.show();
      for (const QString& name : ClippedTexts(&w)) shown << "cut short: " + name;
      for (const char* list : {"FailureList", "WarningList", "SkippedList"}) {
        if (const QTreeWidgetItem* row = Find<QTreeWidget>(&w, list)->topLevelItem(0)) {
          shown << row->text(0) + ": " + row->text(1);
        }
      }
      w.SetOpener([this](const QUrl& url) { opened << url; });
      Find<QPushButton>(&w, "OpenBtn")->click();
    };
    return p;
  }
};

}  // namespace quorvel::testing
