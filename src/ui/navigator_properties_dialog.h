// "Navigator properties": whether split index pages print their navigator, and its style and
// alignment.
#pragma once

#include "html/color_box_model.h"
#include "ui/choosers.h"
#include "ui/property_dialog.h"

class QComboBox;

namespace quorvel::ui {

class TextBlockEditor;

class NavigatorPropertiesDialog : public PropertyDialog {
  Q_OBJECT
 public:
  NavigatorPropertiesDialog(GallerySettings& settings, html::SharedCustomColor& custom,
                            const Choosers& choosers, QWidget* parent);

  void ShowValues() override;

 protected:
  void StoreValues() override;

 private:
  TextBlockEditor* block_;
  QComboBox* alignment_;
};

}  // namespace quorvel::ui
