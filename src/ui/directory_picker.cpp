// The directory picker over QFileSystemModel: directories only, hidden ones left out, the
// remembered directory selected on every opening. The tree sees only the model's name column,
// so that screen readers are offered the one column it shows, not the size, type and date.
#include "ui/directory_picker.h"

#include <QCheckBox>
#include <QDir>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include "job/directory_list.h"
#include "job/error.h"
#include "persist/config_file.h"
#include "platform/file_system.h"
#include "ui/window_placement.h"

namespace quorvel::ui {
namespace {

namespace keys = persist::config_keys;

constexpr int kClientWidth = 305;
constexpr int kClientHeight = 329;

std::string WithoutSlash(std::string path) {
  if (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::string WithSlash(std::string path) {
  if (path.empty() || path.back() != '/') path += '/';
  return path;
}

// The first column of a model, its rows in the model's own order.
class FirstColumn : public QSortFilterProxyModel {
 public:
  using QSortFilterProxyModel::QSortFilterProxyModel;

 protected:
  bool filterAcceptsColumn(int column, const QModelIndex&) const override { return column == 0; }
};

}  // namespace

QString NoSubDirectoriesQuestion(const std::string& dir) {
  const QString shown = QString::fromStdString(dir);
  return QStringLiteral("Nothing below \"%1\" was found to add. Do you want to add \"%1\" itself?")
      .arg(shown);
}

DirectoryPicker::DirectoryPicker(persist::ConfigFile& config, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      config_(config),
      model_(new QFileSystemModel(this)),
      names_(new FirstColumn(this)),
      tree_(new QTreeView(this)),
      sub_directories_check_(new QCheckBox(tr("Add All Sub Directories"), this)),
      ok_button_(new QPushButton(tr("&OK"), this)),
      cancel_button_(new QPushButton(tr("&Cancel"), this)) {
  setObjectName(QStringLiteral("DirectoryForm"));
  setWindowTitle(QStringLiteral("Directory"));
  setModal(true);
  setFixedSize(kClientWidth, kClientHeight);

  model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
  model_->setReadOnly(true);
  model_->setRootPath(QStringLiteral("/"));
  names_->setSourceModel(model_);
  tree_->setObjectName(QStringLiteral("DirTree"));
  tree_->setAccessibleName(tr("Directories"));
  tree_->setModel(names_);
  tree_->setHeaderHidden(true);
  tree_->setSelectionMode(QAbstractItemView::SingleSelection);
  tree_->setDragDropMode(QAbstractItemView::NoDragDrop);
  tree_->setAnimated(false);

  sub_directories_check_->setObjectName(QStringLiteral("SubDirectoriesCheck"));
  sub_directories_check_->setChecked(true);
  ok_button_->setObjectName(QStringLiteral("OKBtn"));
  ok_button_->setDefault(true);
  cancel_button_->setObjectName(QStringLiteral("CancelBtn"));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->addWidget(tree_, 1);
  layout->addWidget(sub_directories_check_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok_button_);
  buttons->addWidget(cancel_button_);
  layout->addLayout(buttons);

  connect(ok_button_, &QPushButton::clicked, this, &DirectoryPicker::accept);
  connect(cancel_button_, &QPushButton::clicked, this, &DirectoryPicker::reject);
  connect(tree_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &DirectoryPicker::UpdateOkButton);
  // The model reads and sorts directories in the background, moving rows after the selection
  // was made; keep the selection in view until the user moves around the tree.
  const auto follow = [this] {
    if (follow_selection_) QTimer::singleShot(0, this, &DirectoryPicker::KeepSelectionInView);
  };
  connect(model_, &QFileSystemModel::directoryLoaded, this, follow);
  connect(model_, &QFileSystemModel::layoutChanged, this, follow);
  connect(model_, &QFileSystemModel::rowsInserted, this, follow);
  const auto stopFollowing = [this] { follow_selection_ = false; };
  connect(tree_, &QTreeView::pressed, this, stopFollowing);
  connect(tree_, &QTreeView::expanded, this, stopFollowing);
  connect(tree_->verticalScrollBar(), &QScrollBar::actionTriggered, this, stopFollowing);

  remembered_ = config_.ReadString(keys::kDirs, keys::kDirectoryBox, persist::ProgramDirectory());
  PrepareToShow();

  search_runner_ = [this](const std::string& dir, OutputSettings& output) {
    return SearchingWindow::Walk(dir, output, this);
  };
  error_shower_ = [this](const QString& message) {
    QMessageBox::critical(this, QStringLiteral("Error"), message);
  };
  asker_ = [this](const QString& question) {
    return QMessageBox::question(this, QStringLiteral("Confirm"), question) == QMessageBox::Yes;
  };
}

std::string DirectoryPicker::SelectedPath() const {
  const QModelIndexList selected = tree_->selectionModel()->selectedRows();
  if (selected.isEmpty()) return {};
  return WithSlash(model_->filePath(names_->mapToSource(selected.first())).toStdString());
}

bool DirectoryPicker::SelectDirectory(const std::string& path) {
  if (path.empty() || !platform::DirectoryExists(path)) return false;
  const QString clean = QDir::cleanPath(QString::fromStdString(path));
  const QModelIndex index = names_->mapFromSource(model_->index(clean));
  if (!index.isValid()) return false;
  for (QModelIndex up = index.parent(); up.isValid(); up = up.parent()) tree_->expand(up);
  tree_->selectionModel()->setCurrentIndex(
      index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  tree_->scrollTo(index);
  follow_selection_ = true;  // the expansions above were ours, not the user's
  return true;
}

void DirectoryPicker::PrepareToShow() {
  // A remembered directory removed since falls back to the root of the tree.
  if (!SelectDirectory(remembered_)) {
    tree_->selectionModel()->clearSelection();
    SelectDirectory("/");
  }
  UpdateOkButton();
}

void DirectoryPicker::UpdateOkButton() {
  ok_button_->setEnabled(tree_->selectionModel()->hasSelection());
}

void DirectoryPicker::showEvent(QShowEvent* event) {
  CentreOnScreen(this);
  QDialog::showEvent(event);
  tree_->setFocus(Qt::ActiveWindowFocusReason);
  follow_selection_ = true;
  QTimer::singleShot(0, this, &DirectoryPicker::KeepSelectionInView);
}

void DirectoryPicker::KeepSelectionInView() {
  const QModelIndex current = tree_->currentIndex();
  if (current.isValid()) tree_->scrollTo(current, QAbstractItemView::PositionAtCenter);
}

int DirectoryPicker::RunModal() {
  PrepareToShow();
  return modal_runner_ ? modal_runner_(*this) : exec();
}

bool DirectoryPicker::AddDirectories(OutputSettings& output) {
  output_ = &output;
  sub_directories_check_->setVisible(true);
  const int result = RunModal();
  output_ = nullptr;
  return result == QDialog::Accepted;
}

std::optional<std::string> DirectoryPicker::Browse() {
  sub_directories_check_->setVisible(false);
  const int result = RunModal();
  sub_directories_check_->setVisible(true);
  if (result != QDialog::Accepted) return std::nullopt;
  return remembered_;
}

void DirectoryPicker::accept() {
  const std::string path = SelectedPath();
  if (path.empty()) return;
  try {
    config_.WriteString(keys::kDirs, keys::kDirectoryBox, path);
  } catch (const Error& e) {
    error_shower_(QString::fromStdString(e.what()));
    return;
  }
  remembered_ = path;
  // In browse mode the box is hidden and nothing is added, whatever its state.
  if (output_ != nullptr && !sub_directories_check_->isHidden()) {
    if (sub_directories_check_->isChecked()) {
      const std::size_t before = output_->Directories.size();
      const SearchingWindow::Outcome outcome = search_runner_(path, *output_);
      // A folder without sub-folders adds nothing by the walk's rule; say so and offer it.
      if (outcome == SearchingWindow::Outcome::Completed && output_->Directories.size() == before &&
          asker_ && asker_(NoSubDirectoriesQuestion(WithoutSlash(path)))) {
        AddPickedDirectory(*output_, path);
      }
    } else {
      AddPickedDirectory(*output_, path);
    }
  }
  QDialog::accept();
}

}  // namespace quorvel::ui
