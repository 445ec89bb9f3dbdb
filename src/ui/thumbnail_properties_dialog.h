// "Thumbnail properties": JPEG quality (the slider rules, the box follows), grayscale, the
// thumbnail name mask and size, and the preferences kept outside state files: the two for source
// images, fast mode and the number of thumbnail workers.
#pragma once

#include "run/generation_run.h"
#include "ui/property_dialog.h"

class QCheckBox;
class QLineEdit;
class QSlider;
class QSpinBox;

namespace quorvel::ui {

class ThumbnailPropertiesDialog : public PropertyDialog {
  Q_OBJECT
 public:
  ThumbnailPropertiesDialog(GallerySettings& settings, ImagingOptions& imaging, QWidget* parent);

  void ShowValues() override;

 protected:
  void StoreValues() override;

 private:
  ImagingOptions& imaging_;
  QSlider* compression_;
  QSpinBox* quality_;
  QCheckBox* grayscale_;
  QLineEdit* mask_;
  QSpinBox* width_;
  QSpinBox* height_;
  QCheckBox* orientation_;
  QCheckBox* profile_;
  QCheckBox* fast_;
  QSpinBox* workers_;
};

}  // namespace quorvel::ui
