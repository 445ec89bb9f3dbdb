#include "ui/main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QLineEdit>
#include <QScreen>
#include <QSpinBox>
#include <QToolButton>
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "job/directory_field.h"
#include "job/directory_list.h"
#include "job/error.h"
#include "persist/state_file.h"
#include "platform/file_system.h"
#include "run/skipped_photos.h"
#include "ui/about_box.h"
#include "ui/desktop_shortcut.h"
#include "ui/directory_edit.h"
#include "ui/directory_list_box.h"
#include "ui/directory_picker.h"
#include "ui/help_topics.h"
#include "ui/pictures_properties_dialog.h"
#include "ui/progress_window.h"
#include "ui/property_dialogs.h"
#include "ui/run_summary_window.h"
#include "ui/window_placement.h"

namespace quorvel::ui {
namespace keys = persist::config_keys;

namespace {

constexpr int kClientWidth = 634;
constexpr int kClientHeight = 465;

std::string DirectoryOf(const std::string& path) {
  return std::filesystem::path(path).parent_path().string();
}

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

constexpr char kEmptyListMessage[] =
    "The directory list is empty. Add the directories of your photos with \"Add\", or drop "
    "them onto the list, then press \"GO!\" again.";
constexpr char kNoImagesMessage[] =
    "No JPEG images were found in the listed directories. Only the files directly inside each "
    "listed directory are used; to include sub-directories, add them with \"Add All Sub "
    "Directories\" ticked.";

}  // namespace

MainWindow::MainWindow(MainWindowOptions options, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      options_(std::move(options)),
      config_(options_.config_path) {
  setWindowTitle(kMainWindowCaption);
  // The installed icon when there is one, else the program's own drawing of it.
  setWindowIcon(
      QIcon::fromTheme(QString::fromLatin1(kApplicationId), QPixmap::fromImage(DrawIcon())));
  BuildControls();
  FitSize();
  ReadConfiguration();
  Guarded([&] {
    RunFirstStartQuestion(config_, this, options_.prompts.ask, options_.prompts.show_error,
                          options_.shortcut_place);
  });

  // Every other window exists, fully built, before the first state load can reach it.
  picker_ = std::make_unique<DirectoryPicker>(config_, this);
  picker_->SetErrorShower([this](const QString& message) { ShowError(message); });
  picker_->SetAsker([this](const QString& question) {
    return options_.prompts.ask && options_.prompts.ask(picker_.get(), question);
  });
  dialogs_ = std::make_unique<PropertyDialogs>(settings_, imaging_, this);
  about_ = new AboutBox(this);

  help_ = new ContextHelp(HelpTopics::FromResource(), this);
  AssignHelpIds(this, kMainWindowCaption);
  help_->AttachMainWindow(this);
  for (int kind = 0; kind <= static_cast<int>(PropertyDialogKind::Pictures); ++kind) {
    QDialog* dialog = dialogs_->Dialog(static_cast<PropertyDialogKind>(kind));
    AssignHelpIds(dialog, dialog->windowTitle().toUtf8().constData());
    help_->AttachDialog(dialog);
  }

  ShowOutputSettings();
}

MainWindow::~MainWindow() {
  // The destructor has no one to show an error to; the position is only a convenience.
  try {
    config_.WriteInt(keys::kWindow, keys::kLeft, pos().x());
    config_.WriteInt(keys::kWindow, keys::kTop, pos().y());
  } catch (const Error& e) {
    std::fprintf(stderr, "%s\n", e.what());
  }
}

void MainWindow::FitSize() {
  layout()->invalidate();  // a font or style changed since the last layout pass
  setFixedSize(minimumSizeHint().expandedTo(QSize(kClientWidth, kClientHeight)));
}

void MainWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) FitSize();
}

void MainWindow::ReadConfiguration() {
  PlaceWindow();
  const std::string program_dir = persist::ProgramDirectory();
  save_directory_ = config_.ReadString(keys::kDirs, keys::kMainWindowSave, program_dir);
  load_directory_ = config_.ReadString(keys::kDirs, keys::kMainWindowLoad, program_dir);
  lock_->setChecked(config_.ReadBool(keys::kWindow, keys::kStateLock, false));
  default_state_ = config_.ReadString(keys::kWindow, keys::kDefaultState, "");
  imaging_.apply_orientation = config_.ReadBool(keys::kOptions, keys::kCameraOrientation, true);
  imaging_.keep_color_profile = config_.ReadBool(keys::kOptions, keys::kColourProfile, true);
  imaging_.fast = config_.ReadBool(keys::kOptions, keys::kFastMode, false);
  // Without a stored choice, the workers the machine's threads and memory bear.
  imaging_.jobs =
      std::clamp(config_.ReadInt(keys::kOptions, keys::kJobs, ImagingOptions::DefaultJobs()),
                 ImagingOptions::kMinJobs, ImagingOptions::kMaxJobs);
}

void MainWindow::PlaceWindow() {
  CentreOnScreen(this);
  if (!config_.HasKey(keys::kWindow, keys::kLeft) || !config_.HasKey(keys::kWindow, keys::kTop)) {
    return;
  }
  const QRect stored(config_.ReadInt(keys::kWindow, keys::kLeft, 0),
                     config_.ReadInt(keys::kWindow, keys::kTop, 0), width(), height());
  // A position left from a monitor that is gone would hide the window for good.
  for (const QScreen* screen : QGuiApplication::screens()) {
    if (screen->geometry().intersects(stored)) {
      move(stored.topLeft());
      return;
    }
  }
}

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (startup_load_started_ || default_state_.empty() || !lock_->isChecked()) return;
  if (!platform::RegularFileExists(default_state_)) return;
  startup_load_started_ = true;
  LoadStateFile(default_state_);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // Stopping closes the current page properly; the run's loop then returns, and the program
  // ends without a summary.
  closing_ = true;
  if (active_progress_ != nullptr) active_progress_->reject();
  QWidget::closeEvent(event);
}

template <typename Action>
bool MainWindow::Guarded(Action action) {
  try {
    action();
    return true;
  } catch (const Error& e) {
    ShowError(QString::fromUtf8(e.what()));
    return false;
  }
}

void MainWindow::ShowError(const QString& message) {
  if (options_.prompts.show_error) options_.prompts.show_error(this, message);
}

void MainWindow::Inform(const QString& message) {
  if (options_.prompts.inform) options_.prompts.inform(this, message);
}

void MainWindow::ReadOutputControls() {
  // A number still being typed counts, read as the editor reads it when left.
  row_edit_->interpretText();
  col_edit_->interpretText();
  OutputSettings& out = settings_.Output;
  out.ThumbnailsInRow = row_edit_->value();
  out.ThumbnailsInColumn = col_edit_->value();
  out.UpdateHTML = update_html_->isChecked();
  out.SplitHTML = split_html_->isChecked();
  out.NewHTMLForEachDirectory = new_html_->isChecked();
  out.SeparateHTML = separate_html_->isChecked();
  out.HTMLFileMask = S(html_mask_->text());
  out.HTMLFileName = S(html_name_->text());
  out.AllThumbnailsDirectory = S(all_thumbnails_dir_->Text());
  out.ThumbnailDirectoryName = S(thumbnail_dir_name_->text());
  out.ThumbnailsIntoImageDirectory = into_image_->isChecked();
  out.EliminateThumbnailDirectory = eliminate_->isChecked();
  out.HTMLDirectory = S(html_dir_->Text());
  out.HTMLIntoImageDirectory = html_into_image_->isChecked();
}

void MainWindow::ShowOutputSettings() {
  const OutputSettings& out = settings_.Output;
  row_edit_->setValue(out.ThumbnailsInRow);
  col_edit_->setValue(out.ThumbnailsInColumn);
  update_html_->setChecked(out.UpdateHTML);
  split_html_->setChecked(out.SplitHTML);
  new_html_->setChecked(out.NewHTMLForEachDirectory);
  separate_html_->setChecked(out.SeparateHTML);
  html_mask_->setText(Q(out.HTMLFileMask));
  html_name_->setText(Q(out.HTMLFileName));
  all_thumbnails_dir_->SetText(Q(out.AllThumbnailsDirectory));
  thumbnail_dir_name_->setText(Q(out.ThumbnailDirectoryName));
  into_image_->setChecked(out.ThumbnailsIntoImageDirectory);
  eliminate_->setChecked(out.EliminateThumbnailDirectory);
  html_dir_->SetText(Q(out.HTMLDirectory));
  html_into_image_->setChecked(out.HTMLIntoImageDirectory);
  ApplySeparateRule();
  ApplyIntoImageRule();
  ApplyHtmlIntoImageRule();
  ShowDirectories();
}

void MainWindow::ShowDirectories() { dir_list_->ShowDirectories(settings_.Output.Directories); }

GallerySettings MainWindow::CurrentSettings() {
  ReadOutputControls();
  return settings_;
}

QString MainWindow::NormalizeDirectory(const QString& text) {
  const DirectoryOps ops{platform::DirectoryExists, platform::CreateDirectories};
  const Question ask = [this](const std::string& question) {
    return options_.prompts.ask && options_.prompts.ask(this, Q(question));
  };
  try {
    return Q(NormalizeDirectoryField(S(text), kNativePathStyle, ops, ask));
  } catch (const Error& e) {
    ShowError(QString::fromUtf8(e.what()));
    // The field still gets its separator; the missing directory stops GO! later.
    return Q(NormalizeDirectoryField(S(text), kNativePathStyle, ops, {}));
  }
}

void MainWindow::BrowseInto(DirectoryEdit* edit) {
  if (const auto chosen = picker_->Browse()) edit->SetText(Q(*chosen));
}

void MainWindow::AddDirectories() {
  ReadOutputControls();
  if (picker_->AddDirectories(settings_.Output)) ShowDirectories();
}

void MainWindow::AddGivenPaths(const QStringList& paths) {
  std::vector<std::string> directories;
  QStringList missing;
  for (const QString& path : paths) {
    const std::optional<std::string> dir = DirectoryOfGivenPath(path);
    if (!dir) {
      missing << "Directory \"" + path + "\" does not exist.";
    } else if (std::find(directories.begin(), directories.end(), *dir) == directories.end()) {
      directories.push_back(*dir);  // several files of one folder add it once
    }
  }
  for (const std::string& dir : directories) {
    InsertDirectorySorted(settings_.Output.Directories, dir);
  }
  ShowDirectories();
  if (!missing.isEmpty()) ShowError(missing.join('\n'));
}

void MainWindow::RemoveDirectories() {
  RemoveSelectedDirectories(settings_.Output.Directories, dir_list_->SelectedFlags());
  ShowDirectories();
}

void MainWindow::ClearDirectories() {
  settings_.Output.Directories.clear();
  ShowDirectories();
}

void MainWindow::FilterDirectories() {
  ReadOutputControls();
  Guarded([&] { FilterThumbnailDirectories(settings_.Output, kNativePathStyle); });
  ShowDirectories();
}

void MainWindow::Go() {
  if (running_) return;
  // The directory fields ask their question once per edit: here, unless already asked.
  if (!html_into_image_->isChecked()) html_dir_->Normalize();
  if (all_thumbnails_dir_->HasPendingEdit()) all_thumbnails_dir_->Normalize();
  RunEnvironment environment;
  environment.ask = [](const std::string&) { return false; };  // asked above
  environment.imaging = imaging_;
  GenerationRun run(CurrentSettings(), environment);
  GenerationRun::Start start = GenerationRun::Start::NothingToDo;
  if (!Guarded([&] { start = run.StartRun(); })) return;
  // The run may have normalised the HTML directory; the field shows what was used.
  html_dir_->SetText(Q(run.settings().Output.HTMLDirectory));
  settings_.Output.HTMLDirectory = run.settings().Output.HTMLDirectory;
  if (start == GenerationRun::Start::NothingToDo) {
    QString message = settings_.Output.Directories.empty() ? kEmptyListMessage : kNoImagesMessage;
    if (const std::string skipped = SkippedPhotosLine(run.summary().skipped); !skipped.empty()) {
      message += "\n\n" + Q(skipped) + QStringLiteral("; %1 includes them.").arg(kWebGalleryOption);
    }
    Inform(message);
    return;
  }
  running_ = true;
  const auto modal = [this](ProgressWindow& window) {
    active_progress_ = &window;
    const int result =
        options_.prompts.run_progress ? options_.prompts.run_progress(window) : window.exec();
    active_progress_ = nullptr;
    return result;
  };
  ProgressWindow::Execute(run, this, modal);
  running_ = false;
  if (!closing_) ShowRunSummary(run);
}

void MainWindow::ShowRunSummary(const GenerationRun& run) {
  RunSummaryWindow window(run.summary(), run.pages(), this);
  if (options_.prompts.show_summary) {
    options_.prompts.show_summary(window);
  } else {
    window.exec();
  }
}

void MainWindow::SaveStateCommand() {
  const auto name = options_.prompts.save_file
                        ? options_.prompts.save_file(this, {"Save state to...", Q(save_directory_)})
                        : std::nullopt;
  if (!name) return;
  Guarded([&] {
    persist::SaveState(CurrentSettings(), *name);
    config_.WriteString(keys::kDirs, keys::kMainWindowSave, DirectoryOf(*name));
    save_directory_ = DirectoryOf(*name);
    config_.WriteString(keys::kWindow, keys::kDefaultState, *name);
    default_state_ = *name;
  });
}

void MainWindow::LoadStateCommand() {
  const auto name =
      options_.prompts.open_file
          ? options_.prompts.open_file(this, {"Load state from...", Q(load_directory_)})
          : std::nullopt;
  if (!name || !LoadStateFile(*name)) return;
  Guarded([&] {
    config_.WriteString(keys::kDirs, keys::kMainWindowLoad, DirectoryOf(*name));
    load_directory_ = DirectoryOf(*name);
    config_.WriteString(keys::kWindow, keys::kDefaultState, *name);
    default_state_ = *name;
  });
}

bool MainWindow::LoadStateFile(const std::string& path) {
  return Guarded([&] {
    settings_ = persist::LoadState(path, CurrentSettings());
    ShowOutputSettings();
    dialogs_->ShowSettings();
  });
}

void MainWindow::ShowAbout() { about_->exec(); }

void MainWindow::OpenDialog(int kind) {
  const auto which = static_cast<PropertyDialogKind>(kind);
  if (dialogs_->Open(which) && which == PropertyDialogKind::Thumbnail) WriteImagingOptions();
}

void MainWindow::WriteImagingOptions() {
  Guarded([&] {
    config_.WriteBool(keys::kOptions, keys::kCameraOrientation, imaging_.apply_orientation);
    config_.WriteBool(keys::kOptions, keys::kColourProfile, imaging_.keep_color_profile);
    config_.WriteBool(keys::kOptions, keys::kFastMode, imaging_.fast);
    config_.WriteInt(keys::kOptions, keys::kJobs, imaging_.jobs);
  });
}

void MainWindow::SetStateLock(bool down) {
  Guarded([&] { config_.WriteBool(keys::kWindow, keys::kStateLock, down); });
}

}  // namespace quorvel::ui
