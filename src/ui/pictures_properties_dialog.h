// "Pictures properties": the target frame of the thumbnail links and the optional page made
// for each picture, with its own title, background, colours and custom HTML. The dialog shows
// the page settings only while "Create HTML Code for Each Image" is ticked, and changes its
// size with it.
#pragma once

#include "html/color_box_model.h"
#include "ui/choosers.h"
#include "ui/property_dialog.h"

class QCheckBox;
class QComboBox;

namespace quorvel::ui {

class PageSettingsEditor;

// The check box of the web-ready set, as other windows name it.
inline constexpr char kWebGalleryText[] = "Make a Web Gallery for Phones and Publishing";
inline constexpr char kWebGalleryOption[] =
    "\"Make a Web Gallery for Phones and Publishing\" in Pictures properties";

class PicturesPropertiesDialog : public PropertyDialog {
  Q_OBJECT
 public:
  PicturesPropertiesDialog(GallerySettings& settings, html::SharedCustomColor& custom,
                           const Choosers& choosers, QWidget* parent);

  void ShowValues() override;

 protected:
  void StoreValues() override;
  void AfterRestore() override;

 private:
  // The visible settings and the size follow the check box: each form as large as its
  // controls need and never smaller than its own minimum; the dialog is re-centred.
  void ApplyLayout();

  QComboBox* target_;
  QCheckBox* create_;
  QCheckBox* web_;  // the web-ready set, as quorvel-batch's --web
  PageSettingsEditor* page_;
};

}  // namespace quorvel::ui
