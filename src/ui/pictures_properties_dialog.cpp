#include "ui/pictures_properties_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "core/path_style.h"
#include "html/picture_page.h"
#include "ui/page_settings_editor.h"
#include "ui/widget_factory.h"

namespace quorvel::ui {

PicturesPropertiesDialog::PicturesPropertiesDialog(GallerySettings& settings,
                                                   html::SharedCustomColor& custom,
                                                   const Choosers& choosers, QWidget* parent)
    : PropertyDialog("Pictures properties", settings, parent) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);

  auto* left = new QVBoxLayout;
  auto* url = new QGroupBox(" URL Options ", this);
  auto* url_layout = new QHBoxLayout(url);
  Tighten(url_layout);
  target_ = NamedComboBox("WhereToOpenComboBox", kTargetFrameItems, url);
  auto* caption = new QLabel("Target Frame:", url);
  caption->setBuddy(target_);
  url_layout->addWidget(caption);
  url_layout->addWidget(target_, 1);
  left->addWidget(url);
  create_ = NamedCheckBox("CreateHTMLCheckBox", "Create HTML Code for Each Image", this);
  left->addWidget(create_);
  left->addStretch(1);
  AddButtons(left);
  layout->addLayout(left);

  page_ = new PageSettingsEditor(custom, choosers, this);
  auto* middle = new QVBoxLayout;
  middle->addWidget(page_->TitleRow());
  middle->addWidget(page_->BackgroundGroup(), 1);
  layout->addLayout(middle, 1);
  layout->addWidget(page_->TagsGroup(), 1);

  connect(create_, &QCheckBox::clicked, this, &PicturesPropertiesDialog::ApplyLayout);
  ShowValues();
  RebuildHtml();
}

void PicturesPropertiesDialog::ShowValues() {
  const PictureSettings& p = settings_.Picture;
  target_->setCurrentIndex(p.TargetFrame);
  create_->setChecked(p.CreatePicturePages);
  page_->Show(p.PicturePage);
  ApplyLayout();
}

void PicturesPropertiesDialog::StoreValues() {
  PictureSettings& p = settings_.Picture;
  p.TargetFrame = target_->currentIndex();
  p.CreatePicturePages = create_->isChecked();
  p.PicturePage = page_->Read();
}

void PicturesPropertiesDialog::RebuildHtml() {
  if (settings_.Picture.CreatePicturePages) {
    frame_ = html::BuildPicturePageFrame(settings_.Picture, {}, kNativePathStyle);
  }
}

void PicturesPropertiesDialog::AfterRestore() { ApplyLayout(); }

void PicturesPropertiesDialog::ApplyLayout() {
  const bool full = create_->isChecked();
  page_->SetVisible(full);
  FixSize(full ? kFullSize : kShortSize);
}

}  // namespace quorvel::ui
