#include "ui/text_properties_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/text_block_editor.h"
#include "ui/widget_factory.h"

namespace quorvel::ui {
namespace {

TextBlockEditor* BlockGroup(const QString& title, const QString& prefix, const QString& print,
                            html::SharedCustomColor& custom, const Choosers& choosers,
                            QBoxLayout* into, QWidget* parent) {
  auto* group = new QGroupBox(title, parent);
  auto* grid = new QGridLayout(group);
  Tighten(grid);
  grid->setColumnStretch(1, 1);
  into->addWidget(group);
  return new TextBlockEditor(prefix, print, custom, choosers, grid, 0, group);
}

}  // namespace

TextPropertiesDialog::TextPropertiesDialog(GallerySettings& settings,
                                           html::SharedCustomColor& custom,
                                           const Choosers& choosers, QWidget* parent)
    : PropertyDialog("Text properties", settings, parent) {
  auto* layout = new QVBoxLayout(this);
  auto* groups = new QHBoxLayout;
  name_ =
      BlockGroup(" Image name ", "FileName", "Print Image Name", custom, choosers, groups, this);
  size_ =
      BlockGroup(" Image size ", "FileSize", "Print Image Size", custom, choosers, groups, this);
  layout->addLayout(groups);
  AddButtons(layout);
  ShowValues();
  FixSize();
}

void TextPropertiesDialog::ShowValues() {
  name_->Show(settings_.Text.ImageName);
  size_->Show(settings_.Text.ImageSize);
}

void TextPropertiesDialog::StoreValues() {
  settings_.Text.ImageName = name_->Read();
  settings_.Text.ImageSize = size_->Read();
}

}  // namespace quorvel::ui
