// "Cell properties": alignment of the thumbnails in their cells, the cells' minimum size and
// their background.
#pragma once

#include "html/color_box_model.h"
#include "ui/choosers.h"
#include "ui/property_dialog.h"

class QCheckBox;
class QComboBox;
class QSpinBox;

namespace quorvel::ui {

class BackgroundImageBox;
class ColorBox;

class CellPropertiesDialog : public PropertyDialog {
  Q_OBJECT
 public:
  CellPropertiesDialog(GallerySettings& settings, html::SharedCustomColor& custom,
                       const Choosers& choosers, QWidget* parent);

  void ShowValues() override;

 protected:
  void StoreValues() override;

 private:
  void ApplyEnabling();

  QComboBox* horizontal_;
  QComboBox* vertical_;
  QCheckBox* specify_width_;
  QSpinBox* width_;
  QCheckBox* specify_height_;
  QSpinBox* height_;
  BackgroundImageBox* image_;
  ColorBox* background_color_;
};

}  // namespace quorvel::ui
