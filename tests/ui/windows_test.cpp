// Every window as the user meets it: each control's help topic and the ways of asking for it;
// each control's name and description as a screen reader says them; each window centred on the
// screen, staying there, with whole texts, the buttons at the bottom right and Tab following the
// layout; the directory picker and its walk; the progress window's pace; the About box's link;
// the first-start launcher; the program's --help and --version.
#include <QAccessible>
#include <QContextMenuEvent>
#include <QEnterEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QProcess>
#include <QRegularExpression>
#include <QTreeView>
#include <QWhatsThis>

#include "html/page_frame.h"
#include "persist/config_file.h"
#include "ui/about_box.h"
#include "ui/desktop_shortcut.h"
#include "ui/directory_picker.h"
#include "ui/help_topics.h"
#include "ui/link_label.h"
#include "ui/main_window.h"
#include "ui/property_dialogs.h"
#include "ui/searching_window.h"
#include "ui_test_support.h"

using namespace quorvel;
using testing::Find;
using testing::ReadFile;
using testing::Row;
namespace keys = persist::config_keys;

namespace {

// A control and how the user asks about it: a right click and "What's this?", the keyboard's
// menu key, F1, or the dialog's question-mark button and a click; the topic shown (0: none).
const std::tuple<const char*, const char*, const char*, const char*, int> kAsks[] = {
    {"right click", "Quorvelandiscope", "LockBtn", "menu", 1006},
    {"no menu on Save", "Quorvelandiscope", "SaveBtn", "menu", 0},
    {"the menu key is no right click", "Quorvelandiscope", "GoBtn", "key menu", 0},
    {"F1 in a dialog", "Table properties", "BorderSizeEdit", "F1", 3002},
    {"question mark in a dialog, no id", "Cell properties", "CellWidthCheckBox", "?", 0},
};

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

// Images per second and time left after some of all images in some milliseconds (none before
// a few images: the main window's run shows that).
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

// Controls whose names are not the label at their side (one that is, for comparison), and what
// a screen reader calls them.
const std::tuple<const char*, const char*, const char*> kNames[] = {
    {"Quorvelandiscope", "DirListBox", "Image directories"},
    {"Quorvelandiscope", "AllThumbnailsDirectoryEdit", "Thumbnail directory"},
    {"Quorvelandiscope", "AllThumbnailsDirectoryEditBrowse", "Choose the thumbnail directory"},
    {"Quorvelandiscope", "ThumbnailDirectoryNameEdit", "Thumbnail sub-directory name"},
    {"Quorvelandiscope", "HTMLDirectoryEdit", "Directory for HTML output"},
    {"Quorvelandiscope", "HTMLDirectoryEditBrowse", "Choose the directory for HTML output"},
    {"Quorvelandiscope", "LockBtn", "State lock"},
    {"Quorvelandiscope", "QuickHelpBtn", "What's this?"},
    {"Quorvelandiscope", "ThumbnailRowEdit", "Thumbnails in a Row:"},
    {"Thumbnail properties", "QualitySpinEdit", "Quality"},
    {"Table properties", "BackgroundImageEdit", "Background image"},
    {"Table properties", "BackgroundImageEditBrowse", "Choose the background image"},
    {"Cell properties", "CellWidthEdit", "Minimum cell width"},
    {"Cell properties", "CellHeightEdit", "Minimum cell height"},
    {"Text properties", "WhatsThisBtn", "What's this?"},
    {"Pictures properties", "HTMLBackgroundImageEditBrowse", "Choose the background image"},
    {"Directory", "DirTree", "Directories"},
    {"About", "WebSiteLabel", "QUORVELANDISCOPEs web-site"},
    {"Run summary", "FailureList", "Failed images"},
};

// The palette the windows are shown in.
const std::tuple<const char*, bool> kPalettes[] = {{"default palette", false}, {"dark", true}};

// Whether `b` comes after `a` in reading order: to the right on the same row, further down,
// or (only for controls of different groups) at the top of a column further right.
bool ReadsAfter(const QRect& a, const QRect& b, bool same_group) {
  if (std::abs(a.center().y() - b.center().y()) < std::min(a.height(), b.height()) / 2) {
    return b.left() > a.left();
  }
  return b.top() > a.top() || (!same_group && b.left() >= a.right());
}

// The group box a control sits in, or null.
const QGroupBox* GroupOf(const QWidget* control) {
  for (const QWidget* w = control->parentWidget(); w != nullptr; w = w->parentWidget()) {
    if (const auto* group = qobject_cast<const QGroupBox*>(w)) return group;
  }
  return nullptr;
}

// Every control of `window` that takes the focus, hidden ones included; the edit inside a spin
// box is the spin box's part, not a control of its own.
QList<QWidget*> FocusableControls(const QWidget* window) {
  QList<QWidget*> controls;
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (w->window() != window || w->focusPolicy() == Qt::NoFocus) continue;
    if (qobject_cast<QAbstractSpinBox*>(w->parentWidget())) continue;
    controls << w;
  }
  return controls;
}

// Whether a label is tied to `control`.
bool IsLabelled(const QWidget* control) {
  for (const QLabel* label : control->window()->findChildren<QLabel*>()) {
    if (label->buddy() == control) return true;
  }
  return false;
}

class WindowsTest : public QObject {
  Q_OBJECT
  testing::TempDir tmp_;
  std::unique_ptr<ui::MainWindow> main_;
  std::unique_ptr<ui::ProgressWindow> progress_;
  std::unique_ptr<ui::RunSummaryWindow> summary_;
  std::unique_ptr<ui::SearchingWindow> searching_;
  QMap<QString, QWidget*> windows_;  // by caption, the searching window left out (never shown)
  ui::HelpTopics topics_ = ui::HelpTopics::FromResource();
  QList<int> shown_;

  QList<QWidget*> EveryWindow() const {
    return QList<QWidget*>(windows_.cbegin(), windows_.cend()) << searching_.get();
  }

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
    progress_ = std::make_unique<ui::ProgressWindow>();
    RunSummary summary;
    summary.images_done = summary.images_failed = summary.pages_written = 1;
    summary.failures = {{"/pics/broken.jpg", "Not a JPEG file"}};
    summary.warnings = {{"/pics/cut.jpg", "Premature end of JPEG file (JPEG warning #120)"}};
    summary_ = std::make_unique<ui::RunSummaryWindow>(summary, std::vector<std::string>{"/w/i"});
    searching_ = std::make_unique<ui::SearchingWindow>(tmp_.path());
    // The picker, the About box and the seven property dialogs belong to the main window.
    QList<QWidget*> windows{main_.get(), progress_.get(), summary_.get()};
    for (QDialog* dialog : main_->findChildren<QDialog*>(Qt::FindDirectChildrenOnly)) {
      windows << dialog;
    }
    for (QWidget* window : windows) windows_[window->windowTitle()] = window;
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
    QWidget* control = Find(windows_.value(entry.window), entry.control);
    // A click lands on the innermost widget, the edit inside a spin box say.
    QWidget* clicked = control->focusProxy() ? control->focusProxy() : control;
    QHelpEvent click(QEvent::WhatsThis, {1, 1}, clicked->mapToGlobal(QPoint(1, 1)));
    QApplication::sendEvent(clicked, &click);
    QCOMPARE(shown_, QList<int>{entry.id});
  }

  // What a screen reader says of every control: a name with words in it that is not the title
  // of the group around it (a drop-down list, named by its value, has a label tied to it), and
  // the control's help topic as its description.
  void everyControlHasAName_data() {
    QTest::addColumn<QWidget*>("control");
    for (const QWidget* window : EveryWindow()) {
      for (QWidget* control : FocusableControls(window)) {
        QTest::addRow("%s %s", qPrintable(window->windowTitle()), qPrintable(control->objectName()))
            << control;
      }
    }
  }
  void everyControlHasAName() {
    QFETCH(QWidget*, control);
    const QAccessibleInterface* a11y = QAccessible::queryAccessibleInterface(control);
    const QString name = a11y->text(QAccessible::Name);
    QVERIFY2(name.contains(QRegularExpression("[A-Za-z]")), qPrintable(name));
    if (const QGroupBox* group = GroupOf(control)) {
      QVERIFY2(name.trimmed() != group->title().trimmed(), qPrintable(name));
    }
    if (qobject_cast<QComboBox*>(control)) QVERIFY(IsLabelled(control));
    if (const int id = control->property(ui::kHelpIdProperty).toInt()) {
      QCOMPARE(a11y->text(QAccessible::Description), topics_.Text(id));
    }
  }

  void namesSayWhatControlsAre_data() {
    QTest::addColumn<int>("row");
    for (int i = 0; i < int(std::size(kNames)); ++i) {
      QTest::addRow("%s %s", std::get<0>(kNames[i]), std::get<1>(kNames[i])) << i;
    }
  }
  void namesSayWhatControlsAre() {
    QFETCH(int, row);
    const auto& [window, control, name] = kNames[row];
    QWidget* widget = Find(windows_.value(window), control);
    QCOMPARE(QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name), QString(name));
  }

  void askingForHelp_data() { testing::Rows(kAsks); }
  void askingForHelp() {
    const auto& [name, window, control_name, how, id] = Row(kAsks);
    QWidget* control = Find(windows_.value(window), control_name);
    const QPoint at = control->mapToGlobal(QPoint(1, 1));
    if (how == std::string("F1")) QTest::keyClick(control, Qt::Key_F1);
    if (how == std::string("?")) {
      Find<QToolButton>(control->window(), "WhatsThisBtn")->click();
      QVERIFY(QWhatsThis::inWhatsThisMode());
      QWhatsThis::leaveWhatsThisMode();
      QHelpEvent click(QEvent::WhatsThis, {1, 1}, at);
      QApplication::sendEvent(control, &click);
    }
    if (std::string(how).ends_with("menu")) {
      QContextMenuEvent menu(
          how == std::string("menu") ? QContextMenuEvent::Mouse : QContextMenuEvent::Keyboard,
          {1, 1}, at);
      QApplication::sendEvent(control, &menu);
    }
    QCOMPARE(shown_, id ? QList<int>{id} : QList<int>{});
  }

  // Failures and warnings each in a list of their own, the warnings counted among the figures.
  void summaryListsFailuresAndWarnings() {
    const auto row = [](QTreeWidget* list) {
      return list->topLevelItemCount() == 1
                 ? list->topLevelItem(0)->text(0) + ": " + list->topLevelItem(0)->text(1)
                 : QString();
    };
    const auto list = [](const QWidget* window, const char* name) {
      return Find<QTreeWidget>(window, name);
    };
    QCOMPARE(row(list(summary_.get(), "FailureList")),
             QString("/pics/broken.jpg: Not a JPEG file"));
    QCOMPARE(row(list(summary_.get(), "WarningList")),
             QString("/pics/cut.jpg: Premature end of JPEG file (JPEG warning #120)"));
    QVERIFY(Find<QLabel>(summary_.get(), "FiguresLabel")->text().contains("\nWarnings: 1\n"));
    const ui::RunSummaryWindow quiet(RunSummary{}, {});
    QVERIFY(list(&quiet, "WarningList")->isHidden() &&
            !Find<QLabel>(&quiet, "FiguresLabel")->text().contains("Warnings"));
  }

  void windowsSitWellOnTheScreen_data() {
    QTest::addColumn<QString>("caption");
    QStringList captions = windows_.keys();
    captions.move(captions.indexOf(ui::kMainWindowCaption), 0);  // before the others move it
    captions << "Pictures properties, full";
    for (const QString& caption : captions) QTest::newRow(qPrintable(caption)) << caption;
  }
  void windowsSitWellOnTheScreen() {
    QFETCH(QString, caption);
    QWidget* window = windows_.value(caption.section(',', 0, 0));
    if (window != main_.get()) main_->move(0, 0);  // the screen's centre, not the window's
    if (caption.endsWith("full")) Find<QCheckBox>(window, "CreateHTMLCheckBox")->click();
    window->show();
    const QRect first = window->geometry();
    window->hide();
    window->show();
    QCOMPARE(window->geometry(), first);  // no creeping from one showing to the next
    QCOMPARE(first.topLeft(), testing::ScreenCentre(window->size()));
    QCOMPARE(testing::ClippedTexts(window), QStringList());
    if (auto* last = window->findChild<QPushButton*>("CancelBtn", Qt::FindDirectChildrenOnly)) {
      QVERIFY(window->width() - last->geometry().right() < 20);
      QVERIFY(window->height() - last->geometry().bottom() < 20);
    }
    QRect previous;
    const QGroupBox* previous_group = nullptr;
    for (QWidget* w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain()) {
      if (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisible() || w->focusProxy()) continue;
      const QRect place(w->mapTo(window, QPoint(0, 0)), w->size());
      QVERIFY2(previous.isNull() || ReadsAfter(previous, place, GroupOf(w) == previous_group),
               qPrintable(w->objectName()));
      previous = place;
      previous_group = GroupOf(w);
    }
    if (caption == "Directory") QCOMPARE(window->focusWidget(), Find(window, "DirTree"));
    window->hide();
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
    testing::Answers answers;
    answers.yes = yes;
    const ui::UserPrompts prompts = answers.Prompts();
    picker.SetAsker([&](const QString& question) { return prompts.ask(nullptr, question); });
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
    std::vector<std::string> expected;
    for (const QString& dir : QString(listed).split(' ', Qt::SkipEmptyParts)) {
      expected.push_back(tmp.file(dir.toStdString()));
    }
    QCOMPARE(output.Directories, expected);
    const QString question = ui::NoSubDirectoriesQuestion(tmp.file(pick));
    QCOMPARE(answers.questions,
             pick == std::string("root/leaf") ? QStringList{question} : QStringList{});
    const std::string chosen = ok ? tmp.file(pick) + "/" : tmp.file("gone/");
    QCOMPARE(config.ReadString(keys::kDirs, keys::kDirectoryBox, ""), chosen);
  }

  void elideMiddleKeepsBothEnds() {
    const auto measure = [](const QString& s) { return int(s.toUcs4().size()); };
    // One unit per character, "WW" = 2: candidates must be at most width - 2.
    QCOMPARE(ui::ElideMiddle("abcdefghijk", 10, measure), QString("ab...ijk"));
    const QString camera = QString::fromUtf8("\xF0\x9F\x93\xB7");  // never cut in two
    QCOMPARE(ui::ElideMiddle(camera.repeated(8), 7, measure), camera + "..." + camera);
  }

  void aboutLinkTurnsBlueAndOpensTheAddress() {
    QWidget* about = windows_.value("About");
    auto* link = Find<ui::LinkLabel>(about, "WebSiteLabel");
    QList<QUrl> opened;
    link->SetOpener([&](const QUrl& url) { opened << url; });
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(link, &enter);
    QCOMPARE(link->palette().color(link->foregroundRole()), QColor(0, 0, 255));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(link, &leave);
    QCOMPARE(link->palette().color(link->foregroundRole()), QColor(0, 0, 0));
    QTest::mouseClick(link, Qt::RightButton);  // only the left button opens it
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(opened, QList<QUrl>{QUrl(html::kProductWebAddress)});
    // The keyboard reaches it (Tab from "&OK" comes round to it), shows it and opens it.
    about->show();
    QApplication::setActiveWindow(about);
    QVERIFY(QTest::qWaitForWindowActive(about));
    QCOMPARE(about->focusWidget(), Find(about, "OKBtn"));  // Enter closes the box
    const QImage unfocused = link->grab().toImage();
    QTest::keyClick(about->focusWidget(), Qt::Key_Tab);
    QCOMPARE(about->focusWidget(), link);
    QVERIFY(link->grab().toImage() != unfocused);
    QTest::keyClick(link, Qt::Key_Return);
    QCOMPARE(opened.size(), 2);
    // A screen reader finds a link, which it can press.
    QAccessibleInterface* a11y = QAccessible::queryAccessibleInterface(link);
    QCOMPARE(a11y->role(), QAccessible::Link);
    a11y->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(opened.size(), 3);
    about->hide();
  }

  // In any palette the About box's credits can be read on its background, its link takes the
  // palette's colours, and the padlock and the question mark stand out from their buttons (3:1
  // at least), the padlock when down from the square it is drawn on.
  void colorsComeFromThePalette_data() { testing::Rows(kPalettes); }
  void colorsComeFromThePalette() {
    const auto& [name, dark] = Row(kPalettes);
    const QPalette palette = dark ? testing::DarkPalette() : QApplication::palette();
    QWidget* about = windows_.value("About");
    about->setPalette(palette);
    main_->setPalette(palette);
    const QImage credits = about->grab(Find(about, "CreditsLabel")->geometry()).toImage();
    double best = 1;
    for (int y = 0; y < credits.height(); ++y) {
      for (int x = 0; x < credits.width(); ++x) {
        best =
            std::max(best, testing::Contrast(credits.pixelColor(x, y), credits.pixelColor(0, 0)));
      }
    }
    auto* link = Find<ui::LinkLabel>(about, "WebSiteLabel");
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(link, &enter);
    const QColor hovered = link->palette().color(link->foregroundRole());
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(link, &leave);
    const QColor resting = link->palette().color(link->foregroundRole());
    auto* lock = Find<QToolButton>(main_.get(), "LockBtn");
    const QColor button = lock->palette().color(QPalette::Button);
    const QImage up = lock->icon().pixmap(20, QIcon::Normal, QIcon::Off).toImage();
    const QImage down = lock->icon().pixmap(20, QIcon::Normal, QIcon::On).toImage();
    const QImage help = Find<QToolButton>(main_.get(), "QuickHelpBtn")->icon().pixmap(20).toImage();
    about->setPalette(QPalette());
    main_->setPalette(QPalette());
    QCOMPARE(credits.pixelColor(0, 0), palette.color(QPalette::Base));
    QVERIFY2(best >= 4.5, qPrintable(QString::number(best)));
    QCOMPARE(hovered, palette.color(QPalette::Link));
    QCOMPARE(resting, palette.color(QPalette::Text));
    const QPoint body(5, 15);  // the padlock's body, beside its keyhole
    QVERIFY2(testing::Contrast(up.pixelColor(body), button) >= 3,
             qPrintable(up.pixelColor(body).name()));
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
