// The first-start question and the desktop launcher in a temporary HOME: Yes, No, asked
// only once, replacing an old launcher, a failure leaving "icon" unwritten, Exec quoting.
#include "ui/desktop_shortcut.h"

#include <QFileInfo>
#include <QImage>
#include <QTest>

#include "persist/config_file.h"
#include "support/temp_dir.h"

namespace keys = quorvel::persist::config_keys;
using quorvel::persist::ConfigFile;
using quorvel::testing::ReadFile;
using quorvel::testing::TempDir;
using quorvel::ui::FirstStartOutcome;
using quorvel::ui::RunFirstStartQuestion;

namespace {

// Points HOME at a fresh directory for one test.
class TempHome {
 public:
  TempHome() : old_home_(qgetenv("HOME")) {
    qputenv("HOME", QByteArray::fromStdString(tmp_.path()));
    qunsetenv("XDG_CONFIG_HOME");
    qunsetenv("XDG_DATA_HOME");
  }
  ~TempHome() { qputenv("HOME", old_home_); }
  const TempDir& dir() const { return tmp_; }

 private:
  TempDir tmp_;
  QByteArray old_home_;
};

quorvel::ui::Asker Answer(bool yes, int* asked) {
  return [yes, asked](QWidget*, const QString& question) {
    const QString expected(
        "This is first time You start Quorvelandiscope.\n"
        "Would You like to put Quorvelandiscope's icon on Your desktop?");
    if (question == expected) ++*asked;  // a wrong question counts as not asked
    return yes;
  };
}

}  // namespace

class DesktopShortcutTest : public QObject {
  Q_OBJECT

 private slots:
  void yesWritesLauncherAndIconOnce() {
    TempHome home;
    ConfigFile config(home.dir().file("quorvel.cfg"));
    int asked = 0;
    QString error;
    const auto show = [&](QWidget*, const QString& m) { error = m; };
    QCOMPARE(RunFirstStartQuestion(config, nullptr, Answer(true, &asked), show),
             FirstStartOutcome::ShortcutCreated);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(asked, 1);
    QVERIFY(config.ReadBool(keys::kWindow, keys::kIcon, false));
    QVERIFY(ReadFile(home.dir().file("quorvel.cfg")).find("icon=1") != std::string::npos);

    const std::string launcher = home.dir().file("Desktop/Quorvelandiscope.desktop");
    const std::string text = ReadFile(launcher);
    QVERIFY(text.starts_with("[Desktop Entry]\n"));
    QVERIFY(text.find("\nType=Application\n") != std::string::npos);
    QVERIFY(text.find("\nName=Quorvelandiscope\n") != std::string::npos);
    const std::string program = QCoreApplication::applicationFilePath().toStdString();
    QVERIFY(text.find("\nExec=" + quorvel::ui::DesktopExecArgument(program) + "\n") !=
            std::string::npos);
    QVERIFY(QFileInfo(QString::fromStdString(launcher)).isExecutable());
    const std::string icon = home.dir().file(".local/share/quorvelandiscope/quorvelandiscope.png");
    QVERIFY(text.find("\nIcon=" + icon + "\n") != std::string::npos);
    QCOMPARE(QImage(QString::fromStdString(icon)).size(), QSize(64, 64));

    // The next start asks nothing.
    QCOMPARE(RunFirstStartQuestion(config, nullptr, Answer(true, &asked), show),
             FirstStartOutcome::NotAsked);
    QCOMPARE(asked, 1);
  }

  void noWritesOnlyTheFlag() {
    TempHome home;
    ConfigFile config(home.dir().file("quorvel.cfg"));
    int asked = 0;
    QCOMPARE(RunFirstStartQuestion(config, nullptr, Answer(false, &asked)),
             FirstStartOutcome::AnsweredNo);
    QVERIFY(config.ReadBool(keys::kWindow, keys::kIcon, false));
    QVERIFY(!QFileInfo::exists(QString::fromStdString(home.dir().file("Desktop"))));
    QCOMPARE(RunFirstStartQuestion(config, nullptr, Answer(false, &asked)),
             FirstStartOutcome::NotAsked);
    QCOMPARE(asked, 1);
  }

  void yesReplacesAnExistingLauncher() {
    TempHome home;
    const std::string launcher =
        home.dir().write("Desktop/Quorvelandiscope.desktop", "old launcher\n");
    ConfigFile config(home.dir().file("quorvel.cfg"));
    int asked = 0;
    QCOMPARE(RunFirstStartQuestion(config, nullptr, Answer(true, &asked)),
             FirstStartOutcome::ShortcutCreated);
    QVERIFY(ReadFile(launcher).starts_with("[Desktop Entry]\n"));
  }

  void failureShowsMessageAndAsksAgain() {
    TempHome home;
    home.dir().write("Desktop", "a file where the desktop directory should be");
    ConfigFile config(home.dir().file("quorvel.cfg"));
    int asked = 0;
    QString error;
    const auto show = [&](QWidget*, const QString& m) { error = m; };
    QCOMPARE(RunFirstStartQuestion(config, nullptr, Answer(true, &asked), show),
             FirstStartOutcome::ShortcutFailed);
    QCOMPARE(error, QString::fromStdString("Cannot create file " +
                                           home.dir().file("Desktop/Quorvelandiscope.desktop")));
    QVERIFY(!config.HasKey(keys::kWindow, keys::kIcon));
    QCOMPARE(RunFirstStartQuestion(config, nullptr, Answer(false, &asked), show),
             FirstStartOutcome::AnsweredNo);
    QCOMPARE(asked, 2);
  }

  void execArgument_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("argument");
    QTest::newRow("plain") << "/usr/bin/quorvelandiscope"
                           << "/usr/bin/quorvelandiscope";
    QTest::newRow("space") << "/opt/my apps/q"
                           << "\"/opt/my apps/q\"";
    QTest::newRow("percent") << "/opt/100%/q"
                             << "/opt/100%%/q";
    QTest::newRow("quote and dollar") << "/a \"b\"$c"
                                      << "\"/a \\\"b\\\"\\$c\"";
    QTest::newRow("backslash") << "/a\\b"
                               << "\"/a\\\\b\"";
  }

  void execArgument() {
    QFETCH(QString, path);
    QFETCH(QString, argument);
    QCOMPARE(QString::fromStdString(quorvel::ui::DesktopExecArgument(path.toStdString())),
             argument);
  }

  void entryEscapesBackslashes() {
    const std::string text = quorvel::ui::DesktopEntryText({"/d", "/i/x.png", "/a\\b/q"});
    // Argument quoting doubles the backslash, value escaping doubles both again.
    QVERIFY(text.find("\nExec=\"/a\\\\\\\\b/q\"\n") != std::string::npos);
    QVERIFY(text.find("\nPath=/a\\\\b\n") != std::string::npos);
  }
};

QTEST_MAIN(DesktopShortcutTest)
#include "desktop_shortcut_test.moc"
