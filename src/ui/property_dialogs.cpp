#include "ui/property_dialogs.h"

#include "ui/cell_properties_dialog.h"
#include "ui/html_properties_dialog.h"
#include "ui/navigator_properties_dialog.h"
#include "ui/pictures_properties_dialog.h"
#include "ui/table_properties_dialog.h"
#include "ui/text_properties_dialog.h"
#include "ui/thumbnail_properties_dialog.h"

namespace quorvel::ui {

struct PropertyDialogs::Impl {
  html::SharedCustomColor custom;
  Choosers choosers = Choosers::Standard();
  ThumbnailPropertiesDialog* thumbnail;
  TablePropertiesDialog* table;
  CellPropertiesDialog* cell;
  TextPropertiesDialog* text;
  HtmlPropertiesDialog* html;
  NavigatorPropertiesDialog* navigator;
  PicturesPropertiesDialog* pictures;

  PropertyDialog* Get(PropertyDialogKind kind) const {
    switch (kind) {
      case PropertyDialogKind::Thumbnail:
        return thumbnail;
      case PropertyDialogKind::Table:
        return table;
      case PropertyDialogKind::Cell:
        return cell;
      case PropertyDialogKind::Text:
        return text;
      case PropertyDialogKind::Html:
        return html;
      case PropertyDialogKind::Navigator:
        return navigator;
      case PropertyDialogKind::Pictures:
        return pictures;
    }
    return nullptr;
  }
};

PropertyDialogs::PropertyDialogs(GallerySettings& settings, ImagingOptions& imaging,
                                 QWidget* parent)
    : impl_(std::make_unique<Impl>()) {
  Impl& d = *impl_;
  d.thumbnail = new ThumbnailPropertiesDialog(settings, imaging, parent);
  d.table = new TablePropertiesDialog(settings, d.custom, d.choosers, parent);
  d.cell = new CellPropertiesDialog(settings, d.custom, d.choosers, parent);
  d.text = new TextPropertiesDialog(settings, d.custom, d.choosers, parent);
  d.html = new HtmlPropertiesDialog(settings, d.custom, d.choosers, parent);
  d.navigator = new NavigatorPropertiesDialog(settings, d.custom, d.choosers, parent);
  d.pictures = new PicturesPropertiesDialog(settings, d.custom, d.choosers, parent);
}

PropertyDialogs::~PropertyDialogs() = default;

QDialog* PropertyDialogs::Dialog(PropertyDialogKind kind) const { return impl_->Get(kind); }

bool PropertyDialogs::Open(PropertyDialogKind kind) {
  return impl_->Get(kind)->exec() == QDialog::Accepted;
}

void PropertyDialogs::ShowSettings() {
  for (int kind = 0; kind <= static_cast<int>(PropertyDialogKind::Pictures); ++kind) {
    PropertyDialog* dialog = impl_->Get(static_cast<PropertyDialogKind>(kind));
    dialog->ShowValues();
    dialog->Commit();
  }
}

Choosers& PropertyDialogs::Pickers() { return impl_->choosers; }

}  // namespace quorvel::ui
