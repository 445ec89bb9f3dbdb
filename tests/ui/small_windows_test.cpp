// The small windows on temporary trees: the directory picker's modes and the searching walk,
// the progress window over a real run, the About box's link and the first-start launcher.
#include <QEnterEvent>
#include <QFileInfo>
#include <QProgressBar>
#include <QTreeView>

#include "html/page_frame.h"
#include "persist/config_file.h"
#include "ui/about_box.h"
#include "ui/desktop_shortcut.h"
#include "ui/directory_picker.h"
#include "ui/searching_window.h"
#include "ui_test_support.h"

using namespace quorvel;
using testing::ReadFile;
using testing::Row;
namespace keys = persist::config_keys;

namespace {

// The picker over a tree with root/a/thumb/inner, root/B and root/leaf: a directory chosen in
// add mode with "Add All Sub Directories" ticked or not, OK or Cancel, Yes or No to a question.
const std::tuple<const char*, const char*, bool, bool, bool, QStringList> kPicks[] = {
    {"sub-directories, thumbnail ones eliminated",
     "root",
     true,
     true,
     false,
     {"root/a", "root/a/thumb/inner", "root/B", "root/leaf"}},
    {"the directory itself", "root/a", false, true, false, {"root/a"}},
    {"cancelled", "root/a", false, false, true, {}},
    {"no sub-directories, No", "root/leaf", true, true, false, {}},
    {"no sub-directories, Yes adds it", "root/leaf", true, true, true, {"root/leaf"}},
};

// Images per second and time left after some of all images in some milliseconds.
const std::tuple<const char*, int, int, int, const char*, const char*> kPaces[] = {
    {"too few images yet", 2, 10, 1000, "", ""},
    {"slow", 3, 10, 2000, "1.5 images/s", "0:05 left"},
    {"fast", 400, 1000, 10000, "40 images/s", "0:15 left"},
    {"hours", 3, 10000, 3000, "1.0 images/s", "2:46:37 left"},
};

// The first-start question answered Yes or No, the program in a build folder (an entry of its
// own naming the drawn icon) or in <prefix>/bin (a copy of the installed entry when there is
// one), or the desktop blocked by a file.
const std::tuple<const char*, bool, const char*, const char*> kLaunchers[] = {
    {"No writes only the flag", false, "build dir", ""},
    {"from a build folder", true, "build dir", "own"},
    {"installed", true, "prefix/bin", "copy"},
    {"in a bin folder, no installed entry", true, "other/bin", "own"},
    {"desktop blocked", true, "build dir", "blocked"},
};

// A program path as one argument of an Exec line.
const std::tuple<const char*, const char*, const char*> kExecArguments[] = {
    {"plain", "/usr/bin/q", "/usr/bin/q"},
    {"space", "/opt/my apps/q", "\"/opt/my apps/q\""},
    {"percent", "/opt/100%/q", "/opt/100%%/q"},
    {"quote, dollar, backslash", "/a \"b\"$c\\", "\"/a \\\"b\\\"\\$c\\\\\""},
};

class SmallWindowsTest : public QObject {
  Q_OBJECT

 private slots:
  void picker_data() { testing::Rows(kPicks); }
  void picker() {
    const auto& [name, pick, sub, ok, yes, listed] = Row(kPicks);
    testing::TempDir tmp;
    for (const char* dir : {"root/a/thumb/inner", "root/B", "root/leaf", "root/.hidden"}) {
      tmp.mkdir(dir);
    }
    persist::ConfigFile config(tmp.file("quorvel.cfg"));
    config.WriteString(keys::kDirs, keys::kDirectoryBox, tmp.file("gone/"));
    ui::DirectoryPicker picker(config);
    QCOMPARE(picker.SelectedPath(), std::string("/"));  // the remembered one is gone
    QStringList asked;
    picker.SetAsker([&, yes = yes](const QString& question) {
      asked << question;
      return yes;
    });
    picker.SetModalRunner([&, pick = pick, sub = sub, ok = ok](ui::DirectoryPicker& shown) {
      shown.SelectDirectory(tmp.file(pick));
      shown.SubDirectoriesCheck()->setChecked(sub);
      (ok ? shown.OkButton() : shown.CancelButton())->click();
      return shown.result();
    });
    picker.SetSearchRunner([](const std::string& dir, OutputSettings& out) {
      return ui::SearchingWindow::Walk(dir, out, nullptr, [](ui::SearchingWindow& w) {
        w.show();
        while (!w.IsDone()) QTest::qWait(5);
        return w.result();
      });
    });
    OutputSettings output;
    output.ThumbnailsIntoImageDirectory = true;  // the elimination applies
    QCOMPARE(picker.AddDirectories(output), ok);
    std::vector<std::string> expected;
    for (const QString& dir : listed) expected.push_back(tmp.file(dir.toStdString()));
    QCOMPARE(output.Directories, expected);
    const bool leaf = pick == std::string("root/leaf");
    QCOMPARE(asked,
             leaf ? QStringList{ui::NoSubDirectoriesQuestion(tmp.file(pick))} : QStringList{});
    const std::string chosen = ok ? tmp.file(pick) + "/" : tmp.file("gone/");
    QCOMPARE(config.ReadString(keys::kDirs, keys::kDirectoryBox, ""), chosen);
    // Browsing gives the path, adds nothing and hides the box only meanwhile.
    bool hidden = false;
    picker.SetModalRunner([&](ui::DirectoryPicker& shown) {
      hidden = shown.SubDirectoriesCheck()->isHidden();
      shown.OkButton()->click();
      return shown.result();
    });
    QCOMPARE(picker.Browse().value_or(""), ok ? chosen : "/");
    QVERIFY(hidden && !picker.SubDirectoriesCheck()->isHidden());
    QCOMPARE(output.Directories, expected);
  }

  void cancelledWalkAddsNothing() {
    testing::TempDir tmp;
    tmp.mkdir("root/a/b");
    OutputSettings output;
    const auto outcome =
        ui::SearchingWindow::Walk(tmp.file("root/"), output, nullptr, [](ui::SearchingWindow& w) {
          w.show();
          w.CancelButton()->click();
          return w.result();
        });
    QCOMPARE(outcome, ui::SearchingWindow::Outcome::Cancelled);
    QVERIFY(output.Directories.empty());
  }

  void progressOverARun() {
    testing::TempDir tmp;
    GallerySettings settings;
    settings.Output.HTMLDirectory = tmp.mkdir("web") + "/";
    settings.Output.AllThumbnailsDirectory = tmp.mkdir("thumbs") + "/";
    settings.Output.Directories = {testing::Photos(tmp, "pics", 4, false)};
    GenerationRun run(settings, {});
    QCOMPARE(run.StartRun(), GenerationRun::Start::Started);
    ui::ProgressWindow window;
    window.Attach(&run);
    window.show();
    QCOMPARE(window.windowTitle(), QString("Process stats [0 / 4]"));
    for (int i = 1; i <= 2; ++i) QVERIFY(window.Tick());
    QCOMPARE(window.windowTitle(), QString("Process stats [2 / 4]"));
    QCOMPARE(window.ProgressBar()->value(), 2);
    QVERIFY(window.RateLabel()->text().isEmpty());  // too few images for a pace
    QVERIFY(window.Tick());
    QVERIFY(window.TimeLeftLabel()->text().endsWith(" left"));
    QVERIFY(window.ImageNameLabel()->text().endsWith("img3.jpg"));
    QTest::keyClick(&window, Qt::Key_Escape);  // stops like "&Stop"
    QVERIFY(!run.running() && run.summary().stopped && !window.isVisible());
    QVERIFY(ReadFile(tmp.file("web/index.html")).ends_with("</html>\r\n"));
  }

  void elideMiddle() {
    const auto measure = [](const QString& text) { return int(text.toUcs4().size()); };
    // One unit per character, "WW" = 2: candidates must be at most width - 2.
    QCOMPARE(ui::ElideMiddle("abcdefghij", 10, measure), QString("abcdefghij"));
    QCOMPARE(ui::ElideMiddle("abcdefghijk", 10, measure), QString("ab...ijk"));
    const QString camera = QString::fromUtf8("\xF0\x9F\x93\xB7");
    QCOMPARE(ui::ElideMiddle(camera.repeated(8), 7, measure), camera + "..." + camera);
  }

  void pace_data() { testing::Rows(kPaces); }
  void pace() {
    const auto& [name, done, total, ms, rate, left] = Row(kPaces);
    const ui::RunPace pace = ui::PaceText(done, total, ms);
    QCOMPARE(pace.rate, QString(rate));
    QCOMPARE(pace.left, QString(left));
  }

  void aboutLinkTurnsBlueAndOpensTheAddress() {
    ui::AboutBox box;
    ui::LinkLabel* link = box.WebSiteLink();
    QList<QUrl> opened;
    link->SetOpener([&](const QUrl& url) { opened << url; });
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(link, &enter);
    QCOMPARE(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(link, &leave);
    QCOMPARE(link->palette().color(QPalette::WindowText), QColor(0, 0, 0));
    QTest::mouseClick(link, Qt::RightButton);
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(opened, QList<QUrl>{QUrl(html::kProductWebAddress)});
  }

  void firstStartLauncher_data() { testing::Rows(kLaunchers); }
  void firstStartLauncher() {
    const auto& [name, yes, folder, made] = Row(kLaunchers);
    testing::TempDir tmp;
    const std::string entry =
        tmp.write("prefix/share/applications/org.quorvelandiscope.Quorvelandiscope.desktop",
                  "[Desktop Entry]\n");
    tmp.write(made == std::string("blocked") ? "Desktop" : "Desktop/Quorvelandiscope.desktop",
              "old");
    const std::string program = tmp.file(folder) + "/quorvelandiscope", icon = tmp.file("i/q.png");
    const ui::ShortcutPlace place{tmp.file("Desktop"), icon, program,
                                  ui::InstalledDesktopEntry(program)};
    persist::ConfigFile config(tmp.file("quorvel.cfg"));
    QStringList asked, errors;
    for (int start = 0; start < 2; ++start) {  // the second start asks nothing
      ui::RunFirstStartQuestion(
          config, nullptr, [&, yes = yes](QWidget*, const QString& q) { return asked << q, yes; },
          [&](QWidget*, const QString& m) { errors << m; }, &place);
    }
    const std::string launcher = tmp.file("Desktop/Quorvelandiscope.desktop");
    const std::string text = made == std::string("blocked") ? "" : ReadFile(launcher);
    if (made == std::string("blocked")) {  // reported, and asked again at the next start
      QCOMPARE(errors, QStringList(2, QString::fromStdString("Cannot create file " + launcher)));
      QVERIFY(!config.HasKey(keys::kWindow, keys::kIcon));
      return;
    }
    QCOMPARE(asked, QStringList{ui::FirstStartQuestion()});
    QVERIFY(config.ReadBool(keys::kWindow, keys::kIcon, false));
    QCOMPARE(text == "old", !yes);
    QCOMPARE(text == ReadFile(entry), made == std::string("copy"));
    QCOMPARE(QFileInfo::exists(QString::fromStdString(icon)), made == std::string("own"));
    if (*made) QVERIFY(QFileInfo(QString::fromStdString(launcher)).isExecutable());
    if (made == std::string("own")) {
      QVERIFY(text.find("\nExec=" + ui::DesktopExecArgument(program) + "\n") != std::string::npos);
    }
  }

  void execArgument_data() { testing::Rows(kExecArguments); }
  void execArgument() {
    const auto& [name, path, argument] = Row(kExecArguments);
    QCOMPARE(QString::fromStdString(ui::DesktopExecArgument(path)), QString(argument));
  }
};

}  // namespace

QTEST_MAIN(SmallWindowsTest)
#include "small_windows_test.moc"
