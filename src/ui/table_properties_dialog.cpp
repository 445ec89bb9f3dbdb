#include "ui/table_properties_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include "ui/background_image_box.h"
#include "ui/color_box.h"
#include "ui/labelled_rows.h"
#include "ui/widget_factory.h"

namespace quorvel::ui {

TablePropertiesDialog::TablePropertiesDialog(GallerySettings& settings,
                                             html::SharedCustomColor& custom,
                                             const Choosers& choosers, QWidget* parent)
    : PropertyDialog("Table properties", settings, parent) {
  auto* layout = new QVBoxLayout(this);

  auto* group = new QGroupBox(" Layout ", this);
  LabelledRows rows(group);
  alignment_ = rows.Add("Aligment:", NamedComboBox("AligmentComboBox", kAlignmentItems, group));
  border_ = rows.Add("Border Size:",
                     NamedSpinBox<decltype(TableSettings::BorderSize)>("BorderSizeEdit", group));
  padding_ = rows.Add("Cell Padding:",
                      NamedSpinBox<decltype(TableSettings::CellPadding)>("CellPaddingEdit", group));
  spacing_ = rows.Add("Cell Spacing:",
                      NamedSpinBox<decltype(TableSettings::CellSpacing)>("CellSpacingEdit", group));
  layout->addWidget(group);

  group = new QGroupBox(" Custom colors ", this);
  LabelledRows colors(group);
  border_color_ =
      colors.Add("Border:", NamedColorBox("TableBorderColorComboBox", custom, choosers, group));
  light_border_color_ = colors.Add(
      "Light Border:", NamedColorBox("TableLightBorderColorComboBox", custom, choosers, group));
  dark_border_color_ = colors.Add(
      "Dark Border:", NamedColorBox("TableDarkBorderColorComboBox", custom, choosers, group));
  layout->addWidget(group);

  group = new QGroupBox(" Custom background ", this);
  LabelledRows background(group);
  image_ = new BackgroundImageBox("TableBackgroundImageCheckBox", "BackgroundImageEdit", choosers,
                                  background.Grid(), background.Skip(2), group);
  background_color_ = background.Add(
      "Background Color:", NamedColorBox("TableBackgroundColorComboBox", custom, choosers, group));
  layout->addWidget(group);

  AddButtons(layout);
  ShowValues();
  FixSize();
}

void TablePropertiesDialog::ShowValues() {
  const TableSettings& t = settings_.Table;
  alignment_->setCurrentIndex(t.Alignment);
  border_->setValue(t.BorderSize);
  padding_->setValue(t.CellPadding);
  spacing_->setValue(t.CellSpacing);
  border_color_->SetValue(t.BorderColor);
  light_border_color_->SetValue(t.LightBorderColor);
  dark_border_color_->SetValue(t.DarkBorderColor);
  image_->Show(t.UseBackgroundImage, t.BackgroundImage);
  background_color_->SetValue(t.BackgroundColor);
}

void TablePropertiesDialog::StoreValues() {
  TableSettings& t = settings_.Table;
  t.Alignment = alignment_->currentIndex();
  t.BorderSize = border_->value();
  t.CellPadding = padding_->value();
  t.CellSpacing = spacing_->value();
  t.BorderColor = border_color_->Value();
  t.LightBorderColor = light_border_color_->Value();
  t.DarkBorderColor = dark_border_color_->Value();
  t.UseBackgroundImage = image_->Use();
  t.BackgroundImage = image_->Path();
  t.BackgroundColor = background_color_->Value();
}

}  // namespace quorvel::ui
