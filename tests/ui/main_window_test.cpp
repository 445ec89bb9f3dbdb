// The main window as a user drives it: enabled states and their rules, directory fields,
// the directory list, the state commands and the lock, the window position and GO!.
#include "ui/main_window.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <filesystem>

#include "persist/config_file.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"
#include "ui/desktop_shortcut.h"
#include "ui/directory_list_box.h"
#include "ui/directory_picker.h"
#include "ui/progress_window.h"
#include "ui/property_dialogs.h"

using quorvel::testing::ReadFile;
using quorvel::testing::TempDir;
using quorvel::ui::DirectoryListBox;
using quorvel::ui::MainWindow;
using quorvel::ui::MainWindowOptions;
namespace keys = quorvel::persist::config_keys;
namespace fs = std::filesystem;

namespace {

// Answers every dialog the window would show and remembers what it was asked.
struct Answers {
  bool yes = false;
  std::optional<std::string> file;
  QStringList questions;
  QStringList errors;
  QStringList titles;
};

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TempDir> tmp_;
  Answers answers_;
  quorvel::ui::ShortcutPlace place_;

  std::string Config() const { return tmp_->file("quorvel.cfg"); }

  std::unique_ptr<MainWindow> Window() {
    MainWindowOptions options;
    options.config_path = Config();
    options.prompts.ask = [this](QWidget*, const QString& q) {
      answers_.questions << q;
      return answers_.yes;
    };
    options.prompts.show_error = [this](QWidget*, const QString& m) { answers_.errors << m; };
    const auto file = [this](QWidget*, const quorvel::ui::FileDialogRequest& r) {
      answers_.titles << r.title + "|" + r.directory;
      return answers_.file;
    };
    options.prompts.save_file = file;
    options.prompts.open_file = file;
    options.prompts.run_progress = [](quorvel::ui::ProgressWindow& w) {
      w.show();
      while (w.Tick()) {
      }
      return w.result();
    };
    place_ = {tmp_->mkdir("Desktop"), tmp_->file("icons/quorvel.png"), "/usr/bin/true"};
    options.shortcut_place = &place_;
    return std::make_unique<MainWindow>(std::move(options));
  }

  // The picker answered with `dir` alone, without its sub-directories.
  static int PickOnly(quorvel::ui::DirectoryPicker& picker, const std::string& dir) {
    picker.SelectDirectory(dir);
    picker.SubDirectoriesCheck()->setChecked(false);
    picker.accept();
    return picker.result();
  }

  // A configuration that has already asked the first-start question.
  void ConfigAfterFirstStart() {
    quorvel::persist::ConfigFile(Config()).WriteBool(keys::kWindow, keys::kIcon, true);
  }

  template <typename T>
  static T* Child(MainWindow& w, const char* name) {
    T* child = w.findChild<T*>(name);
    if (!child) qFatal("no control %s", name);
    return child;
  }
  static bool Enabled(MainWindow& w, const char* name) {
    return Child<QWidget>(w, name)->isEnabled();
  }
  static void Click(MainWindow& w, const char* name) {
    QTest::mouseClick(Child<QAbstractButton>(w, name), Qt::LeftButton);
  }

 private slots:
  void init() {
    tmp_ = std::make_unique<TempDir>();
    answers_ = {};
  }

  void firstStartAsksOnceAndRemembersTheAnswer() {
    { auto w = Window(); }
    QCOMPARE(answers_.questions.size(), 1);
    QCOMPARE(answers_.questions.front(), quorvel::ui::FirstStartQuestion());
    QVERIFY(ReadFile(Config()).find("icon=1") != std::string::npos);
    { auto w = Window(); }
    QCOMPARE(answers_.questions.size(), 1);
  }

  void startUpEnabledStates() {
    ConfigAfterFirstStart();
    auto w = Window();
    QCOMPARE(w->windowTitle(), QString("Quorvelandiscope"));
    QCOMPARE(w->size(), QSize(634, 465));
    for (const char* off : {"ThumbnailColEdit", "SplitHTMLCheckBox", "NewHTMLCheckBox",
                            "HTMLMaskEdit", "ThumbnailDirectoryNameEdit", "EliminateCheckBox"}) {
      QVERIFY2(!Enabled(*w, off), off);
    }
    for (const char* on : {"HTMLNameEdit", "AllThumbnailsDirectoryEdit", "HTMLDirectoryEdit",
                           "ThumbnailRowEdit", "SeparateHTMLCheckBox", "GoBtn"}) {
      QVERIFY2(Enabled(*w, on), on);
    }
    QVERIFY(Child<QCheckBox>(*w, "UpdateHTMLCheckBox")->isChecked());
    QVERIFY(Child<QCheckBox>(*w, "EliminateCheckBox")->isChecked());
    QCOMPARE(Child<QAbstractButton>(*w, "GoBtn")->text(), QString("&GO!"));
    QCOMPARE(Child<QAbstractButton>(*w, "PucturesPropertiesBtn")->text(),
             QString("&Pictures properties"));
  }

  void separateAndSplitRules() {
    ConfigAfterFirstStart();
    auto w = Window();
    Click(*w, "SeparateHTMLCheckBox");
    for (const char* on : {"HTMLMaskEdit", "NewHTMLCheckBox", "SplitHTMLCheckBox",
                           "ThumbnailColEdit"}) {
      QVERIFY2(Enabled(*w, on), on);
    }
    QVERIFY(!Enabled(*w, "HTMLNameEdit"));
    // Split clicked twice ends unchecked, and its rule disables the column count.
    Click(*w, "SplitHTMLCheckBox");
    QVERIFY(Enabled(*w, "ThumbnailColEdit"));
    Click(*w, "SplitHTMLCheckBox");
    QVERIFY(!Enabled(*w, "ThumbnailColEdit"));
    // "Create New HTML for Each Directory" runs the separate rule, which enables it again.
    Click(*w, "NewHTMLCheckBox");
    QVERIFY(Enabled(*w, "ThumbnailColEdit"));
    Click(*w, "SeparateHTMLCheckBox");
    QVERIFY(!Enabled(*w, "ThumbnailColEdit"));
    QVERIFY(Enabled(*w, "HTMLNameEdit"));
    // A disabled control keeps its value.
    QVERIFY(Child<QCheckBox>(*w, "NewHTMLCheckBox")->isChecked());
  }

  void directoryRules() {
    ConfigAfterFirstStart();
    auto w = Window();
    Click(*w, "IntoImageCheckBox");
    QVERIFY(Enabled(*w, "ThumbnailDirectoryNameEdit"));
    QVERIFY(Enabled(*w, "EliminateCheckBox"));
    QVERIFY(!Enabled(*w, "AllThumbnailsDirectoryEdit"));
    QVERIFY(!Enabled(*w, "AllThumbnailsDirectoryEditBrowse"));
    Click(*w, "HTMLIntoImageCheckBox");
    QVERIFY(!Enabled(*w, "HTMLDirectoryEdit"));
    Click(*w, "HTMLIntoImageCheckBox");
    QVERIFY(Enabled(*w, "HTMLDirectoryEdit"));
  }

  void enterNormalisesAndOffersCreation_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("No") << false;
    QTest::newRow("Yes") << true;
  }
  void enterNormalisesAndOffersCreation() {
    QFETCH(bool, yes);
    ConfigAfterFirstStart();
    auto w = Window();
    w->show();
    answers_.yes = yes;
    auto* edit = Child<QLineEdit>(*w, "AllThumbnailsDirectoryEdit");
    const QString pics = QString::fromStdString(tmp_->file("pics"));
    edit->setFocus();
    edit->setText(pics);
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(edit->text(), pics + "/");
    QCOMPARE(answers_.questions,
             QStringList{"Directory \"" + pics + "/\" does not exist. Do you want create it?"});
    QCOMPARE(fs::is_directory(pics.toStdString()), yes);
    // Leaving the field after Enter asks nothing more.
    Child<QLineEdit>(*w, "HTMLNameEdit")->setFocus();
    QCOMPARE(answers_.questions.size(), 1);
  }

  void listDrawsSelectionAndElidesLongPaths() {
    const auto measure = [](const QString& s) { return static_cast<int>(s.size()) * 10; };
    QCOMPARE(quorvel::ui::ElideStart("/a/b", 40, measure), QString("/a/b"));
    // 100 wide, "W" is 10: "..." and the rest must fit in 90, so the rest has 6 characters.
    QCOMPARE(quorvel::ui::ElideStart("/photos/2001/summer", 100, measure), QString("...summer"));

    DirectoryListBox list;
    list.resize(120, 60);
    list.ShowDirectories({"/short/", "/a/very/long/path/that/cannot/fit/tail/"});
    list.item(0)->setSelected(true);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QCOMPARE(list.visualItemRect(list.item(0)).height(), DirectoryListBox::kRowHeight);
    const QImage image = list.viewport()->grab().toImage();
    const QRect row = list.visualItemRect(list.item(0));
    QCOMPARE(image.pixelColor(row.right() - 2, row.top() + 1), QColor(0, 0, 100));
    QCOMPARE(image.pixelColor(row.right() - 2, row.bottom() + 2), QColor(Qt::white));
  }

  void removeClearAndFilter() {
    ConfigAfterFirstStart();
    auto w = Window();
    auto& picker = w->Picker();
    const std::string a = tmp_->mkdir("a"), thumb = tmp_->mkdir("a/thumb");
    for (const std::string& dir : {a, thumb}) {
      picker.SetModalRunner([dir](quorvel::ui::DirectoryPicker& p) { return PickOnly(p, dir); });
      Click(*w, "AddDirBtn");
    }
    auto* list = Child<DirectoryListBox>(*w, "DirListBox");
    QCOMPARE(list->count(), 2);
    Click(*w, "FilterBtn");
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->item(0)->text(), QString::fromStdString(a));
    Child<QLineEdit>(*w, "ThumbnailDirectoryNameEdit")->setText("");
    Click(*w, "FilterBtn");
    QCOMPARE(answers_.errors, QStringList{"Wrong thumbnail directory"});
    list->item(0)->setSelected(true);
    Click(*w, "RemoveDirBtn");
    QCOMPARE(list->count(), 0);
    QVERIFY(w->CurrentSettings().Output.Directories.empty());
  }

  void saveLoadRoundTrip() {
    ConfigAfterFirstStart();
    auto w = Window();
    const std::string state = tmp_->mkdir("states") + "/job.qvl";
    Child<QSpinBox>(*w, "ThumbnailRowEdit")->setValue(7);
    Click(*w, "SeparateHTMLCheckBox");
    answers_.file = state;
    Click(*w, "SaveBtn");
    QVERIFY(answers_.errors.isEmpty());
    QVERIFY(fs::exists(state));
    QCOMPARE(answers_.titles.back().section('|', 0, 0), QString("Save state to..."));
    quorvel::persist::ConfigFile config(Config());
    QCOMPARE(config.ReadString(keys::kWindow, keys::kDefaultState, ""), state);
    QCOMPARE(config.ReadString(keys::kDirs, keys::kMainWindowSave, ""), tmp_->file("states"));
    QVERIFY(!config.HasKey(keys::kDirs, keys::kMainWindowLoad));

    Child<QSpinBox>(*w, "ThumbnailRowEdit")->setValue(2);
    Click(*w, "SeparateHTMLCheckBox");
    Click(*w, "LoadButton");
    QCOMPARE(answers_.titles.back().section('|', 0, 0), QString("Load state from..."));
    QCOMPARE(Child<QSpinBox>(*w, "ThumbnailRowEdit")->value(), 7);
    QVERIFY(Child<QCheckBox>(*w, "SeparateHTMLCheckBox")->isChecked());
    // The rules ran after the load.
    QVERIFY(Enabled(*w, "HTMLMaskEdit"));
    QVERIFY(!Enabled(*w, "HTMLNameEdit"));
    QCOMPARE(config.ReadString(keys::kDirs, keys::kMainWindowLoad, ""), tmp_->file("states"));
  }

  void failedLoadKeepsEverything() {
    ConfigAfterFirstStart();
    auto w = Window();
    answers_.file = tmp_->write("bad.qvl", "not a state file at all");
    Child<QSpinBox>(*w, "ThumbnailRowEdit")->setValue(9);
    Click(*w, "LoadButton");
    QCOMPARE(answers_.errors.size(), 1);
    QCOMPARE(Child<QSpinBox>(*w, "ThumbnailRowEdit")->value(), 9);
    QVERIFY(w->DefaultStatePath().empty());
    QVERIFY(!quorvel::persist::ConfigFile(Config()).HasKey(keys::kWindow, keys::kDefaultState));
  }

  void lockLoadsTheDefaultStateAtStart() {
    ConfigAfterFirstStart();
    const std::string state = tmp_->file("job.qvl");
    {
      auto w = Window();
      Child<QSpinBox>(*w, "ThumbnailRowEdit")->setValue(4);
      answers_.file = state;
      Click(*w, "SaveBtn");
      Click(*w, "LockBtn");
    }
    QVERIFY(ReadFile(Config()).find("state lock=1") != std::string::npos);
    {
      auto w = Window();
      QVERIFY(Child<QToolButton>(*w, "LockBtn")->isChecked());
      QCOMPARE(Child<QSpinBox>(*w, "ThumbnailRowEdit")->value(), 5);  // not before shown
      w->show();
      QCOMPARE(Child<QSpinBox>(*w, "ThumbnailRowEdit")->value(), 4);
    }
    fs::remove(state);
    auto w = Window();
    w->show();
    QCOMPARE(Child<QSpinBox>(*w, "ThumbnailRowEdit")->value(), 5);
    QVERIFY(answers_.errors.isEmpty());
  }

  void storedPositionIsKeptUnlessOffEveryScreen() {
    ConfigAfterFirstStart();
    quorvel::persist::ConfigFile config(Config());
    config.WriteInt(keys::kWindow, keys::kLeft, 10);
    config.WriteInt(keys::kWindow, keys::kTop, 20);
    QCOMPARE(Window()->pos(), QPoint(10, 20));
    config.WriteInt(keys::kWindow, keys::kLeft, 50000);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(Window()->pos(), QPoint(screen.left() + (screen.width() - 634) / 2,
                                     screen.top() + (screen.height() - 465) / 2));
    {
      auto w = Window();
      w->move(30, 40);
    }
    QCOMPARE(config.ReadInt(keys::kWindow, keys::kLeft, 0), 30);
    QCOMPARE(config.ReadInt(keys::kWindow, keys::kTop, 0), 40);
  }

  void goMakesTheGallery() {
    ConfigAfterFirstStart();
    const std::string pics = tmp_->mkdir("pics");
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
      quorvel::testing::WriteTestJpeg(pics + "/" + name);
    }
    auto w = Window();
    Click(*w, "GoBtn");
    QCOMPARE(answers_.errors, QStringList{"You must create or choose directory first!"});
    w->Picker().SetModalRunner([&](quorvel::ui::DirectoryPicker& p) { return PickOnly(p, pics); });
    Click(*w, "AddDirBtn");
    Child<QLineEdit>(*w, "AllThumbnailsDirectoryEdit")->setText(QString::fromStdString(tmp_->mkdir("thumbs")));
    Child<QLineEdit>(*w, "HTMLDirectoryEdit")->setText(QString::fromStdString(tmp_->file("web")));
    answers_.yes = true;
    Click(*w, "GoBtn");
    QCOMPARE(answers_.errors.size(), 1);
    QVERIFY(!w->Running());
    QCOMPARE(Child<QLineEdit>(*w, "HTMLDirectoryEdit")->text(),
             QString::fromStdString(tmp_->file("web/")));
    const std::string page = ReadFile(tmp_->file("web/index.html"));
    QVERIFY(page.ends_with("</html>\r\n"));
    QVERIFY(page.find("c_thumb.jpg") != std::string::npos);
    QVERIFY(fs::exists(tmp_->file("thumbs/a_thumb.jpg")));
  }
};

}  // namespace

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
