#include "ui/html_properties_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QVBoxLayout>

#include "ui/page_settings_editor.h"

namespace quorvel::ui {

HtmlPropertiesDialog::HtmlPropertiesDialog(GallerySettings& settings,
                                           html::SharedCustomColor& custom,
                                           const Choosers& choosers, QWidget* parent)
    : PropertyDialog("HTML Properties", settings, parent) {
  page_ = new PageSettingsEditor(custom, choosers, this);
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  grid->addWidget(page_->TitleRow(), 0, 0, 1, 2);
  grid->addWidget(page_->BackgroundGroup(), 1, 0);
  grid->addWidget(page_->TagsGroup(), 1, 1);
  grid->setColumnStretch(1, 1);
  layout->addLayout(grid);
  AddButtons(layout);
  ShowValues();
  FixSize(LayoutSize(false).expandedTo(QSize(560, 0)));
}

void HtmlPropertiesDialog::ShowValues() { page_->Show(settings_.Page); }

void HtmlPropertiesDialog::StoreValues() { settings_.Page = page_->Read(); }

}  // namespace quorvel::ui
