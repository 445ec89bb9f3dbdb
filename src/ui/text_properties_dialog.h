// "Text properties": the style of the image name and the image size printed under each
// thumbnail.
#pragma once

#include "html/color_box_model.h"
#include "ui/choosers.h"
#include "ui/property_dialog.h"

namespace quorvel::ui {

class TextBlockEditor;

class TextPropertiesDialog : public PropertyDialog {
  Q_OBJECT
 public:
  TextPropertiesDialog(GallerySettings& settings, html::SharedCustomColor& custom,
                       const Choosers& choosers, QWidget* parent);

  void ShowValues() override;

 protected:
  void StoreValues() override;

 private:
  TextBlockEditor* name_;
  TextBlockEditor* size_;
};

}  // namespace quorvel::ui
