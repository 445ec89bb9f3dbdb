// "HTML Properties": the index pages' title, background, colours and custom HTML; "&OK"
// rebuilds the page frame kept beside them.
#pragma once

#include "html/color_box_model.h"
#include "html/page_frame.h"
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
  // The index page frame as built at the last "&OK" (or at creation, or after a state load).
  const html::PageFrame& Frame() const { return frame_; }

 protected:
  void StoreValues() override;
  void RebuildHtml() override;

 private:
  PageSettingsEditor* page_;
  html::PageFrame frame_;
};

}  // namespace quorvel::ui
