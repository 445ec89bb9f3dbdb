#include "ui/thumbnail_properties_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include "ui/widget_factory.h"

namespace quorvel::ui {
namespace {

QLabel* Caption(const QString& text, QWidget* buddy, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setBuddy(buddy);
  return label;
}

}  // namespace

ThumbnailPropertiesDialog::ThumbnailPropertiesDialog(GallerySettings& settings,
                                                     ImagingOptions& imaging, QWidget* parent)
    : PropertyDialog("Thumbnail properties", settings, parent), imaging_(imaging) {
  auto* layout = new QVBoxLayout(this);

  auto* jpeg = new QGroupBox(" JPEG setup ", this);
  auto* jpeg_grid = new QGridLayout(jpeg);
  Tighten(jpeg_grid);
  compression_ = new QSlider(Qt::Horizontal, jpeg);
  compression_->setObjectName("CompressionSlider");
  using Quality = decltype(ThumbnailSettings::Quality);
  compression_->setRange(Quality::kMin, Quality::kMax);
  compression_->setTickPosition(QSlider::TicksBelow);
  compression_->setTickInterval(10);
  compression_->setMinimumWidth(180);
  quality_ = NamedSpinBox<Quality>("QualitySpinEdit", jpeg);
  quality_->setAccessibleName("Quality");
  grayscale_ = NamedCheckBox("GrayscaleCheckBox", "Grayscale", jpeg);
  jpeg_grid->addWidget(Caption("Compression:", compression_, jpeg), 0, 0, 1, 3);
  jpeg_grid->addWidget(compression_, 1, 0, 1, 3);
  jpeg_grid->addWidget(quality_, 1, 3);
  jpeg_grid->addWidget(new QLabel("worst", jpeg), 2, 0, Qt::AlignLeft);
  jpeg_grid->addWidget(new QLabel("normal", jpeg), 2, 1, Qt::AlignHCenter);
  jpeg_grid->addWidget(new QLabel("best", jpeg), 2, 2, Qt::AlignRight);
  jpeg_grid->addWidget(grayscale_, 3, 0, 1, 4);
  layout->addWidget(jpeg);

  auto* image = new QGroupBox(" Thumbnail Image ", this);
  auto* image_grid = new QGridLayout(image);
  Tighten(image_grid);
  mask_ = NamedEdit("ThumbnailMaskEdit", {}, image);
  width_ = NamedSpinBox<decltype(ThumbnailSettings::ThumbnailWidth)>("ThumbnailXSizeEdit", image);
  height_ = NamedSpinBox<decltype(ThumbnailSettings::ThumbnailHeight)>("ThumbnailYSizeEdit", image);
  image_grid->addWidget(Caption("Thumbnail Image Name Mask:", mask_, image), 0, 0, 1, 2);
  image_grid->addWidget(mask_, 1, 0, 1, 2);
  image_grid->addWidget(Caption("Thumbnail's Width:", width_, image), 2, 0);
  image_grid->addWidget(width_, 2, 1);
  image_grid->addWidget(Caption("Thumbnail's Height:", height_, image), 3, 0);
  image_grid->addWidget(height_, 3, 1);
  layout->addWidget(image);

  auto* source = new QGroupBox(" Source Image ", this);
  auto* source_layout = new QVBoxLayout(source);
  Tighten(source_layout);
  orientation_ = NamedCheckBox("OrientationCheckBox", "Turn By Camera Orientation", source);
  profile_ = NamedCheckBox("ColourProfileCheckBox", "Keep Colour Profile", source);
  source_layout->addWidget(orientation_);
  source_layout->addWidget(profile_);
  layout->addWidget(source);

  auto* speed = new QGroupBox(" Speed ", this);
  auto* speed_grid = new QGridLayout(speed);
  Tighten(speed_grid);
  fast_ = NamedCheckBox("FastModeCheckBox", "Fast Mode (reduced decoding, not exact)", speed);
  workers_ =
      NamedSpinBox("WorkersSpinEdit", ImagingOptions::kMinJobs, ImagingOptions::kMaxJobs, speed);
  speed_grid->addWidget(fast_, 0, 0, 1, 2);
  speed_grid->addWidget(Caption("Thumbnail Workers:", workers_, speed), 1, 0);
  speed_grid->addWidget(workers_, 1, 1);
  layout->addWidget(speed);

  AddButtons(layout);
  connect(compression_, &QSlider::valueChanged, quality_, &QSpinBox::setValue);
  // Typing a quality moves the slider too, so that what the box shows is what OK keeps.
  connect(quality_, &QSpinBox::valueChanged, compression_, &QSlider::setValue);
  ShowValues();
  FixSize();
}

void ThumbnailPropertiesDialog::ShowValues() {
  const ThumbnailSettings& t = settings_.Thumbnail;
  compression_->setValue(t.Quality);
  quality_->setValue(compression_->value());
  grayscale_->setChecked(t.Grayscale);
  mask_->setText(QString::fromStdString(t.ThumbnailNameMask));
  width_->setValue(t.ThumbnailWidth);
  height_->setValue(t.ThumbnailHeight);
  orientation_->setChecked(imaging_.apply_orientation);
  profile_->setChecked(imaging_.keep_color_profile);
  fast_->setChecked(imaging_.fast);
  workers_->setValue(imaging_.jobs);
}

void ThumbnailPropertiesDialog::StoreValues() {
  ThumbnailSettings& t = settings_.Thumbnail;
  t.Quality = compression_->value();
  t.Grayscale = grayscale_->isChecked();
  t.ThumbnailNameMask = mask_->text().toStdString();
  t.ThumbnailWidth = width_->value();
  t.ThumbnailHeight = height_->value();
  imaging_.apply_orientation = orientation_->isChecked();
  imaging_.keep_color_profile = profile_->isChecked();
  imaging_.fast = fast_->isChecked();
  imaging_.jobs = workers_->value();
}

}  // namespace quorvel::ui
