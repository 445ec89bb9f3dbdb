// The main window as a user drives it: enabling rules, the directory question, the list, drops
// and command-line folders, GO! and the summary of a real run, state files, the lock, the
// first start and the window's position.
#include "ui/main_window.h"

#include <QCommandLineParser>
#include <QMimeData>
#include <QToolTip>
#include <QVBoxLayout>
#include <filesystem>

#include "persist/config_file.h"
#include "support/test_jpeg.h"
#include "ui/command_line.h"
#include "ui/desktop_shortcut.h"
#include "ui/directory_list_box.h"
#include "ui/directory_picker.h"
#include "ui_test_support.h"

using namespace quorvel;
using testing::Find;
using testing::ReadFile;
using testing::Row;

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Check boxes clicked in turn; then each "+name" is enabled and each "-name" disabled.
const std::tuple<const char*, const char*, const char*> kRules[] = {
    {"at start", "",
     "+HTMLNameEdit +AllThumbnailsDirectoryEdit +HTMLDirectoryEdit -ThumbnailColEdit "
     "-SplitHTMLCheckBox -NewHTMLCheckBox -HTMLMaskEdit -ThumbnailDirectoryNameEdit "
     "-EliminateCheckBox"},
    {"separate", "SeparateHTMLCheckBox",
     "+HTMLMaskEdit +NewHTMLCheckBox +SplitHTMLCheckBox +ThumbnailColEdit -HTMLNameEdit"},
    {"split twice", "SeparateHTMLCheckBox SplitHTMLCheckBox SplitHTMLCheckBox",
     "-ThumbnailColEdit"},
    {"new HTML runs the separate rule",
     "SeparateHTMLCheckBox SplitHTMLCheckBox SplitHTMLCheckBox NewHTMLCheckBox",
     "+ThumbnailColEdit"},
    {"into image", "IntoImageCheckBox",
     "+ThumbnailDirectoryNameEdit +EliminateCheckBox -AllThumbnailsDirectoryEditBrowse"},
    {"HTML into image", "HTMLIntoImageCheckBox", "-HTMLDirectoryEdit"},
};

// A path typed into the HTML directory field, how the edit ends (Enter, Tab to "...", another
// field then a button, GO! twice), the answer; the directory made or not, the errors shown.
const std::tuple<const char*, const char*, const char*, bool, bool, const char*> kEdits[] = {
    {"Enter, No", "pics", "enter", false, false, ""},
    {"Enter, Yes creates the parents", "a/b/c", "enter", true, true, ""},
    {"Tab to the browse button", "pics", "tab", true, true, ""},
    {"typing into another field first", "pics", "elsewhere", true, true, ""},
    {"GO! twice, No", "pics", "go", false, false,
     "You must create or choose directory first!|You must create or choose directory first!"},
    {"cannot create", "file/sub", "enter", true, false,
     "Cannot create directory %1/ (Not a directory)"},
};

// Photos listed (-1: none), a broken one or not, Esc after some images; the progress window's
// last title, then the message or the summary's lines (%1 the gallery, %2 the photos' folder).
const std::tuple<const char*, int, bool, int, const char*, const char*> kGoes[] = {
    {"empty list", -1, false, -1, "", "The directory list is empty."},
    {"no JPEG", 0, false, -1, "", "No JPEG images were found"},
    {"one broken photo", 2, true, -1, "Process stats [2 / 2]",
     "The gallery is made, but some images failed.|Images done: 2\nImages failed: 1\n"
     "Pages written: 1 in %1\nFirst index page: %1/index.html|%2/broken.jpg: "},
    {"stopped", 4, false, 3, "Process stats [3 / 4]",
     "The run was stopped; the images after it were skipped.|Images done: 3\nImages failed: 0\n"
     "Pages written: 1 in %1\nFirst index page: %1/index.html"},
};

// The list in the window's palette or a dark one: a path selected, one too long for the list.
const std::tuple<const char*, bool> kListLooks[] = {{"default palette", false}, {"dark", true}};

// Keyboard focus on the list: Tab into it with some rows listed.
const std::tuple<const char*, int> kListFocus[] = {{"empty", 0}, {"two rows", 2}};

// The desktop's font (0: Qt's default) when the window is made, or the window's font changed
// while it is open; the window's size (invalid: wider than 634 and at least 465 high).
const std::tuple<const char*, int, bool, QSize> kFonts[] = {
    {"default font", 0, false, {634, 465}},
    {"10 pt", 10, false, {}},
    {"11 pt", 11, false, {}},
    {"11 pt, set while open", 11, true, {}},
};

// Paths dropped onto the list or given on the command line (a/x.jpg, a/y.jpg and b/ exist),
// and the list afterwards.
const std::tuple<const char*, bool, const char*, const char*> kGiven[] = {
    {"a folder, and files of another folder added once", true, "b a/x.jpg a/y.jpg", "a b"},
    {"command line", false, "b/ a/x.jpg", "a b"},
    {"missing", false, "nowhere", ""},
};

class MainWindowTest : public QObject {
  Q_OBJECT
  std::unique_ptr<testing::TempDir> tmp_;
  testing::Answers answers_;
  ui::ShortcutPlace place_;

  std::unique_ptr<ui::MainWindow> Window() {
    place_ = {tmp_->mkdir("Desktop"), tmp_->file("icons/q.png"), "/usr/bin/true", ""};
    return std::make_unique<ui::MainWindow>(
        ui::MainWindowOptions{tmp_->file("quorvel.cfg"), answers_.Prompts(), &place_});
  }
  static void Click(QWidget* w, const QString& name) {
    QTest::mouseClick(Find<QAbstractButton>(w, name), Qt::LeftButton);
  }
  static void SetText(QWidget* w, const char* name, const std::string& text) {
    Find<QLineEdit>(w, name)->setText(Q(text));
  }
  // The directories the list shows.
  static std::vector<std::string> Listed(QWidget* w) {
    const auto* list = Find<ui::DirectoryListBox>(w, "DirListBox");
    std::vector<std::string> listed;
    for (int i = 0; i < list->count(); ++i) listed.push_back(list->item(i)->text().toStdString());
    return listed;
  }
  std::vector<std::string> Paths(const char* names) const {
    std::vector<std::string> paths;
    for (const QString& name : QString(names).split(' ', Qt::SkipEmptyParts)) {
      paths.push_back(tmp_->file(name.toStdString()));
    }
    return paths;
  }

 private slots:
  void init() {
    tmp_ = std::make_unique<testing::TempDir>();
    answers_ = {};
  }

  void enablingRules_data() { testing::Rows(kRules); }
  void enablingRules() {
    const auto& [name, clicks, expected] = Row(kRules);
    auto w = Window();
    for (const QString& box : QString(clicks).split(' ', Qt::SkipEmptyParts)) Click(w.get(), box);
    for (const QString& e : QString(expected).split(' ')) {
      QCOMPARE(Find(w.get(), e.mid(1))->isEnabled(), e[0] == '+');
    }
  }

  void directoryFieldAsksOncePerEdit_data() { testing::Rows(kEdits); }
  void directoryFieldAsksOncePerEdit() {
    const auto& [name, typed, end, yes, created, errors] = Row(kEdits);
    tmp_->write("file", "a file where a directory would go");
    auto w = Window();
    SetText(w.get(), "AllThumbnailsDirectoryEdit", tmp_->mkdir("thumbs"));
    w->show();
    QApplication::setActiveWindow(w.get());
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    answers_ = {};
    answers_.yes = yes;
    auto* edit = Find<QLineEdit>(w.get(), "HTMLDirectoryEdit");
    const QString path = Q(tmp_->file(typed));
    edit->setFocus();
    QTest::keyClicks(edit, path);
    if (end == std::string("enter")) QTest::keyClick(edit, Qt::Key_Return);
    if (end == std::string("tab")) QTest::keyClick(edit, Qt::Key_Tab);
    if (end == std::string("elsewhere")) {
      Find(w.get(), "HTMLNameEdit")->setFocus();
      QCoreApplication::processEvents();
      QVERIFY(answers_.questions.isEmpty());  // the focus is where the user types now
      Find(w.get(), "FilterBtn")->setFocus();
    }
    if (end == std::string("go")) {  // the focus stays in the field
      Find<QAbstractButton>(w.get(), "GoBtn")->click();
      Find<QAbstractButton>(w.get(), "GoBtn")->click();
    }
    QCoreApplication::processEvents();
    Find(w.get(), "LoadButton")->setFocus();  // leaving again asks nothing more
    QCoreApplication::processEvents();
    QCOMPARE(answers_.questions,
             QStringList{"Directory \"" + path + "/\" does not exist. Do you want create it?"});
    QCOMPARE(std::filesystem::is_directory(path.toStdString()), created);
    QCOMPARE(answers_.errors.join('|'), QString(errors).replace("%1", path));
  }

  void goSaysWhatItDid_data() { testing::Rows(kGoes); }
  void goSaysWhatItDid() {
    const auto& [name, photos, broken, stop_after, progress, shown] = Row(kGoes);
    answers_.stop_after = stop_after;
    auto w = Window();
    const std::string web = tmp_->mkdir("web"), pics = tmp_->mkdir("p");
    for (int i = 0; i < photos; ++i) {
      testing::WriteTestJpeg(pics + "/" + std::to_string(i) + ".jpg");
    }
    if (broken) tmp_->write("p/broken.jpg", "not a JPEG file");
    SetText(w.get(), "HTMLDirectoryEdit", web);
    SetText(w.get(), "AllThumbnailsDirectoryEdit", tmp_->mkdir("thumbs"));
    if (photos >= 0) w->AddGivenPaths({Q(pics)});
    Click(w.get(), "GoBtn");
    QCOMPARE(answers_.progress.value(0), QString(progress));
    // The pace once 3 images are done; a broken photo is left out before the run.
    const int done = stop_after > 0 ? stop_after : photos;
    QCOMPARE(answers_.progress.value(1).endsWith(" left"), done >= 3);
    const QStringList lines = QString(shown).split('|');
    QCOMPARE(answers_.shown.size(), lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
      const QString line = QString(lines[i]).replace("%1", Q(web)).replace("%2", Q(pics));
      QVERIFY2(answers_.shown[i].startsWith(line), qPrintable(answers_.shown[i]));
    }
    if (!*progress) return;
    QCOMPARE(answers_.opened, QList<QUrl>{QUrl::fromLocalFile(Q(web + "/index.html"))});
    QVERIFY(ReadFile(web + "/index.html").ends_with("</html>\r\n"));
  }

  void listDrawsSelectionElidesAndShowsTheWholePath_data() { testing::Rows(kListLooks); }
  void listDrawsSelectionElidesAndShowsTheWholePath() {
    const auto& [name, dark] = Row(kListLooks);
    const auto measure = [](const QString& s) { return static_cast<int>(s.size()) * 10; };
    // 100 wide, "W" is 10: "..." and the rest must fit in 90, so the rest has 6 characters.
    QCOMPARE(ui::ElideStart("/photos/2001/summer", 100, measure), QString("...summer"));
    ui::DirectoryListBox list;
    if (dark) list.setPalette(testing::DarkPalette());
    list.resize(120, 60);
    const QString long_path = "/a/very/long/path/that/cannot/fit/tail/";
    list.ShowDirectories({"/short/", long_path.toStdString()});
    list.item(0)->setSelected(true);
    list.show();
    const QPalette::ColorGroup group =
        list.isActiveWindow() ? QPalette::Active : QPalette::Inactive;
    const QImage drawn = list.viewport()->grab().toImage();
    const QRect row = list.visualItemRect(list.item(0));
    QCOMPARE(drawn.pixelColor(row.topRight()), list.palette().color(group, QPalette::Highlight));
    const QRect other = list.visualItemRect(list.item(1));
    QCOMPARE(drawn.pixelColor(other.topRight()), list.palette().color(group, QPalette::Base));
    QCOMPARE(list.ToolTipFor(0), QString());
    const QPoint at = list.visualItemRect(list.item(1)).center();
    QHelpEvent tip(QEvent::ToolTip, at, list.viewport()->mapToGlobal(at));
    QApplication::sendEvent(list.viewport(), &tip);
    QCOMPARE(QToolTip::text(), long_path);
  }

  void listShowsKeyboardFocus_data() { testing::Rows(kListFocus); }
  void listShowsKeyboardFocus() {
    const auto& [name, rows] = Row(kListFocus);
    QWidget window;
    auto* before = new QLineEdit(&window);
    auto* list = new ui::DirectoryListBox(&window);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(before);
    layout->addWidget(list);
    list->ShowDirectories(std::vector<std::string>(rows, "/photos/"));
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    before->setFocus();
    const QImage unfocused = list->viewport()->grab().toImage();
    QTest::keyClick(before, Qt::Key_Tab);
    QVERIFY(list->hasFocus());
    const QImage focused = list->viewport()->grab().toImage();
    // Where the focus shows (the style's frame, which may tint what it frames): on the first
    // row, or over the empty list's inside.
    const QRect around = rows ? list->visualItemRect(list->item(0)) : list->viewport()->rect();
    int changed = 0;
    for (int y = 0; y < focused.height(); ++y) {
      for (int x = 0; x < focused.width(); ++x) {
        if (focused.pixel(x, y) == unfocused.pixel(x, y)) continue;
        ++changed;
        QVERIFY2(around.contains(x, y), qPrintable(QString("%1, %2").arg(x).arg(y)));
      }
    }
    QVERIFY(changed > 0);
  }

  // The window keeps its size at the default font and grows where a larger one needs room,
  // every text whole; the list follows the window's font.
  void windowFitsTheFont_data() { testing::Rows(kFonts); }
  void windowFitsTheFont() {
    const auto& [name, points, while_open, expected] = Row(kFonts);
    const QFont before = QApplication::font();
    QFont font = before;
    if (points) font.setPointSize(points);
    if (!while_open) QApplication::setFont(font);
    auto w = Window();
    if (while_open) w->setFont(font);  // as a change of the desktop's font reaches it
    w->AddGivenPaths({Q(tmp_->path())});
    w->show();
    const QSize size = w->size();
    const QStringList clipped = testing::ClippedTexts(w.get());
    const auto* list = Find<ui::DirectoryListBox>(w.get(), "DirListBox");
    const int row_height = list->visualItemRect(list->item(0)).height();
    const int line_height = QFontMetrics(font).height();
    QApplication::setFont(before);
    QCOMPARE(clipped, QStringList());
    if (expected.isValid()) QCOMPARE(size, expected);
    if (!expected.isValid())
      QVERIFY2(size.width() > 634 && size.height() >= 465,
               qPrintable(QString("%1 x %2").arg(size.width()).arg(size.height())));
    QCOMPARE(row_height, std::max(13, line_height));
  }

  void givenPathsAreAdded_data() { testing::Rows(kGiven); }
  void givenPathsAreAdded() {
    const auto& [name, dropped, given, listed] = Row(kGiven);
    tmp_->mkdir("b");
    tmp_->write("a/x.jpg", "x");
    tmp_->write("a/y.jpg", "y");
    QStringList arguments{"quorvelandiscope"};
    QMimeData data;
    for (const std::string& path : Paths(given)) {
      arguments << Q(path);
      data.setUrls(data.urls() << QUrl::fromLocalFile(Q(path)));
    }
    auto w = Window();
    QWidget* list = Find<ui::DirectoryListBox>(w.get(), "DirListBox")->viewport();
    QDragEnterEvent enter({2, 2}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QDropEvent drop({2, 2}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCommandLineParser parser;
    ui::DescribeCommandLine(parser);
    if (dropped) {
      QVERIFY(QApplication::sendEvent(list, &enter) && enter.isAccepted());
      QApplication::sendEvent(list, &drop);
    } else {
      QVERIFY(parser.parse(arguments));
      w->AddGivenPaths(parser.positionalArguments());
    }
    QCOMPARE(Listed(w.get()), Paths(listed));
    QCOMPARE(answers_.errors.size(), *listed ? 0 : 1);
  }

  void listButtons() {
    auto w = Window();
    const std::string a = tmp_->mkdir("a"), thumb = tmp_->mkdir("a/thumb");
    QList<bool> hidden;
    w->findChild<ui::DirectoryPicker*>()->SetModalRunner([&](ui::DirectoryPicker& picker) {
      auto* sub = Find<QCheckBox>(&picker, "SubDirectoriesCheck");
      hidden << sub->isHidden();
      picker.SelectDirectory(a);
      sub->setChecked(false);
      Find<QPushButton>(&picker, "OKBtn")->click();
      return picker.result();
    });
    Click(w.get(), "HTMLDirectoryEditBrowse");  // into the field, not the list
    Click(w.get(), "AddDirBtn");                // the folder itself
    QCOMPARE(Find<QLineEdit>(w.get(), "HTMLDirectoryEdit")->text(), Q(a + "/"));
    QCOMPARE(hidden, (QList<bool>{true, false}));  // "Add All Sub Directories" only for adding
    w->AddGivenPaths({Q(thumb)});
    Click(w.get(), "FilterBtn");
    QCOMPARE(Listed(w.get()), std::vector<std::string>{a});
    w->AddGivenPaths({Q(thumb)});
    Find<ui::DirectoryListBox>(w.get(), "DirListBox")->item(0)->setSelected(true);
    Click(w.get(), "RemoveDirBtn");
    QCOMPARE(Listed(w.get()), std::vector<std::string>{thumb});
    Click(w.get(), "ClearBtn");
    QVERIFY(Listed(w.get()).empty());
  }

  void stateFilesLockPlaceAndFirstStart() {
    const std::string state = tmp_->mkdir("states") + "/job.qvl";
    {
      auto w = Window();
      auto* rows = Find<QSpinBox>(w.get(), "ThumbnailRowEdit");
      rows->setValue(4);
      Click(w.get(), "SeparateHTMLCheckBox");
      answers_.file = state;
      Click(w.get(), "SaveBtn");
      Click(w.get(), "LockBtn");
      rows->setValue(2);
      Click(w.get(), "SeparateHTMLCheckBox");
      Click(w.get(), "LoadButton");
      QCOMPARE(answers_.file_dialogs, QStringList({"Save state to...", "Load state from..."}));
      QCOMPARE(rows->value(), 4);
      QVERIFY(!Find(w.get(), "HTMLNameEdit")->isEnabled());        // the rules ran after the load
      answers_.file = tmp_->write("bad.qvl", "not a state file");  // shown, changes nothing
      Click(w.get(), "LoadButton");
      const QIcon lock = Find<QToolButton>(w.get(), "LockBtn")->icon();  // down and up differ
      QVERIFY(lock.pixmap(20, QIcon::Normal, QIcon::On).toImage() !=
              lock.pixmap(20, QIcon::Normal, QIcon::Off).toImage());
    }
    for (const int expected : {4, 5}) {  // with the state file, then without it
      auto w = Window();
      QCOMPARE(Find<QSpinBox>(w.get(), "ThumbnailRowEdit")->value(), 5);  // not before shown
      w->show();
      QCOMPARE(Find<QSpinBox>(w.get(), "ThumbnailRowEdit")->value(), expected);
      std::filesystem::remove(state);
    }
    QCOMPARE(answers_.errors.size(), 1);                                  // the bad file only
    QCOMPARE(answers_.questions, QStringList{ui::FirstStartQuestion()});  // at the first start
  }

  void storedPositionIsKeptUnlessOffEveryScreen() {
    persist::ConfigFile config(tmp_->file("quorvel.cfg"));
    config.WriteInt("WINDOW", "left", 10);
    config.WriteInt("WINDOW", "top", 20);
    QCOMPARE(Window()->pos(), QPoint(10, 20));
    config.WriteInt("WINDOW", "left", 50000);
    QCOMPARE(Window()->geometry().topLeft(), testing::ScreenCentre({634, 465}));
    Window()->move(30, 40);
    QCOMPARE(config.ReadInt("WINDOW", "left", 0), 30);
  }
};

}  // namespace

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
