// Draws the main window and every property dialog into PNG files, for looking at them by eye
// and for the pictures under docs/. Not a test: run it on a real display (or under xvfb-run).
//   window_pictures OUTPUT_DIR
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QPixmap>
#include <QTest>
#include <cstdio>

#include "support/temp_dir.h"
#include "ui/main_window.h"
#include "ui/property_dialogs.h"

namespace {

void Save(QWidget& widget, const QString& path) {
  widget.show();
  if (!QTest::qWaitForWindowExposed(&widget)) std::fprintf(stderr, "window not shown\n");
  QTest::qWait(100);
  if (!widget.grab().save(path)) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  widget.hide();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: window_pictures OUTPUT_DIR\n");
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(out);
  quorvel::testing::TempDir tmp;
  quorvel::ui::MainWindowOptions options;
  options.config_path = tmp.file("quorvel.cfg");
  options.prompts = quorvel::ui::UserPrompts::Standard();
  options.prompts.ask = [](QWidget*, const QString&) { return false; };
  quorvel::ui::MainWindow window(std::move(options));
  Save(window, out + "/main-window.png");

  using quorvel::ui::PropertyDialogKind;
  const std::pair<PropertyDialogKind, const char*> dialogs[] = {
      {PropertyDialogKind::Thumbnail, "thumbnail"}, {PropertyDialogKind::Table, "table"},
      {PropertyDialogKind::Cell, "cell"},           {PropertyDialogKind::Text, "text"},
      {PropertyDialogKind::Html, "html"},           {PropertyDialogKind::Navigator, "navigator"},
      {PropertyDialogKind::Pictures, "pictures"}};
  for (const auto& [kind, name] : dialogs) {
    Save(*window.Dialogs().Dialog(kind), out + "/" + name + "-properties.png");
  }
  // The Pictures dialog at its full size too.
  QWidget* pictures = window.Dialogs().Dialog(PropertyDialogKind::Pictures);
  QTest::mouseClick(pictures->findChild<QWidget*>("CreateHTMLCheckBox"), Qt::LeftButton);
  Save(*pictures, out + "/pictures-full.png");
  return 0;
}
