// "HTML Properties": the index pages' title, background, colours and custom HTML.
#pragma once

#include "html/color_box_model.h"
#include "ui/choosers.h"
#include "ui/property_dialog.h"

namespace quorvel::ui {

class PageSettingsEditor;

class HtmlPropertiesDialog : public PropertyDialog {
  Q_OBJECT
 public:
  HtmlPropertiesDialog(GallerySettings& settings, html::SharedCustomColor& custom,
                       const Choosers& choosers, QWidget* parent);

  void ShowValues() override;

 protected:
  void StoreValues() override;

 private:
  PageSettingsEditor* page_;
};

}  // namespace quorvel::ui
