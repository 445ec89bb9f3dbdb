// Every window as the user meets it: the topic of every control in the help-id table, the ways
// of asking for it, and each window centred on the screen (staying there when shown again),
// every text whole, the buttons at the bottom right and Tab following the layout.
#include <QContextMenuEvent>
#include <QWhatsThis>

#include "persist/config_file.h"
#include "ui/about_box.h"
#include "ui/desktop_shortcut.h"
#include "ui/directory_picker.h"
#include "ui/help_topics.h"
#include "ui/main_window.h"
#include "ui/property_dialogs.h"
#include "ui_test_support.h"

using namespace quorvel;
using testing::Find;
using testing::Row;

namespace {

// A control and how the user asks about it: "menu" (right click, "What's this?"), "key menu"
// (the keyboard's menu key), "F1", or "?" (the dialog's question-mark button, then a click);
// the topic shown (0: none).
const std::tuple<const char*, const char*, const char*, const char*, int> kAsks[] = {
    {"right click on GO!", "Quorvelandiscope", "GoBtn", "menu", 1005},
    {"right click on the lock", "Quorvelandiscope", "LockBtn", "menu", 1006},
    {"no menu on Save", "Quorvelandiscope", "SaveBtn", "menu", 0},
    {"menu key is no right click", "Quorvelandiscope", "GoBtn", "key menu", 0},
    {"F1 in a dialog", "Table properties", "BorderSizeEdit", "F1", 3002},
    {"question mark in a dialog", "Cell properties", "CellWidthEdit", "?", 5003},
    {"no id anywhere", "Cell properties", "CellWidthCheckBox", "?", 0},
};

// Whether `b` comes after `a` in reading order: to the right on the same row, further down,
// or at the top of a column further right.
bool ReadsAfter(const QRect& a, const QRect& b) {
  if (std::abs(a.center().y() - b.center().y()) < std::min(a.height(), b.height()) / 2) {
    return b.left() > a.left();
  }
  return b.top() > a.top() || b.left() >= a.right();
}

class WindowsTest : public QObject {
  Q_OBJECT
  testing::TempDir tmp_;
  testing::Answers answers_;
  std::unique_ptr<ui::MainWindow> main_;
  std::unique_ptr<QWidget> extra_;
  QList<int> shown_;

  QWidget* Window(const QString& caption) {
    if (caption == "Quorvelandiscope") return main_.get();
    if (caption == "Directory") return &main_->Picker();
    if (caption == "About") return main_->findChild<ui::AboutBox*>();
    if (caption == "Process stats") extra_ = std::make_unique<ui::ProgressWindow>();
    if (caption == "Run summary") {
      RunSummary summary{1, 1, 1, false, "", {{"/pics/broken.jpg", "Not a JPEG file"}}};
      extra_ = std::make_unique<ui::RunSummaryWindow>(summary, std::vector<std::string>{"/w/i"});
    }
    if (extra_ && extra_->windowTitle() == caption) return extra_.get();
    for (int kind = 0; kind <= static_cast<int>(ui::PropertyDialogKind::Pictures); ++kind) {
      QWidget* d = main_->Dialogs().Dialog(static_cast<ui::PropertyDialogKind>(kind));
      if (caption.startsWith(d->windowTitle())) return d;
    }
    qFatal("no window %s", qPrintable(caption));
  }

 private slots:
  void initTestCase() {
    persist::ConfigFile(tmp_.file("quorvel.cfg"))
        .WriteBool(persist::config_keys::kWindow, persist::config_keys::kIcon, true);
    ui::MainWindowOptions options{tmp_.file("quorvel.cfg"), answers_.Prompts(), nullptr};
    main_ = std::make_unique<ui::MainWindow>(std::move(options));
    main_->Help().SetMenuRunner([](QWidget*, const QPoint&) { return true; });
    main_->Help().SetTopicShower([this](int id, const QString& text, QWidget*) {
      if (!text.isEmpty()) shown_ << id;
    });
  }
  void init() { shown_.clear(); }

  void everyControlShowsItsTopic_data() {
    QTest::addColumn<int>("row");
    for (int i = 0; i < ui::kHelpIdCount; ++i) {
      QTest::addRow("%s %s", ui::kHelpIds[i].window, ui::kHelpIds[i].control) << i;
    }
  }
  void everyControlShowsItsTopic() {
    QFETCH(int, row);
    const ui::HelpIdEntry& entry = ui::kHelpIds[row];
    QWidget* control = Find(Window(entry.window), entry.control);
    // A click lands on the innermost widget, the edit inside a spin box say.
    QWidget* clicked = control->focusProxy() ? control->focusProxy() : control;
    QHelpEvent click(QEvent::WhatsThis, {1, 1}, clicked->mapToGlobal(QPoint(1, 1)));
    QApplication::sendEvent(clicked, &click);
    QCOMPARE(shown_, QList<int>{entry.id});
  }

  void noTopicIsStray() {
    for (const int id : ui::HelpTopics::FromResource().Ids()) {
      QVERIFY(std::any_of(ui::kHelpIds, ui::kHelpIds + ui::kHelpIdCount,
                          [id](const ui::HelpIdEntry& e) { return e.id == id; }));
    }
  }

  void askingForHelp_data() { testing::Rows(kAsks); }
  void askingForHelp() {
    const auto& [name, window, control_name, how_text, id] = Row(kAsks);
    QWidget* control = Find(Window(window), control_name);
    const std::string how = how_text;
    if (how == "menu" || how == "key menu") {
      QContextMenuEvent menu(how == "menu" ? QContextMenuEvent::Mouse : QContextMenuEvent::Keyboard,
                             {1, 1}, control->mapToGlobal(QPoint(1, 1)));
      QApplication::sendEvent(control, &menu);
    } else if (how == "F1") {
      QTest::keyClick(control, Qt::Key_F1);
    } else {
      Find<QToolButton>(control->window(), "WhatsThisBtn")->click();
      QVERIFY(QWhatsThis::inWhatsThisMode());
      QWhatsThis::leaveWhatsThisMode();
      QHelpEvent click(QEvent::WhatsThis, {1, 1}, control->mapToGlobal(QPoint(1, 1)));
      QApplication::sendEvent(control, &click);
    }
    QCOMPARE(shown_, id ? QList<int>{id} : QList<int>{});
  }

  void windowsSitWellOnTheScreen_data() {
    QTest::addColumn<QString>("caption");
    for (const char* caption :
         {"Quorvelandiscope", "Thumbnail properties", "Table properties", "Cell properties",
          "Text properties", "HTML Properties", "Navigator properties", "Pictures properties",
          "Pictures properties, full", "Directory", "About", "Process stats", "Run summary"}) {
      QTest::newRow(caption) << QString(caption);
    }
  }
  void windowsSitWellOnTheScreen() {
    QFETCH(QString, caption);
    QWidget* window = Window(caption);
    if (caption.endsWith("full")) Find<QCheckBox>(window, "CreateHTMLCheckBox")->click();
    window->show();
    const QPoint first = window->pos();
    window->hide();
    window->show();
    QCOMPARE(window->pos(), first);  // no creeping from one showing to the next
    QCOMPARE(window->pos(), testing::ScreenCentre(window->size()));
    for (QWidget* w : window->findChildren<QWidget*>()) {
      // Texts in layouts (the progress window places its few controls itself).
      const auto* label = qobject_cast<QLabel*>(w);
      const bool text = qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) ||
                        (label && !label->wordWrap());
      if (text && w->isVisible() && w->parentWidget()->layout()) {
        QVERIFY2(w->width() >= w->sizeHint().width(), qPrintable(w->objectName()));
      }
    }
    if (auto* last = window->findChild<QPushButton*>("CancelBtn", Qt::FindDirectChildrenOnly)) {
      QVERIFY(window->width() - last->geometry().right() < 20);
      QVERIFY(window->height() - last->geometry().bottom() < 20);
    }
    QRect previous;
    for (QWidget* w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain()) {
      if (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisible() || w->focusProxy()) continue;
      const QRect place(w->mapTo(window, QPoint(0, 0)), w->size());
      QVERIFY2(previous.isNull() || ReadsAfter(previous, place), qPrintable(w->objectName()));
      previous = place;
    }
    if (caption == "Directory") QCOMPARE(window->focusWidget(), main_->Picker().Tree());
    window->hide();
  }
};

}  // namespace

QTEST_MAIN(WindowsTest)
#include "windows_test.moc"
