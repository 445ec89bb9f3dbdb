// Every window's controls as a screen reader, the keyboard and help meet them (a golden list);
// the directory picker and its walk; the About box's link; the first-start launcher; --help and
// --version without a display.
#include <QAccessible>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QEnterEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QProcess>
#include <QRegularExpression>
#include <QToolButton>
#include <QWhatsThis>

#include "html/page_frame.h"
#include "persist/config_file.h"
#include "support/golden.h"
#include "ui/desktop_shortcut.h"
#include "ui/directory_list_box.h"
#include "ui/directory_picker.h"
#include "ui/help_topics.h"
#include "ui/link_label.h"
#include "ui/main_window.h"
#include "ui/searching_window.h"
#include "ui_test_support.h"

using namespace quorvel;
using testing::Find;
using testing::ReadFile;
using testing::Row;
namespace keys = persist::config_keys;

namespace {

// The picker over root/a/thumb/inner, root/B and root/leaf: a directory added with its
// sub-directories or not, OK or Cancel (of the picker or the walk), the answer; the list.
const std::tuple<const char*, const char*, bool, const char*, bool, const char*> kPicks[] = {
    {"sub-directories, thumbnail ones eliminated", "root", true, "OK", false,
     "root/a root/a/thumb/inner root/B root/leaf"},
    {"the directory itself", "root/a", false, "OK", false, "root/a"},
    {"picker cancelled", "root/a", false, "Cancel", true, ""},
    {"walk cancelled", "root", true, "Cancel walk", true, ""},
    {"no sub-directories, No", "root/leaf", true, "OK", false, ""},
    {"no sub-directories, Yes adds it", "root/leaf", true, "OK", true, "root/leaf"},
};

// The first-start answer; the program in a build folder (an entry of its own naming the drawn
// icon; the default place when none is given) or in <prefix>/bin (a copy of the installed entry
// when there is one), or the desktop blocked by a file; what the launcher is and its Exec line.
const std::tuple<const char*, bool, const char*, const char*, const char*> kLaunchers[] = {
    {"No writes only the flag", false, "build dir", "", ""},
    {"from a build folder, the default place", true, "", "own", "Exec=%1/windows_test"},
    {"installed", true, "prefix/bin", "copy", ""},
    {"in a bin folder, no installed entry", true, "other/bin", "own",
     "Exec=%1/other/bin/quorvelandiscope"},
    {"a program path with quotes and percent", true, "a \"100%\" $b", "own",
     "Exec=\"%1/a \\\\\"100%%\\\\\" \\\\$b/quorvelandiscope\""},
    {"desktop blocked", true, "build dir", "blocked", ""},
};

class WindowsTest : public QObject {
  Q_OBJECT
  testing::TempDir tmp_;
  std::unique_ptr<ui::MainWindow> main_;
  std::unique_ptr<ui::ProgressWindow> progress_;
  std::unique_ptr<ui::RunSummaryWindow> summary_;
  std::unique_ptr<ui::SearchingWindow> searching_;
  QMap<QString, QWidget*> windows_;  // by caption, the searching window left out (never shown)
  QObject* help_ = nullptr;
  QList<int> shown_;

 private slots:
  void initTestCase() {
    persist::ConfigFile(tmp_.file("quorvel.cfg")).WriteBool(keys::kWindow, keys::kIcon, true);
    main_ = std::make_unique<ui::MainWindow>(
        ui::MainWindowOptions{tmp_.file("quorvel.cfg"), ui::UserPrompts{}, nullptr});
    auto* help = main_->findChild<ui::ContextHelp*>();
    help->SetMenuRunner([](QWidget*, const QPoint&) { return true; });
    help->SetTopicShower([this](int id, const QString& text, QWidget*) {
      if (!text.isEmpty()) shown_ << id;
    });
    help_ = help;
    progress_ = std::make_unique<ui::ProgressWindow>();
    RunSummary summary;
    summary.images_done = summary.images_failed = summary.pages_written = 1;
    summary.failures = {{"/pics/broken.jpg", "Not a JPEG file"}};
    summary.warnings = {{"/pics/cut.jpg", "Premature end of JPEG file (JPEG warning #120)"}};
    summary_ = std::make_unique<ui::RunSummaryWindow>(summary, std::vector<std::string>{"/w/i"});
    searching_ = std::make_unique<ui::SearchingWindow>(tmp_.path());
    QList<QWidget*> windows{main_.get(), progress_.get(), summary_.get()};
    for (QDialog* dialog : main_->findChildren<QDialog*>(Qt::FindDirectChildrenOnly)) {
      windows << dialog;
    }
    for (QWidget* window : windows) windows_[window->windowTitle()] = window;
  }
  void init() { shown_.clear(); }

  // Every control that takes the focus, in Tab order (golden): its name, shortcut, whether Tab
  // passes over it or it is off, and the topic (or "-") a click in "What's this?" mode, F1, a right
  // click and the menu key show. A name has words and is not its group's title (a drop-down list,
  // named by its value, has a label); the description is the control's topic.
  void controlsInTabOrder() {
    const ui::HelpTopics topics = ui::HelpTopics::FromResource();
    QString listed;
    int with_topic = 0;
    QList<QWidget*> windows(windows_.cbegin(), windows_.cend());
    for (QWidget* window : windows << searching_.get()) {
      listed += "# " + window->windowTitle() + "\n";
      for (QWidget* w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain()) {
        if (w->window() != window || w->focusPolicy() == Qt::NoFocus || w->focusProxy()) continue;
        // The edit inside a spin box is the spin box's part, not a control of its own.
        QWidget* control =
            qobject_cast<QAbstractSpinBox*>(w->parentWidget()) ? w->parentWidget() : w;
        const QAccessibleInterface* a11y = QAccessible::queryAccessibleInterface(control);
        const QString name = a11y->text(QAccessible::Name).replace('\n', "\\n");
        const QLabel* label = nullptr;  // the one tied to the control
        for (const QLabel* l : window->findChildren<QLabel*>()) {
          if (l->buddy() == control) label = l;
        }
        const auto* button = qobject_cast<QAbstractButton*>(control);
        const QString text = button ? button->text() : label ? label->text() : QString();
        listed += control->objectName() + " | " + name + " | " +
                  QKeySequence::mnemonic(text).toString() +
                  (w->focusPolicy() & Qt::TabFocus ? "" : " | no Tab") +
                  (control->isEnabled() ? "" : " | off") + " |";
        QHelpEvent click(QEvent::WhatsThis, {1, 1}, w->mapToGlobal(QPoint(1, 1)));
        QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
        QContextMenuEvent right(QContextMenuEvent::Mouse, {1, 1}, click.globalPos());
        QContextMenuEvent menu_key(QContextMenuEvent::Keyboard, {1, 1}, click.globalPos());
        for (QEvent* asked : std::initializer_list<QEvent*>{&click, &f1, &right, &menu_key}) {
          shown_.clear();
          // The edit of a spin box, say, gets the event; a menu is asked of the help alone, as a
          // control's own menu would wait for the user.
          if (asked->type() == QEvent::ContextMenu) help_->eventFilter(w, asked);
          if (asked->type() != QEvent::ContextMenu) QApplication::sendEvent(w, asked);
          listed += " " + (shown_.isEmpty() ? "-" : QString::number(shown_.value(0)));
        }
        listed += "\n";
        QVERIFY2(name.contains(QRegularExpression("[A-Za-z]")), qPrintable(name));
        for (const QWidget* p = control->parentWidget(); p != nullptr; p = p->parentWidget()) {
          const auto* group = qobject_cast<const QGroupBox*>(p);
          QVERIFY2(!group || name.trimmed() != group->title().trimmed(), qPrintable(name));
        }
        if (qobject_cast<QComboBox*>(control)) QVERIFY(label != nullptr);
        if (const int id = control->property(ui::kHelpIdProperty).toInt()) {
          ++with_topic;
          QCOMPARE(a11y->text(QAccessible::Description), topics.Text(id));
        }
      }
    }
    QCOMPARE(testing::CompareWithGolden(listed.toStdString(), "ui/controls.txt"), "");
    QCOMPARE(with_topic, ui::kHelpIdCount);  // every control of the help table is reached
    Find<QToolButton>(windows_.value("Cell properties"), "WhatsThisBtn")->click();
    QVERIFY(QWhatsThis::inWhatsThisMode());
    QWhatsThis::leaveWhatsThisMode();
  }

  void picker_data() { testing::Rows(kPicks); }
  void picker() {
    const auto& [name, pick, sub, button, yes, listed] = Row(kPicks);
    testing::TempDir tmp;
    for (const char* dir : {"root/a/thumb/inner", "root/B", "root/leaf"}) tmp.mkdir(dir);
    persist::ConfigFile config(tmp.file("quorvel.cfg"));
    config.WriteString(keys::kDirs, keys::kDirectoryBox, tmp.file("gone/"));
    ui::DirectoryPicker picker(config);
    QCOMPARE(picker.SelectedPath(), std::string("/"));  // the remembered one is gone
    // A screen reader is offered the one column the tree shows.
    QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(Find(&picker, "DirTree"));
    QCOMPARE(tree->tableInterface()->columnCount(), 1);
    QStringList questions;
    picker.SetAsker([&, yes = yes](const QString& question) {
      questions << question;
      return yes;
    });
    const bool ok = button != std::string("Cancel");
    picker.SetModalRunner([&, pick = pick, sub = sub](ui::DirectoryPicker& shown) {
      shown.SelectDirectory(tmp.file(pick));
      Find<QCheckBox>(&shown, "SubDirectoriesCheck")->setChecked(sub);
      Find<QPushButton>(&shown, ok ? "OKBtn" : "CancelBtn")->click();
      return shown.result();
    });
    const bool cancel_walk = button == std::string("Cancel walk");
    picker.SetSearchRunner([&](const std::string& dir, OutputSettings& out) {
      return ui::SearchingWindow::Walk(dir, out, nullptr, [&](ui::SearchingWindow& w) {
        w.show();
        if (cancel_walk) Find<QPushButton>(&w, "CancelBtn")->click();
        // The window closes itself when the walk ends; a walk that never ends counts as none.
        return QTest::qWaitFor([&] { return !w.isVisible(); }) ? w.result() : -1;
      });
    });
    OutputSettings output;
    output.ThumbnailsIntoImageDirectory = true;  // the elimination applies
    QCOMPARE(picker.AddDirectories(output), ok);
    QStringList added;
    for (const std::string& dir : output.Directories) added << QString::fromStdString(dir);
    QCOMPARE(added.join(' '),
             QString(listed).replace("root", QString::fromStdString(tmp.file("root"))));
    const QString question = ui::NoSubDirectoriesQuestion(tmp.file(pick));
    QCOMPARE(questions, pick == std::string("root/leaf") ? QStringList{question} : QStringList{});
    const std::string chosen = ok ? tmp.file(pick) + "/" : tmp.file("gone/");
    QCOMPARE(config.ReadString(keys::kDirs, keys::kDirectoryBox, ""), chosen);
  }

  void elisionKeepsWholeCharacters() {
    const auto measure = [](const QString& s) { return int(s.toUcs4().size()); };
    // One unit per character, "WW" = 2: candidates must be at most width - 2.
    QCOMPARE(ui::ElideMiddle("abcdefghijk", 10, measure), QString("ab...ijk"));
    const QString camera = QString::fromUtf8("\xF0\x9F\x93\xB7");  // never cut in two
    QCOMPARE(ui::ElideMiddle(camera.repeated(8), 7, measure), camera + "..." + camera);
    QCOMPARE(ui::ElideStart("/photos/2001/summer", 10, measure), QString("...summer"));
  }

  // The About box's link takes the palette's colours and opens its address on a left click,
  // from the keyboard (Tab from "&OK" comes round to it) and from a screen reader's press.
  void aboutLink() {
    QWidget* about = windows_.value("About");
    about->setPalette(testing::DarkPalette());
    auto* link = Find<ui::LinkLabel>(about, "WebSiteLabel");
    QList<QUrl> opened;
    link->SetOpener([&](const QUrl& url) { opened << url; });
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(link, &enter);
    QCOMPARE(link->palette().color(link->foregroundRole()), QColor(100, 170, 250));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(link, &leave);
    QCOMPARE(link->palette().color(link->foregroundRole()), QColor(230, 230, 230));
    QTest::mouseClick(link, Qt::RightButton);  // only the left button opens it
    QTest::mouseClick(link, Qt::LeftButton);
    about->show();
    QApplication::setActiveWindow(about);
    QVERIFY(QTest::qWaitForWindowActive(about));
    QCOMPARE(about->focusWidget(), Find(about, "OKBtn"));  // Enter closes the box
    const QImage unfocused = link->grab().toImage();
    QTest::keyClick(about->focusWidget(), Qt::Key_Tab);
    QVERIFY(link->hasFocus() && link->grab().toImage() != unfocused);
    QTest::keyClick(link, Qt::Key_Return);
    QAccessibleInterface* a11y = QAccessible::queryAccessibleInterface(link);
    QCOMPARE(a11y->role(), QAccessible::Link);
    a11y->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(opened, QList<QUrl>(3, QUrl(html::kProductWebAddress)));
    about->hide();
  }

  // In either palette the About box's credits read on its background (4.5:1), and the padlock,
  // up or down, and the question mark stand out from what they are drawn on (3:1).
  void coloursComeFromThePalette_data() {
    QTest::addColumn<bool>("dark");
    QTest::newRow("light") << false;
    QTest::newRow("dark") << true;
  }
  void coloursComeFromThePalette() {
    QFETCH(bool, dark);
    const QPalette palette = dark ? testing::DarkPalette() : QApplication::palette();
    QWidget* about = windows_.value("About");
    about->setPalette(palette);
    main_->setPalette(palette);
    const QImage credits = about->grab(Find(about, "CreditsLabel")->geometry()).toImage();
    auto* lock = Find<QToolButton>(main_.get(), "LockBtn");
    const QColor button = lock->palette().color(QPalette::Button);
    const QImage up = lock->icon().pixmap(20, QIcon::Normal, QIcon::Off).toImage();
    const QImage down = lock->icon().pixmap(20, QIcon::Normal, QIcon::On).toImage();
    const QImage help = Find<QToolButton>(main_.get(), "QuickHelpBtn")->icon().pixmap(20).toImage();
    about->setPalette(QPalette());
    main_->setPalette(QPalette());
    double best = 1;
    for (int y = 0; y < credits.height(); ++y) {
      for (int x = 0; x < credits.width(); ++x) {
        best =
            std::max(best, testing::Contrast(credits.pixelColor(x, y), credits.pixelColor(0, 0)));
      }
    }
    QCOMPARE(credits.pixelColor(0, 0), palette.color(QPalette::Base));
    QVERIFY2(best >= 4.5, qPrintable(QString::number(best)));
    const QPoint body(5, 15);  // the padlock's body, beside its keyhole
    QVERIFY(testing::Contrast(up.pixelColor(body), button) >= 3);
    QVERIFY(testing::Contrast(down.pixelColor(body), down.pixelColor(1, 1)) >= 3);
    QVERIFY(testing::Contrast(help.pixelColor(3, 10), button) >= 3);  // the disc, beside the "?"
  }

  void firstStartLauncher_data() { testing::Rows(kLaunchers); }
  void firstStartLauncher() {
    const auto& [name, yes, folder, made, exec] = Row(kLaunchers);
    const std::string kind = made;
    testing::TempDir tmp;
    const std::string entry = tmp.write(
        "prefix/share/applications/org.quorvelandiscope.quorvelandiscope.desktop", "[Desktop]\n");
    tmp.write(kind == "blocked" ? "Desktop" : "Desktop/Quorvelandiscope.desktop", "old");
    const std::string program = tmp.file(folder) + "/quorvelandiscope", icon = tmp.file("i/q.png");
    const ui::ShortcutPlace place{tmp.file("Desktop"), icon, program,
                                  ui::InstalledDesktopEntry(program)};
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", QByteArray::fromStdString(tmp.path()));  // the default place below it
    qunsetenv("XDG_CONFIG_HOME");
    persist::ConfigFile config(tmp.file("quorvel.cfg"));
    testing::Answers answers;
    answers.yes = yes;
    const ui::UserPrompts prompts = answers.Prompts();
    ui::RunFirstStartQuestion(config, nullptr, prompts.ask, prompts.show_error,
                              *folder ? &place : nullptr);
    qputenv("HOME", home);
    const std::string launcher = tmp.file("Desktop/Quorvelandiscope.desktop");
    if (kind == "blocked") {  // reported, and asked again at the next start
      QCOMPARE(answers.errors, QStringList{QString::fromStdString("Cannot create file " + launcher +
                                                                  " (Not a directory)")});
      QVERIFY(!config.HasKey(keys::kWindow, keys::kIcon));
      return;
    }
    const std::string text = ReadFile(launcher);
    QCOMPARE(answers.questions, QStringList{ui::FirstStartQuestion()});
    QVERIFY(config.ReadBool(keys::kWindow, keys::kIcon, false));
    QCOMPARE(text == "old", !yes);
    QCOMPARE(text == ReadFile(entry), kind == "copy");
    QCOMPARE(QFileInfo(QString::fromStdString(launcher)).isExecutable(), yes);
    if (*folder) QCOMPARE(QFileInfo::exists(QString::fromStdString(icon)), kind == "own");
    const QString dir =
        *folder ? QString::fromStdString(tmp.path()) : QCoreApplication::applicationDirPath();
    QVERIFY(QString::fromStdString(text).contains(QString(exec).replace("%1", dir)));
  }

  void helpAndVersionNeedNoDisplay() {
    QProcess program;
    program.setProcessEnvironment(QProcessEnvironment());  // no DISPLAY, no platform
    program.start(QUORVEL_WINDOW_PROGRAM, {"--help"});
    QVERIFY(program.waitForFinished() && program.exitCode() == 0);
    const QString help = program.readAllStandardOutput();
    QVERIFY2(help.contains("[FOLDER...]") && help.contains("--version"), qPrintable(help));
    program.start(QUORVEL_WINDOW_PROGRAM, {"--version"});
    QVERIFY(program.waitForFinished() && program.exitCode() == 0);
    QCOMPARE(program.readAllStandardOutput(), QByteArray("Quorvelandiscope " QUORVEL_VERSION "\n"));
  }
};

}  // namespace

QTEST_MAIN(WindowsTest)
#include "windows_test.moc"
