// The progress window over a real run: caption after each tick, stop by button and Esc
// leaving a complete page, the label's middle ellipsis and the failure summary.
#include "ui/progress_window.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "run/generation_run.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

using quorvel::GallerySettings;
using quorvel::GenerationRun;
using quorvel::RunSummary;
using quorvel::testing::ReadFile;
using quorvel::testing::TempDir;
using quorvel::ui::ElideMiddle;
using quorvel::ui::ProgressWindow;

namespace {

// A tree with `count` images in pics/, pages to web/, thumbnails to thumbs/.
GallerySettings Gallery(const TempDir& tmp, int count) {
  tmp.mkdir("web");
  tmp.mkdir("thumbs");
  tmp.mkdir("pics");
  for (int i = 0; i < count; ++i) {
    quorvel::testing::WriteTestJpeg(tmp.file("pics/img" + std::to_string(i) + ".jpg"));
  }
  GallerySettings settings;
  settings.Output.HTMLDirectory = tmp.file("web/");
  settings.Output.AllThumbnailsDirectory = tmp.file("thumbs/");
  settings.Output.Directories = {tmp.file("pics")};
  return settings;
}

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

bool IsCompletePage(const std::string& page) {
  const std::string end = "</table>\r\n\r\n\r\n</body>\r\n</html>\r\n";
  return page.size() > end.size() && page.compare(page.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

class ProgressWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void captionAfterEachTick() {
    TempDir tmp;
    GenerationRun run(Gallery(tmp, 3), {});
    QCOMPARE(run.StartRun(), GenerationRun::Start::Started);
    ProgressWindow window;
    window.Attach(&run);
    window.show();
    QCOMPARE(window.windowTitle(), QString("Process stats [0 / 3]"));
    QCOMPARE(window.ProgressBar()->maximum(), 3);
    for (int i = 1; i <= 3; ++i) {
      QVERIFY(window.Tick());
      QCOMPARE(window.windowTitle(), QString("Process stats [%1 / 3]").arg(i));
      QCOMPARE(window.ProgressBar()->value(), i);
    }
    QVERIFY(!window.Tick());  // closes the last page and the window
    QVERIFY(!window.isVisible());
    QCOMPARE(window.result(), int(QDialog::Accepted));
    QVERIFY(IsCompletePage(ReadFile(tmp.file("web/index.html"))));
  }

  void stopAfterFirstImageLeavesCompletePage_data() {
    QTest::addColumn<bool>("byEscape");
    QTest::newRow("Stop button") << false;
    QTest::newRow("Esc") << true;
  }

  void stopAfterFirstImageLeavesCompletePage() {
    QFETCH(bool, byEscape);
    TempDir tmp;
    GenerationRun run(Gallery(tmp, 3), {});
    QCOMPARE(run.StartRun(), GenerationRun::Start::Started);
    ProgressWindow window;
    window.Attach(&run);
    window.show();
    QVERIFY(window.Tick());
    if (byEscape) {
      QTest::keyClick(&window, Qt::Key_Escape);
    } else {
      window.StopButton()->click();
    }
    QVERIFY(!run.running());
    QVERIFY(run.summary().stopped);
    QVERIFY(!window.isVisible());
    const std::string page = ReadFile(tmp.file("web/index.html"));
    QVERIFY(IsCompletePage(page));
    QCOMPARE(Count(page, "<td"), 1);
    QVERIFY(!window.Tick());  // a stopped run takes no more ticks
  }

  void executeReturnsTheSummaryAndListsFailures() {
    TempDir tmp;
    GallerySettings settings = Gallery(tmp, 2);
    tmp.write("pics/broken.jpg", "not a jpeg");
    GenerationRun run(settings, {});
    QCOMPARE(run.StartRun(), GenerationRun::Start::Started);
    QString shown;
    const RunSummary summary = ProgressWindow::Execute(
        run, nullptr,
        [](ProgressWindow& w) {
          while (w.Tick()) {
          }
          return w.result();
        },
        [&](QWidget*, const QString& text) { shown = text; });
    QCOMPARE(summary.images_failed, 1);
    QVERIFY(shown.contains(QString::fromStdString(tmp.file("pics/broken.jpg")) + ": "));
    QVERIFY(shown.startsWith("1 of 3 images could not be processed:"));
  }

  void executeWithoutFailuresShowsNothing() {
    TempDir tmp;
    GenerationRun run(Gallery(tmp, 1), {});
    QCOMPARE(run.StartRun(), GenerationRun::Start::Started);
    bool shown = false;
    ProgressWindow::Execute(
        run, nullptr, [](ProgressWindow& w) { return w.Tick() ? 0 : 1; },
        [&](QWidget*, const QString&) { shown = true; });
    // The runner gave up after one tick: the run was stopped with its page closed.
    QVERIFY(!run.running());
    QVERIFY(!shown);
    QVERIFY(IsCompletePage(ReadFile(tmp.file("web/index.html"))));
  }

  void elideMiddle_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("shown");
    QTest::newRow("fits") << "abcdefghij" << 10 << "abcdefghij";
    // One unit per character, "WW" = 2: candidates must be at most width - 2.
    QTest::newRow("cut") << "abcdefghij" << 8 << "a...j";
    QTest::newRow("odd length") << "abcdefghijk" << 10 << "ab...ijk";
    QTest::newRow("nothing fits") << "abcdef" << 3 << "...";
    QTest::newRow("both ends kept") << "/home/me/pictures/2024/summer/beach/IMG_0001.jpg" << 30
                                    << "/home/me/pic...IMG_0001.jpg";
    QTest::newRow("astral characters stay whole")
        << QString::fromUtf8("\xF0\x9F\x93\xB7").repeated(8) << 7
        << QString::fromUtf8("\xF0\x9F\x93\xB7...\xF0\x9F\x93\xB7");
  }

  void elideMiddle() {
    QFETCH(QString, path);
    QFETCH(int, width);
    QFETCH(QString, shown);
    const auto measure = [](const QString& text) { return int(text.toUcs4().size()); };
    QCOMPARE(ElideMiddle(path, width, measure), shown);
  }

  void longNameInLabelShowsBothEnds() {
    ProgressWindow window;
    const QString path = "/very/long/beginning/" + QString(200, 'x') + "/the_end.jpg";
    window.SetImageName(path);
    const QString text = window.ImageNameLabel()->text();
    QVERIFY(text.startsWith("/very/long/"));
    QVERIFY(text.endsWith("/the_end.jpg"));
    QVERIFY(text.contains("..."));
    QVERIFY(window.ImageNameLabel()->fontMetrics().horizontalAdvance(text) <=
            window.ImageNameLabel()->width());
  }
};

QTEST_MAIN(ProgressWindowTest)
#include "progress_window_test.moc"
