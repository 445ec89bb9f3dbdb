// The main window's controls: three group boxes and a column of buttons, laid out inside the
// client area, which grows where a larger desktop font needs it so that every text is whole.
#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/directory_edit.h"
#include "ui/directory_list_box.h"
#include "ui/drawn_icon_button.h"
#include "ui/help_topics.h"
#include "ui/main_window.h"
#include "ui/property_dialogs.h"
#include "ui/widget_factory.h"

namespace quorvel::ui {
namespace {

template <typename Ranged>
QSpinBox* RangedSpin(const QString& name, const Ranged& value, QWidget* parent) {
  QSpinBox* spin = NamedSpinBox<Ranged>(name, parent);
  spin->setValue(value);
  return spin;
}

// A padlock: up, the shackle open, in the button's text colour; down, shut, in the selection's
// text colour on a square of the selection's colour. The two states cannot be mistaken
// whatever the style draws around the button, and both stand out in light and dark palettes.
QPixmap LockPixmap(bool down, const QPalette& palette) {
  const QColor ink = palette.color(down ? QPalette::HighlightedText : QPalette::ButtonText);
  const QColor ground = palette.color(down ? QPalette::Highlight : QPalette::Button);
  QPixmap pixmap(40, 40);  // drawn at twice the size, sharp on a screen scaled to 200 %
  pixmap.setDevicePixelRatio(2);
  pixmap.fill(down ? ground : QColor(Qt::transparent));
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(ink, 2));
  const qreal lift = down ? 0 : 3;
  p.drawArc(QRectF(6, 2 - lift, 8, 10), 0, 180 * 16);
  p.drawLine(QPointF(14, 7 - lift), QPointF(14, 9));
  if (down) p.drawLine(QPointF(6, 7), QPointF(6, 9));
  p.setPen(Qt::NoPen);
  p.setBrush(ink);
  p.drawRoundedRect(QRectF(3, 9, 14, 9), 2, 2);
  p.setBrush(ground);
  p.drawEllipse(QRectF(9, 12, 2.5, 2.5));
  return pixmap;
}

QIcon LockIcon(const QPalette& palette) {
  QIcon icon;
  icon.addPixmap(LockPixmap(false, palette), QIcon::Normal, QIcon::Off);
  icon.addPixmap(LockPixmap(true, palette), QIcon::Normal, QIcon::On);
  return icon;
}

}  // namespace

void MainWindow::BuildControls() {
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->setHorizontalSpacing(6);
  layout->setVerticalSpacing(4);
  layout->addWidget(BuildDirectoriesGroup(), 0, 0, 2, 1);
  layout->addWidget(BuildHtmlOutputGroup(), 0, 1);
  layout->addWidget(BuildOutputDirectoriesGroup(), 1, 1);
  layout->addWidget(BuildButtonColumn(), 0, 2, 2, 1);
  layout->setColumnStretch(0, 3);
  layout->setColumnStretch(1, 5);
  layout->setColumnStretch(2, 0);
  ConnectControls();
}

QWidget* MainWindow::BuildDirectoriesGroup() {
  auto* group = new QGroupBox(" Direcories List ", this);
  auto* layout = new QVBoxLayout(group);
  Tighten(layout);
  dir_list_ = new DirectoryListBox(group);
  dir_list_->setObjectName("DirListBox");
  dir_list_->setAccessibleName("Image directories");
  layout->addWidget(dir_list_, 1);
  auto* buttons = new QGridLayout;
  buttons->setSpacing(3);
  buttons->addWidget(NamedButton("AddDirBtn", "&Add", group), 0, 0);
  buttons->addWidget(NamedButton("RemoveDirBtn", "&Remove", group), 0, 1);
  buttons->addWidget(NamedButton("ClearBtn", "&Clear", group), 1, 0);
  buttons->addWidget(NamedButton("FilterBtn", "&Filter", group), 1, 1);
  auto* go = NamedButton("GoBtn", "&GO!", group);
  QFont bold = go->font();
  bold.setBold(true);
  go->setFont(bold);
  buttons->addWidget(go, 2, 0, 1, 2);
  layout->addLayout(buttons);
  return group;
}

QWidget* MainWindow::BuildHtmlOutputGroup() {
  const OutputSettings& out = settings_.Output;
  auto* group = new QGroupBox(" HTML output properties ", this);
  auto* layout = new QFormLayout(group);
  Tighten(layout);
  layout->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  row_edit_ = RangedSpin("ThumbnailRowEdit", out.ThumbnailsInRow, group);
  col_edit_ = RangedSpin("ThumbnailColEdit", out.ThumbnailsInColumn, group);
  layout->addRow("Thumbnails in a Row:", row_edit_);
  layout->addRow("Thumbnails in a Column:", col_edit_);
  // Made in the order they are laid out, which is the order Tab visits them.
  update_html_ = NamedCheckBox("UpdateHTMLCheckBox", "Update HTML With Existing Thumbnails", group);
  separate_html_ = NamedCheckBox("SeparateHTMLCheckBox", "Create Separate HTMLs", group);
  split_html_ = NamedCheckBox("SplitHTMLCheckBox", "Split HTMLs", group);
  new_html_ = NamedCheckBox("NewHTMLCheckBox", "Create New HTML for Each Directory", group);
  for (QCheckBox* box : {update_html_, separate_html_, split_html_, new_html_}) {
    layout->addRow(box);
  }
  html_mask_ = NamedEdit("HTMLMaskEdit", out.HTMLFileMask, group);
  html_name_ = NamedEdit("HTMLNameEdit", out.HTMLFileName, group);
  layout->addRow("HTML File's Mask:", html_mask_);
  layout->addRow("HTML File's Name:", html_name_);
  return group;
}

QWidget* MainWindow::BuildOutputDirectoriesGroup() {
  const OutputSettings& out = settings_.Output;
  auto* group = new QGroupBox(" Output Directories ", this);
  auto* layout = new QVBoxLayout(group);
  Tighten(layout);
  all_thumbnails_dir_ = new DirectoryEdit("AllThumbnailsDirectoryEdit", "Thumbnail directory",
                                          "Choose the thumbnail directory", group);
  thumbnail_dir_name_ = NamedEdit("ThumbnailDirectoryNameEdit", out.ThumbnailDirectoryName, group);
  thumbnail_dir_name_->setAccessibleName("Thumbnail sub-directory name");
  auto* thumbnail_row = new QHBoxLayout;
  thumbnail_row->addWidget(all_thumbnails_dir_, 3);
  thumbnail_row->addWidget(thumbnail_dir_name_, 1);
  auto* thumbnail_label = new QLabel("Thumbnail's Directory Name:", group);
  all_thumbnails_dir_->SetLabel(thumbnail_label);
  layout->addWidget(thumbnail_label);
  layout->addLayout(thumbnail_row);
  into_image_ = NamedCheckBox("IntoImageCheckBox", "Put Thumbnails Into Image's Dirtectory", group);
  eliminate_ = NamedCheckBox("EliminateCheckBox", "Eliminate This Directory from the List", group);
  layout->addWidget(into_image_);
  layout->addWidget(eliminate_);
  html_dir_ = new DirectoryEdit("HTMLDirectoryEdit", "Directory for HTML output",
                                "Choose the directory for HTML output", group);
  auto* html_dir_label = new QLabel("Directory for HTML output:", group);
  html_dir_->SetLabel(html_dir_label);
  layout->addWidget(html_dir_label);
  layout->addWidget(html_dir_);
  html_into_image_ =
      NamedCheckBox("HTMLIntoImageCheckBox", "Put HTMLs Into Image's directory", group);
  layout->addWidget(html_into_image_);
  layout->addStretch(1);
  return group;
}

QWidget* MainWindow::BuildButtonColumn() {
  auto* column = new QWidget(this);
  auto* layout = new QVBoxLayout(column);
  layout->setContentsMargins(0, 6, 0, 0);
  layout->setSpacing(4);
  layout->addWidget(NamedButton("ThumbnailPropertiesBtn", "Th&umbnail properties", column));
  layout->addWidget(NamedButton("TablePropertiesBtn", "&Table properties", column));
  layout->addWidget(NamedButton("CellPropertiesBtn", "C&ell properties", column));
  layout->addWidget(NamedButton("TextPropertiesBtn", "&Text properties", column));
  layout->addWidget(NamedButton("HTMLPropertiesBtn", "&HTML properties", column));
  layout->addWidget(NamedButton("NavigatorPropertiesBtn", "&Navigator properties", column));
  layout->addWidget(NamedButton("PucturesPropertiesBtn", "&Pictures properties", column));
  layout->addSpacing(10);
  layout->addWidget(NamedButton("SaveBtn", "&Save state", column));
  layout->addWidget(NamedButton("LoadButton", "&Load state", column));
  layout->addStretch(1);
  lock_ = new DrawnIconButton(LockIcon, column);
  lock_->setObjectName("LockBtn");
  lock_->setAccessibleName("State lock");
  lock_->setCheckable(true);
  lock_->setToolTip("Down: the state saved or loaded last is loaded at every start");
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(lock_);
  bottom->addWidget(NamedButton("AboutBtn", "&About", column), 1);
  bottom->addWidget(WhatsThisButton("QuickHelpBtn", column));
  layout->addLayout(bottom);
  return column;
}

void MainWindow::ConnectControls() {
  const auto button = [this](const char* name) { return findChild<QAbstractButton*>(name); };
  connect(button("AddDirBtn"), &QAbstractButton::clicked, this, &MainWindow::AddDirectories);
  connect(button("RemoveDirBtn"), &QAbstractButton::clicked, this, &MainWindow::RemoveDirectories);
  connect(button("ClearBtn"), &QAbstractButton::clicked, this, &MainWindow::ClearDirectories);
  connect(button("FilterBtn"), &QAbstractButton::clicked, this, &MainWindow::FilterDirectories);
  connect(button("GoBtn"), &QAbstractButton::clicked, this, &MainWindow::Go);
  connect(button("SaveBtn"), &QAbstractButton::clicked, this, &MainWindow::SaveStateCommand);
  connect(button("LoadButton"), &QAbstractButton::clicked, this, &MainWindow::LoadStateCommand);
  connect(button("AboutBtn"), &QAbstractButton::clicked, this, &MainWindow::ShowAbout);
  connect(lock_, &QToolButton::clicked, this, &MainWindow::SetStateLock);
  connect(dir_list_, &DirectoryListBox::pathsDropped, this, &MainWindow::AddGivenPaths);

  connect(separate_html_, &QCheckBox::clicked, this, &MainWindow::ApplySeparateRule);
  connect(new_html_, &QCheckBox::clicked, this, &MainWindow::ApplySeparateRule);
  connect(split_html_, &QCheckBox::clicked, this, &MainWindow::ApplySplitRule);
  connect(into_image_, &QCheckBox::clicked, this, &MainWindow::ApplyIntoImageRule);
  connect(html_into_image_, &QCheckBox::clicked, this, &MainWindow::ApplyHtmlIntoImageRule);

  const std::pair<const char*, PropertyDialogKind> dialogs[] = {
      {"ThumbnailPropertiesBtn", PropertyDialogKind::Thumbnail},
      {"TablePropertiesBtn", PropertyDialogKind::Table},
      {"CellPropertiesBtn", PropertyDialogKind::Cell},
      {"TextPropertiesBtn", PropertyDialogKind::Text},
      {"HTMLPropertiesBtn", PropertyDialogKind::Html},
      {"NavigatorPropertiesBtn", PropertyDialogKind::Navigator},
      {"PucturesPropertiesBtn", PropertyDialogKind::Pictures}};
  for (const auto& [name, kind] : dialogs) {
    connect(button(name), &QAbstractButton::clicked, this,
            [this, kind = kind] { OpenDialog(static_cast<int>(kind)); });
  }

  for (DirectoryEdit* edit : {all_thumbnails_dir_, html_dir_}) {
    edit->SetNormalizer([this](const QString& text) { return NormalizeDirectory(text); });
    connect(edit, &DirectoryEdit::browseRequested, this, [this, edit] { BrowseInto(edit); });
  }
}

void MainWindow::ApplySeparateRule() {
  const bool separate = separate_html_->isChecked();
  html_mask_->setEnabled(separate);
  new_html_->setEnabled(separate);
  split_html_->setEnabled(separate);
  col_edit_->setEnabled(separate);
  html_name_->setEnabled(!separate);
}

void MainWindow::ApplySplitRule() { col_edit_->setEnabled(split_html_->isChecked()); }

void MainWindow::ApplyIntoImageRule() {
  const bool into = into_image_->isChecked();
  thumbnail_dir_name_->setEnabled(into);
  eliminate_->setEnabled(into);
  all_thumbnails_dir_->setEnabled(!into);
}

void MainWindow::ApplyHtmlIntoImageRule() { html_dir_->setEnabled(!html_into_image_->isChecked()); }

}  // namespace quorvel::ui
