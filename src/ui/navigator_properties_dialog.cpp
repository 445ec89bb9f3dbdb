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
  RebuildHtml();
  FixSize();
}

void NavigatorPropertiesDialog::ShowValues() {
  const NavigatorSettings& n = settings_.Navigator;
  TextBlockSettings block;
  block.Print = n.Print;
  block.Italic = n.Italic;
  block.Bold = n.Bold;
  block.Font = n.Font;
  block.Size = n.Size;
  block.Color = n.Color;
  alignment_->setCurrentIndex(n.Alignment);
  block_->Show(block);
}

void NavigatorPropertiesDialog::StoreValues() {
  const TextBlockSettings block = block_->Read();
  NavigatorSettings& n = settings_.Navigator;
  n.Print = block.Print;
  n.Italic = block.Italic;
  n.Bold = block.Bold;
  n.Font = block.Font;
  n.Size = block.Size;
  n.Color = block.Color;
  n.Alignment = alignment_->currentIndex();
}

void NavigatorPropertiesDialog::RebuildHtml() {
  wrapper_ = html::BuildNavigatorWrapper(settings_.Navigator);
}

}  // namespace quorvel::ui
