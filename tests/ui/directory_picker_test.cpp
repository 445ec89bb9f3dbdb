// The directory picker and the searching window on temporary trees: returned paths, the
// remembered directory, add and browse modes, the walk with elimination and its cancel.
#include "ui/directory_picker.h"

#include <QCheckBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

#include "persist/config_file.h"
#include "support/temp_dir.h"
#include "ui/searching_window.h"

namespace keys = quorvel::persist::config_keys;
using quorvel::OutputSettings;
using quorvel::persist::ConfigFile;
using quorvel::testing::TempDir;
using quorvel::ui::DirectoryPicker;
using quorvel::ui::SearchingWindow;

class DirectoryPickerTest : public QObject {
  Q_OBJECT

 private:
  // Picks `dir` and presses OK (or Cancel) inside the modal run.
  static DirectoryPicker::ModalRunner Choose(const std::string& dir, bool ok = true) {
    return [dir, ok](DirectoryPicker& picker) {
      if (!dir.empty()) picker.SelectDirectory(dir);
      (ok ? picker.OkButton() : picker.CancelButton())->click();
      return picker.result();
    };
  }

  // Shows the searching window and lets the walk run to its end.
  static int WaitForWalk(SearchingWindow& window) {
    QSignalSpy done(&window, &SearchingWindow::finished);
    window.show();
    if (!window.IsDone()) done.wait(30000);
    return window.result();
  }

 private slots:
  void browseReturnsPathWithSlashAndRemembersIt() {
    TempDir tmp;
    tmp.mkdir("Pics/Holiday");
    ConfigFile config(tmp.file("quorvel.cfg"));
    {
      DirectoryPicker picker(config);
      picker.SetModalRunner(Choose(tmp.file("Pics/Holiday")));
      const std::optional<std::string> chosen = picker.Browse();
      QVERIFY(chosen.has_value());
      QCOMPARE(*chosen, tmp.file("Pics/Holiday/"));  // on-disk case kept
      QVERIFY(!picker.SubDirectoriesCheck()->isHidden());
    }
    QCOMPARE(config.ReadString(keys::kDirs, keys::kDirectoryBox, ""), tmp.file("Pics/Holiday/"));
    // A new picker opens on the remembered directory.
    DirectoryPicker again(config);
    QCOMPARE(again.RememberedDirectory(), tmp.file("Pics/Holiday/"));
    QCOMPARE(again.SelectedPath(), tmp.file("Pics/Holiday/"));
  }

  void browseAddsNothingWhateverTheBox() {
    TempDir tmp;
    tmp.mkdir("a/b");
    ConfigFile config(tmp.file("quorvel.cfg"));
    DirectoryPicker picker(config);
    OutputSettings output;
    picker.SetSearchRunner([](const std::string&, OutputSettings&) {
      QTest::qFail("no walk in browse mode", __FILE__, __LINE__);
      return SearchingWindow::Outcome::Completed;
    });
    bool hidden = false;
    picker.SetModalRunner([&](DirectoryPicker& p) {
      hidden = p.SubDirectoriesCheck()->isHidden();
      p.SelectDirectory(tmp.file("a"));
      p.OkButton()->click();
      return p.result();
    });
    QCOMPARE(picker.Browse().value_or(""), tmp.file("a/"));
    QVERIFY(hidden);
    QVERIFY(output.Directories.empty());
  }

  void cancelChangesNothing() {
    TempDir tmp;
    tmp.mkdir("a");
    tmp.mkdir("b");
    ConfigFile config(tmp.file("quorvel.cfg"));
    config.WriteString(keys::kDirs, keys::kDirectoryBox, tmp.file("a/"));
    DirectoryPicker picker(config);
    OutputSettings output;
    picker.SetModalRunner(Choose(tmp.file("b"), false));
    QVERIFY(!picker.AddDirectories(output));
    QVERIFY(output.Directories.empty());
    QCOMPARE(config.ReadString(keys::kDirs, keys::kDirectoryBox, ""), tmp.file("a/"));
    QCOMPARE(picker.RememberedDirectory(), tmp.file("a/"));
  }

  void okIsDisabledWithoutSelection() {
    TempDir tmp;
    ConfigFile config(tmp.file("quorvel.cfg"));
    DirectoryPicker picker(config);
    QVERIFY(picker.OkButton()->isEnabled());
    picker.Tree()->selectionModel()->clearSelection();
    QVERIFY(!picker.OkButton()->isEnabled());
    QCOMPARE(picker.SelectedPath(), std::string());
  }

  void missingRememberedDirectoryFallsBackToRoot() {
    TempDir tmp;
    ConfigFile config(tmp.file("quorvel.cfg"));
    config.WriteString(keys::kDirs, keys::kDirectoryBox, tmp.file("gone/"));
    DirectoryPicker picker(config);
    QCOMPARE(picker.SelectedPath(), std::string("/"));
  }

  void addWithoutSubDirectoriesAddsThePickedDirectory() {
    TempDir tmp;
    tmp.mkdir("Photos/x");
    ConfigFile config(tmp.file("quorvel.cfg"));
    DirectoryPicker picker(config);
    OutputSettings output;
    picker.SubDirectoriesCheck()->setChecked(false);
    picker.SetModalRunner(Choose(tmp.file("Photos")));
    QVERIFY(picker.AddDirectories(output));
    QCOMPARE(output.Directories, std::vector<std::string>{tmp.file("Photos")});
  }

  void addWithSubDirectoriesWalksWithElimination() {
    TempDir tmp;
    tmp.mkdir("root/a/thumb");
    tmp.mkdir("root/a/thumb/inner");
    tmp.mkdir("root/B");
    tmp.mkdir("root/.hidden");
    ConfigFile config(tmp.file("quorvel.cfg"));
    DirectoryPicker picker(config);
    OutputSettings output;
    output.ThumbnailsIntoImageDirectory = true;  // elimination applies
    picker.SetSearchRunner([](const std::string& dir, OutputSettings& out) {
      return SearchingWindow::Walk(dir, out, nullptr, WaitForWalk);
    });
    picker.SetModalRunner(Choose(tmp.file("root")));
    QVERIFY(picker.SubDirectoriesCheck()->isChecked());
    QVERIFY(picker.AddDirectories(output));
    const std::vector<std::string> expected = {tmp.file("root/a"), tmp.file("root/a/thumb/inner"),
                                               tmp.file("root/B")};
    QCOMPARE(output.Directories, expected);
  }

  void cancelledWalkAddsNothing() {
    TempDir tmp;
    tmp.mkdir("root/a/b");
    tmp.mkdir("root/c");
    OutputSettings output;
    output.Directories = {"/kept"};
    const SearchingWindow::Outcome outcome =
        SearchingWindow::Walk(tmp.file("root/"), output, nullptr, [](SearchingWindow& w) {
          w.show();
          w.CancelButton()->click();  // before the window has taken any result
          return w.result();
        });
    QCOMPARE(outcome, SearchingWindow::Outcome::Cancelled);
    QCOMPARE(output.Directories, std::vector<std::string>{"/kept"});
  }

  void walkOfLeafAddsNothing() {
    TempDir tmp;
    tmp.mkdir("leaf");
    OutputSettings output;
    QCOMPARE(SearchingWindow::Walk(tmp.file("leaf/"), output, nullptr, WaitForWalk),
             SearchingWindow::Outcome::Completed);
    QVERIFY(output.Directories.empty());
  }
};

QTEST_MAIN(DirectoryPickerTest)
#include "directory_picker_test.moc"
