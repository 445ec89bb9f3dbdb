// "Table properties": alignment, border, padding and spacing of the thumbnail table, its
// three border colours and its background.
#pragma once

#include "html/color_box_model.h"
#include "ui/choosers.h"
#include "ui/property_dialog.h"

class QComboBox;
class QSpinBox;

namespace quorvel::ui {

class BackgroundImageBox;
class ColorBox;

class TablePropertiesDialog : public PropertyDialog {
  Q_OBJECT
 public:
  TablePropertiesDialog(GallerySettings& settings, html::SharedCustomColor& custom,
                        const Choosers& choosers, QWidget* parent);

  void ShowValues() override;

 protected:
  void StoreValues() override;

 private:
  QComboBox* alignment_;
  QSpinBox* border_;
  QSpinBox* padding_;
  QSpinBox* spacing_;
  ColorBox* border_color_;
  ColorBox* light_border_color_;
  ColorBox* dark_border_color_;
  BackgroundImageBox* image_;
  ColorBox* background_color_;
};

}  // namespace quorvel::ui
