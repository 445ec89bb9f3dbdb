// Pictures of every window for the documentation, taken as the screen shows them: each window
// is shown in turn over a gallery job on generated photos in $HOME/Pictures (one of them
// broken) and the screen is captured with ImageMagick's `import -window root`, cut to the
// window and its frame. Not a test; docs/pictures/make-pictures runs it under xvfb-run with a
// HOME of its own. The windows are shown in Qt's font and palette, or in a font of the given
// size and a dark palette as a desktop would give them.
//   window_pictures OUTPUT_DIR [--font-size POINTS] [--dark]
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "support/test_jpeg.h"
#include "ui/main_window.h"
#include "ui/progress_window.h"
#include "ui/run_summary_window.h"
#include "ui/searching_window.h"
#include "ui_test_support.h"

namespace {

QString out_dir;

// Shows `window`, lets it settle and captures its part of the screen as NAME.png.
void Capture(QWidget& window, const QString& name) {
  window.show();
  window.raise();
  window.activateWindow();
  if (!QTest::qWaitForWindowExposed(&window))
    std::fprintf(stderr, "%s not shown\n", qPrintable(name));
  // The window manager frames the window a moment after it is shown (without one, never).
  static_cast<void>(
      QTest::qWaitFor([&] { return window.frameGeometry() != window.geometry(); }, 2000));
  QTest::qWait(300);
  const qreal scale = window.devicePixelRatioF();
  const QString path = out_dir + "/" + name + ".png";
  // A frame still moving gives a picture of the wrong size: take it again.
  for (int attempt = 0; attempt < 5; ++attempt) {
    const QRect frame = window.frameGeometry();
    const QSize size(qRound(frame.width() * scale), qRound(frame.height() * scale));
    const QString crop = QString("%1x%2+%3+%4")
                             .arg(size.width())
                             .arg(size.height())
                             .arg(qRound(frame.x() * scale))
                             .arg(qRound(frame.y() * scale));
    if (QProcess::execute("import", {"-window", "root", "-crop", crop, "+repage", path}) == 0 &&
        QImage(path).size() == size) {
      return;
    }
    QTest::qWait(500);
  }
  std::fprintf(stderr, "cannot capture %s\n", qPrintable(path));
}

// A photo of a few hundred pixels with a gradient of its own.
void Photo(const std::string& path, int seed) {
  quorvel::testing::TestJpegOptions options;
  options.width = 480;
  options.height = 320;
  options.pixel = [seed](int x, int y, int c) {
    return static_cast<std::uint8_t>((x * (c + 1) + y * (3 - c) + seed * 40) % 256);
  };
  quorvel::testing::WriteTestJpeg(path, options);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList arguments = QApplication::arguments().mid(1);
  const qsizetype size_at = arguments.indexOf("--font-size");
  const int points = size_at >= 0 ? arguments.value(size_at + 1).toInt() : 0;
  if (arguments.isEmpty() || arguments[0].startsWith("-") || (size_at >= 0 && points <= 0)) {
    std::fprintf(stderr, "usage: window_pictures OUTPUT_DIR [--font-size POINTS] [--dark]\n");
    return 2;
  }
  if (points > 0) {
    QFont font = QApplication::font();
    font.setPointSize(points);
    QApplication::setFont(font);
  }
  if (arguments.contains("--dark")) QApplication::setPalette(quorvel::testing::DarkPalette());
  out_dir = arguments[0];
  QDir().mkpath(out_dir);
  const std::string home = QDir::homePath().toStdString();
  const auto folder = [&](const std::string& relative) {
    std::filesystem::create_directories(home + "/" + relative);
    return home + "/" + relative;
  };
  const std::string holiday = folder("Pictures/Holiday 2024");
  const std::string garden = folder("Pictures/Garden");
  const std::string scans = folder("Pictures/Scans from the attic of the old house/1987");
  for (int i = 0; i < 6; ++i) Photo(holiday + "/IMG_00" + std::to_string(10 + i) + ".jpg", i);
  for (int i = 0; i < 3; ++i) Photo(garden + "/garden-" + std::to_string(i) + ".jpg", i + 6);
  std::ofstream(garden + "/truncated.jpg") << "\xFF\xD8\xFF\xE0 this photo was cut short";
  std::ofstream(garden + "/IMG_0042.HEIC") << "a phone's photo, named only: not read without --web";

  quorvel::ui::MainWindowOptions options;
  options.config_path = folder(".config/quorvelandiscope") + "/quorvel.cfg";
  options.prompts = quorvel::ui::UserPrompts::Standard();
  options.prompts.ask = [](QWidget*, const QString&) { return false; };
  options.prompts.run_progress = [](quorvel::ui::ProgressWindow& window) {
    window.findChild<QTimer*>()->stop();  // ticked here, so that the picture is taken half-way
    window.show();
    for (int done = 0; window.Tick(); ++done) {
      if (done == 5) Capture(window, "progress-window");
    }
    return window.result();
  };
  options.prompts.show_summary = [](quorvel::ui::RunSummaryWindow& window) {
    Capture(window, "run-summary");
    window.hide();
  };
  quorvel::ui::MainWindow window(std::move(options));
  window.AddGivenPaths({QString::fromStdString(garden), QString::fromStdString(holiday),
                        QString::fromStdString(scans)});
  window.findChild<QLineEdit*>("HTMLDirectoryEdit")
      ->setText(QString::fromStdString(folder("Web/gallery") + "/"));
  window.findChild<QLineEdit*>("AllThumbnailsDirectoryEdit")
      ->setText(QString::fromStdString(folder("Web/gallery/thumbs") + "/"));
  Capture(window, "main-window");
  window.findChild<QWidget*>("LockBtn")->setProperty("checked", true);
  Capture(window, "main-window-locked");
  window.findChild<QWidget*>("LockBtn")->setProperty("checked", false);

  // The dialogs belong to the main window; each is found by its caption.
  const auto dialog = [&](const QString& caption) {
    for (QDialog* d : window.findChildren<QDialog*>(Qt::FindDirectChildrenOnly)) {
      if (d->windowTitle() == caption) return d;
    }
    qFatal("no window %s", qPrintable(caption));
  };
  const std::pair<const char*, const char*> dialogs[] = {
      {"Thumbnail properties", "thumbnail"}, {"Table properties", "table"},
      {"Cell properties", "cell"},           {"Text properties", "text"},
      {"HTML Properties", "html"},           {"Navigator properties", "navigator"},
      {"Pictures properties", "pictures"}};
  for (const auto& [caption, name] : dialogs) {
    Capture(*dialog(caption), QString(name) + "-properties");
    dialog(caption)->hide();
  }
  QDialog* pictures = dialog("Pictures properties");
  pictures->show();
  pictures->findChild<QCheckBox*>("CreateHTMLCheckBox")->click();
  Capture(*pictures, "pictures-properties-full");
  pictures->reject();

  Capture(*dialog("Directory"), "directory-picker");
  dialog("Directory")->hide();
  quorvel::ui::SearchingWindow searching("/");  // a walk long enough to be seen
  Capture(searching, "searching-window");
  searching.reject();
  Capture(*dialog("About"), "about-box");
  dialog("About")->hide();

  window.findChild<QPushButton*>("GoBtn")
      ->click();  // the progress window half-way and the summary with the broken photo
  return 0;
}
