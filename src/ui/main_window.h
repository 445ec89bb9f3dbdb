// The program's principal window: the directory list, the output options, the buttons that
// open the property dialogs, GO!, the state commands and help. It holds the gallery job's
// settings and hands every action to the core. No action ends silently: GO! without
// directories or images says so, and every run ends with its summary.
#pragma once

#include <QWidget>
#include <memory>
#include <string>

#include "job/gallery_settings.h"
#include "persist/config_file.h"
#include "run/generation_run.h"
#include "ui/user_prompts.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QToolButton;

namespace quorvel::ui {

class AboutBox;
class ContextHelp;
class DirectoryEdit;
class DirectoryListBox;
class DirectoryPicker;
class ProgressWindow;
class PropertyDialogs;
struct ShortcutPlace;

struct MainWindowOptions {
  std::string config_path = persist::DefaultConfigPath();
  UserPrompts prompts = UserPrompts::Standard();
  // Where the first-start launcher goes; the user's desktop when null.
  const ShortcutPlace* shortcut_place = nullptr;
};

class MainWindow : public QWidget {
  Q_OBJECT
 public:
  explicit MainWindow(MainWindowOptions options = {}, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Adds the folders given on the command line or dropped onto the list, a file standing for
  // its folder, by the insertion rules of "&Add"; paths that do not exist are reported.
  void AddGivenPaths(const QStringList& paths);

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // The buttons' commands.
  void AddDirectories();
  void RemoveDirectories();
  void ClearDirectories();
  void FilterDirectories();
  void Go();
  void SaveStateCommand();
  void LoadStateCommand();
  void ShowAbout();
  // Loads `path` into every group; false (after showing the error) when it cannot.
  bool LoadStateFile(const std::string& path);
  // The job as the controls and dialogs hold it now.
  GallerySettings CurrentSettings();

  // Building the controls (main_window_layout.cpp).
  void BuildControls();
  QWidget* BuildDirectoriesGroup();
  QWidget* BuildHtmlOutputGroup();
  QWidget* BuildOutputDirectoriesGroup();
  QWidget* BuildButtonColumn();
  void ConnectControls();

  // The enabling rules, each after its check box was clicked (and 1, 3, 4 after a load).
  void ApplySeparateRule();
  void ApplySplitRule();
  void ApplyIntoImageRule();
  void ApplyHtmlIntoImageRule();

  // Fixes the window at 634 x 465, or larger where the controls need more room (a larger
  // font): never smaller, never resizable.
  void FitSize();
  void ReadConfiguration();
  void PlaceWindow();
  void ReadOutputControls();
  void ShowOutputSettings();
  void ShowDirectories();
  QString NormalizeDirectory(const QString& text);
  void BrowseInto(DirectoryEdit* edit);
  void OpenDialog(int kind);
  void WriteImagingOptions();
  void SetStateLock(bool down);
  void ShowError(const QString& message);
  void Inform(const QString& message);
  void ShowRunSummary(const GenerationRun& run);
  // Runs `action`; an Error it raises is shown and the window keeps its values.
  template <typename Action>
  bool Guarded(Action action);

  MainWindowOptions options_;
  persist::ConfigFile config_;
  GallerySettings settings_;
  ImagingOptions imaging_;
  std::string default_state_;
  std::string save_directory_;
  std::string load_directory_;
  bool startup_load_started_ = false;
  bool running_ = false;
  bool closing_ = false;
  ProgressWindow* active_progress_ = nullptr;

  std::unique_ptr<DirectoryPicker> picker_;
  std::unique_ptr<PropertyDialogs> dialogs_;
  AboutBox* about_ = nullptr;
  ContextHelp* help_ = nullptr;

  DirectoryListBox* dir_list_ = nullptr;
  QSpinBox* row_edit_ = nullptr;
  QSpinBox* col_edit_ = nullptr;
  QCheckBox* update_html_ = nullptr;
  QCheckBox* split_html_ = nullptr;
  QCheckBox* new_html_ = nullptr;
  QCheckBox* separate_html_ = nullptr;
  QLineEdit* html_mask_ = nullptr;
  QLineEdit* html_name_ = nullptr;
  DirectoryEdit* all_thumbnails_dir_ = nullptr;
  QLineEdit* thumbnail_dir_name_ = nullptr;
  QCheckBox* into_image_ = nullptr;
  QCheckBox* eliminate_ = nullptr;
  DirectoryEdit* html_dir_ = nullptr;
  QCheckBox* html_into_image_ = nullptr;
  QToolButton* lock_ = nullptr;
};

}  // namespace quorvel::ui
