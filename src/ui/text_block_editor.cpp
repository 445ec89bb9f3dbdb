#include "ui/text_block_editor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

#include "ui/color_box.h"
#include "ui/widget_factory.h"

namespace quorvel::ui {

TextBlockEditor::TextBlockEditor(const QString& prefix, const QString& printText,
                                 html::SharedCustomColor& custom, const Choosers& choosers,
                                 QGridLayout* grid, int row, QWidget* parent)
    : QObject(parent) {
  print_ = NamedCheckBox(prefix + "CheckBox", printText, parent);
  italic_ = NamedCheckBox(prefix + "ItalicCheckBox", "Italic", parent);
  bold_ = NamedCheckBox(prefix + "BoldCheckBox", "Bold", parent);
  font_ = NamedComboBox(prefix + "FontComboBox", kFontItems, parent);
  size_ = NamedComboBox(prefix + "SizeComboBox", kSizeItems, parent);
  color_ = new ColorBox(custom, choosers, parent);
  color_->setObjectName(prefix + "ColorComboBox");

  grid->addWidget(print_, row++, 0, 1, 2);
  auto* styles = new QHBoxLayout;
  styles->addWidget(italic_);
  styles->addWidget(bold_);
  styles->addStretch(1);
  grid->addLayout(styles, row++, 0, 1, 2);
  const std::pair<const char*, QWidget*> fields[] = {
      {"Font:", font_}, {"Size:", size_}, {"Color:", color_}};
  for (const auto& [label, field] : fields) {
    auto* caption = new QLabel(label, parent);
    caption->setBuddy(field);
    grid->addWidget(caption, row, 0);
    grid->addWidget(field, row++, 1);
    dependents_ << caption;
  }
  dependents_ << italic_ << bold_ << font_ << size_ << color_;
  end_row_ = row;
  connect(print_, &QCheckBox::toggled, this, &TextBlockEditor::ApplyEnabling);
  ApplyEnabling();
}

void TextBlockEditor::Show(const TextBlockSettings& block) {
  print_->setChecked(block.Print);
  italic_->setChecked(block.Italic);
  bold_->setChecked(block.Bold);
  font_->setCurrentIndex(block.Font);
  size_->setCurrentIndex(block.Size);
  color_->SetValue(block.Color);
  ApplyEnabling();
}

TextBlockSettings TextBlockEditor::Read() const {
  TextBlockSettings block;
  block.Print = print_->isChecked();
  block.Italic = italic_->isChecked();
  block.Bold = bold_->isChecked();
  block.Font = font_->currentIndex();
  block.Size = size_->currentIndex();
  block.Color = color_->Value();
  return block;
}

void TextBlockEditor::AddDependent(QWidget* widget) {
  dependents_ << widget;
  ApplyEnabling();
}

void TextBlockEditor::ApplyEnabling() {
  for (QWidget* widget : dependents_) widget->setEnabled(print_->isChecked());
}

}  // namespace quorvel::ui
