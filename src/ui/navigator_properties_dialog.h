// "Navigator properties": whether split index pages print their navigator, and its style and
// alignment; "&OK" rebuilds the wrapper kept beside them.
#pragma once

#include "html/color_box_model.h"
#include "html/navigator.h"
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
  // The navigator wrapper as built at the last "&OK" (or at creation, or after a state load).
  const html::NavigatorWrapper& Wrapper() const { return wrapper_; }

 protected:
  void StoreValues() override;
  void RebuildHtml() override;

 private:
  TextBlockEditor* block_;
  QComboBox* alignment_;
  html::NavigatorWrapper wrapper_;
};

}  // namespace quorvel::ui
