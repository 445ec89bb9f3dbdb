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
  block_->Show({n.Print, n.Italic, n.Bold, n.Font, n.Size, n.Color});
  alignment_->setCurrentIndex(n.Alignment);
}

void NavigatorPropertiesDialog::StoreValues() {
  const TextBlockSettings b = block_->Read();
  const int alignment = alignment_->currentIndex();
  settings_.Navigator = {b.Print, b.Italic, b.Bold, b.Font, b.Size, b.Color, alignment};
}

}  // namespace quorvel::ui
