// The directory picker "Directory": a directory tree for adding source directories (with or
// without all their sub-directories) and for browsing for an output directory.
//
// API (one picker per main window, created once and reused):
//   DirectoryPicker picker(config, mainWindow);    // reads "DIRS" / "directory box"
//   picker.AddDirectories(output)  // add mode: true on OK; the tree is walked through the
//                                  // searching window when "Add All Sub Directories" is ticked
//                                  // (a walk that adds nothing offers to add the directory
//                                  // itself), otherwise the picked directory itself is added
//   picker.Browse()                // browse mode: the chosen directory or nullopt on Cancel
// Returned paths end with "/" and keep their on-disk letter case. OK writes the chosen path
// to "directory box" and is disabled while nothing is selected. The picker opens centred on
// the screen with the keyboard focus in its tree. SetModalRunner, SetSearchRunner,
// SetErrorShower and SetAsker replace the blocking parts in tests.
#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>

#include "job/gallery_settings.h"
#include "ui/searching_window.h"

class QCheckBox;
class QFileSystemModel;
class QPushButton;
class QSortFilterProxyModel;
class QTreeView;

namespace quorvel::persist {
class ConfigFile;
}

namespace quorvel::ui {

class DirectoryPicker : public QDialog {
  Q_OBJECT
 public:
  using ModalRunner = std::function<int(DirectoryPicker&)>;
  using SearchRunner =
      std::function<SearchingWindow::Outcome(const std::string& dir, OutputSettings& output)>;
  using ErrorShower = std::function<void(const QString& message)>;
  using Asker = std::function<bool(const QString& question)>;

  explicit DirectoryPicker(persist::ConfigFile& config, QWidget* parent = nullptr);

  bool AddDirectories(OutputSettings& output);
  std::optional<std::string> Browse();

  // The selected directory with a trailing "/", or empty when nothing is selected.
  std::string SelectedPath() const;
  // Selects `path` (expanding its parents); false when it is not an existing directory.
  bool SelectDirectory(const std::string& path);

  void SetModalRunner(ModalRunner runner) { modal_runner_ = std::move(runner); }
  void SetSearchRunner(SearchRunner runner) { search_runner_ = std::move(runner); }
  void SetErrorShower(ErrorShower shower) { error_shower_ = std::move(shower); }
  void SetAsker(Asker asker) { asker_ = std::move(asker); }

 public slots:
  void accept() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  int RunModal();
  void PrepareToShow();
  void UpdateOkButton();
  void KeepSelectionInView();

  persist::ConfigFile& config_;
  std::string remembered_;
  OutputSettings* output_ = nullptr;  // set while an add is in progress
  bool follow_selection_ = true;
  QFileSystemModel* model_;
  QSortFilterProxyModel* names_;  // the model's one column the tree shows
  QTreeView* tree_;
  QCheckBox* sub_directories_check_;
  QPushButton* ok_button_;
  QPushButton* cancel_button_;
  ModalRunner modal_runner_;
  SearchRunner search_runner_;
  ErrorShower error_shower_;
  Asker asker_;
};

// The question asked when adding the sub-directories of `dir` added none.
QString NoSubDirectoriesQuestion(const std::string& dir);

}  // namespace quorvel::ui
