#include "ui/cell_properties_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QSpinBox>
#include <QVBoxLayout>
#include <limits>

#include "ui/background_image_box.h"
#include "ui/color_box.h"
#include "ui/labelled_rows.h"
#include "ui/widget_factory.h"

namespace quorvel::ui {
namespace {

// The cell sizes have no range: any 32-bit value is kept, and text that is no number is 0.
QSpinBox* SizeBox(const QString& name, QWidget* parent) {
  return NamedSpinBox(name, std::numeric_limits<int>::min(), std::numeric_limits<int>::max(),
                      parent, 0);
}

}  // namespace

CellPropertiesDialog::CellPropertiesDialog(GallerySettings& settings,
                                           html::SharedCustomColor& custom,
                                           const Choosers& choosers, QWidget* parent)
    : PropertyDialog("Cell properties", settings, parent) {
  auto* layout = new QVBoxLayout(this);

  auto* group = new QGroupBox(" Layout ", this);
  LabelledRows rows(group);
  horizontal_ = rows.Add("Horizontal Aligment:",
                         NamedComboBox("HorizontalAligmentComboBox", kAlignmentItems, group));
  vertical_ = rows.Add("Vertical Aligment:",
                       NamedComboBox("VerticalAligmentComboBox", kVerticalAlignmentItems, group));
  layout->addWidget(group);

  group = new QGroupBox(" Minimun size ", this);
  LabelledRows size(group);
  // Made row by row, the order Tab visits them.
  specify_width_ = NamedCheckBox("CellWidthCheckBox", "Specify Width:", group);
  width_ = SizeBox("CellWidthEdit", group);
  width_->setAccessibleName("Minimum cell width");
  specify_height_ = NamedCheckBox("CellHeightCheckBox", "Specify Height:", group);
  height_ = SizeBox("CellHeightEdit", group);
  height_->setAccessibleName("Minimum cell height");
  const int first = size.Skip(2);
  size.Grid()->addWidget(specify_width_, first, 0);
  size.Grid()->addWidget(width_, first, 1);
  size.Grid()->addWidget(specify_height_, first + 1, 0);
  size.Grid()->addWidget(height_, first + 1, 1);
  layout->addWidget(group);

  group = new QGroupBox(" Custom background ", this);
  LabelledRows background(group);
  image_ = new BackgroundImageBox("CellBackgroundImageCheckBox", "CellBackgroundImageEdit",
                                  choosers, background.Grid(), background.Skip(2), group);
  background_color_ = background.Add(
      "Background Color:", NamedColorBox("CellBackgroundColorComboBox", custom, choosers, group));
  layout->addWidget(group);

  AddButtons(layout);
  connect(specify_width_, &QCheckBox::toggled, this, &CellPropertiesDialog::ApplyEnabling);
  connect(specify_height_, &QCheckBox::toggled, this, &CellPropertiesDialog::ApplyEnabling);
  ShowValues();
  FixSize();
}

void CellPropertiesDialog::ShowValues() {
  const CellSettings& c = settings_.Cell;
  horizontal_->setCurrentIndex(c.HorizontalAlignment);
  vertical_->setCurrentIndex(c.VerticalAlignment);
  specify_width_->setChecked(c.SpecifyWidth);
  width_->setValue(c.CellWidth);
  specify_height_->setChecked(c.SpecifyHeight);
  height_->setValue(c.CellHeight);
  image_->Show(c.UseBackgroundImage, c.BackgroundImage);
  background_color_->SetValue(c.BackgroundColor);
  ApplyEnabling();
}

void CellPropertiesDialog::StoreValues() {
  CellSettings& c = settings_.Cell;
  c.HorizontalAlignment = horizontal_->currentIndex();
  c.VerticalAlignment = vertical_->currentIndex();
  c.SpecifyWidth = specify_width_->isChecked();
  c.CellWidth = width_->value();
  c.SpecifyHeight = specify_height_->isChecked();
  c.CellHeight = height_->value();
  c.UseBackgroundImage = image_->Use();
  c.BackgroundImage = image_->Path();
  c.BackgroundColor = background_color_->Value();
}

void CellPropertiesDialog::ApplyEnabling() {
  width_->setEnabled(specify_width_->isChecked());
  height_->setEnabled(specify_height_->isChecked());
}

}  // namespace quorvel::ui
