#include "ui/navigator_properties_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/text_block_editor.h"
#include "ui/widget_factory.h"

namespace quorvel::ui {

NavigatorPropertiesDialog::NavigatorPropertiesDialog(GallerySettings& settings,
                                                     html::SharedCustomColor& custom,
                                                     const Choosers& choosers, QWidget* parent)
    : PropertyDialog("Navigator properties", settings, parent) {
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  grid->setColumnStretch(1, 1);
  block_ = new TextBlockEditor("Navigator", "Print Navigator", custom, choosers, grid, 0, this);
  alignment_ = NamedComboBox("NavigatorAligmentComboBox", kAlignmentItems, this);
  auto* caption = new QLabel("Aligment:", this);
  caption->setBuddy(alignment_);
  grid->addWidget(caption, block_->EndRow(), 0);
  grid->addWidget(alignment_, block_->EndRow(), 1);
  block_->AddDependent(caption);
  block_->AddDependent(alignment_);
  layout->addLayout(grid);
  AddButtons(layout);
  ShowValues();
  FixSize();
}

void NavigatorPropertiesDialog::ShowValues() {
  const NavigatorSettings& n = settings_.Navigator;
  block_->Show(n);
  alignment_->setCurrentIndex(n.Alignment);
}

void NavigatorPropertiesDialog::StoreValues() {
  NavigatorSettings& n = settings_.Navigator;
  static_cast<TextBlockSettings&>(n) = block_->Read();
  n.Alignment = alignment_->currentIndex();
}

}  // namespace quorvel::ui
