// "Pictures properties": the target frame of the thumbnail links and the optional page made
// for each picture, with its own title, background, colours and custom HTML. The dialog shows
// the page settings only while "Create HTML Code for Each Image" is ticked, and changes its
// size with it.
#pragma once

#include "html/color_box_model.h"
#include "html/page_frame.h"
#include "ui/choosers.h"
#include "ui/property_dialog.h"

class QCheckBox;
class QComboBox;

namespace quorvel::ui {

class PageSettingsEditor;

class PicturesPropertiesDialog : public PropertyDialog {
  Q_OBJECT
 public:
  // The two forms' smallest sizes.
  static constexpr QSize kFullSize{640, 417};
  static constexpr QSize kShortSize{239, 116};

  PicturesPropertiesDialog(GallerySettings& settings, html::SharedCustomColor& custom,
                           const Choosers& choosers, QWidget* parent);

  void ShowValues() override;
  // The picture page frame as built at the last "&OK" with picture pages on.
  const html::PageFrame& Frame() const { return frame_; }

 protected:
  void StoreValues() override;
  void RebuildHtml() override;
  void AfterRestore() override;

 private:
  // The visible settings and the size follow the check box: each form as large as its
  // controls need and never smaller than its own minimum; the dialog is re-centred.
  void ApplyLayout();

  QComboBox* target_;
  QCheckBox* create_;
  PageSettingsEditor* page_;
  html::PageFrame frame_;
};

}  // namespace quorvel::ui
