#include "ui/pictures_properties_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/page_settings_editor.h"
#include "ui/widget_factory.h"

namespace quorvel::ui {
namespace {

// The two forms' smallest sizes.
constexpr QSize kFullSize{640, 417};
constexpr QSize kShortSize{239, 116};

}  // namespace

PicturesPropertiesDialog::PicturesPropertiesDialog(GallerySettings& settings,
                                                   html::SharedCustomColor& custom,
                                                   const Choosers& choosers, QWidget* parent)
    : PropertyDialog("Pictures properties", settings, parent) {
  // The URL options, the check box and the page title and background on the left, the custom
  // tags on the right (only in the full form), the buttons across the bottom.
  auto* layout = new QVBoxLayout(this);
  auto* columns = new QHBoxLayout;
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
  web_ = NamedCheckBox("WebGalleryCheckBox", kWebGalleryText, this);
  left->addWidget(web_);
  page_ = new PageSettingsEditor(custom, choosers, this);
  left->addWidget(page_->TitleRow());
  left->addWidget(page_->BackgroundGroup());
  left->addStretch(1);
  columns->addLayout(left);
  columns->addWidget(page_->TagsGroup(), 1);
  layout->addLayout(columns, 1);
  AddButtons(layout);

  connect(create_, &QCheckBox::clicked, this, &PicturesPropertiesDialog::ApplyLayout);
  ShowValues();
}

void PicturesPropertiesDialog::ShowValues() {
  const PictureSettings& p = settings_.Picture;
  target_->setCurrentIndex(p.TargetFrame);
  create_->setChecked(p.CreatePicturePages);
  web_->setChecked(IsWebReady(settings_.Web));
  page_->Show(p.PicturePage);
  ApplyLayout();
}

void PicturesPropertiesDialog::StoreValues() {
  PictureSettings& p = settings_.Picture;
  p.TargetFrame = target_->currentIndex();
  p.CreatePicturePages = create_->isChecked();
  p.PicturePage = page_->Read();
  // Parts set one by one (in a state file, by --set) stay as they are unless the box changes.
  if (web_->isChecked() != IsWebReady(settings_.Web)) SetWebReady(settings_.Web, web_->isChecked());
}

void PicturesPropertiesDialog::AfterRestore() { ApplyLayout(); }

void PicturesPropertiesDialog::ApplyLayout() {
  const bool full = create_->isChecked();
  page_->SetVisible(full);
  // The form's own size unless its controls need more room (longer texts, larger fonts).
  FixSize(LayoutSize(true).expandedTo(full ? kFullSize : kShortSize));
}

}  // namespace quorvel::ui
