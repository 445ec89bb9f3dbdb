#include "ui/page_settings_editor.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "ui/background_image_box.h"
#include "ui/color_box.h"
#include "ui/widget_factory.h"

namespace quorvel::ui {
namespace {

struct ColorField {
  const char* label;
  const char* name;
  ColorValue PageSettings::*field;
};

constexpr ColorField kColorFields[] = {
    {"Background:", "HTMLBackgroundColorComboBox", &PageSettings::BackgroundColor},
    {"Text:", "HTMLTextColorComboBox", &PageSettings::TextColor},
    {"Hyperlink:", "HTMLHyperlinkColorComboBox", &PageSettings::HyperlinkColor},
    {"Visited Hyperlink:", "HTMLVisitedHyperlinkColorComboBox",
     &PageSettings::VisitedHyperlinkColor},
    {"Active Hyperlink:", "HTMLActiveHyperlinkColorComboBox", &PageSettings::ActiveHyperlinkColor},
};

QPlainTextEdit* Memo(const QString& name, QWidget* parent) {
  auto* memo = new QPlainTextEdit(parent);
  memo->setObjectName(name);
  memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo->setTabChangesFocus(true);
  return memo;
}

// A memo's text as lines and back: an empty memo has no lines, a final line break adds none.
Lines MemoLines(const QString& text) {
  Lines lines;
  if (text.isEmpty()) return lines;
  for (const QString& line : text.split('\n')) lines.push_back(line.toStdString());
  if (text.endsWith('\n')) lines.pop_back();
  return lines;
}

QString MemoText(const Lines& lines) {
  QStringList list;
  for (const std::string& line : lines) list << QString::fromStdString(line);
  return list.join('\n');
}

}  // namespace

PageSettingsEditor::PageSettingsEditor(html::SharedCustomColor& custom, const Choosers& choosers,
                                       QWidget* parent)
    : QObject(parent) {
  title_row_ = new QWidget(parent);
  auto* title_layout = new QHBoxLayout(title_row_);
  title_layout->setContentsMargins(0, 0, 0, 0);
  title_ = NamedEdit("HTMLTitleEdit", {}, title_row_);
  auto* title_label = new QLabel("Title:", title_row_);
  title_label->setBuddy(title_);
  title_layout->addWidget(title_label);
  title_layout->addWidget(title_, 1);

  background_ = new QGroupBox(" Background ", parent);
  auto* grid = new QGridLayout(background_);
  Tighten(grid);
  image_ = new BackgroundImageBox("HTMLBackgroundImageCheckBox", "HTMLBackgroundImageEdit",
                                  choosers, grid, 0, background_);
  int row = 2;
  for (std::size_t i = 0; i < std::size(kColorFields); ++i) {
    colors_[i] = new ColorBox(custom, choosers, background_);
    colors_[i]->setObjectName(kColorFields[i].name);
    auto* label = new QLabel(kColorFields[i].label, background_);
    label->setBuddy(colors_[i]);
    grid->addWidget(label, row, 0);
    grid->addWidget(colors_[i], row++, 1);
  }
  grid->setRowStretch(row, 1);

  tags_ = new QGroupBox(" Custom HTML Tags ", parent);
  auto* tags_layout = new QVBoxLayout(tags_);
  Tighten(tags_layout);
  top_ = Memo("HTMLTopMemo", tags_);
  bottom_ = Memo("HTMLBottomMemo", tags_);
  for (const auto& [label, memo] : {std::pair{"On the Top of the Page:", top_},
                                    std::pair{"On the Bottom of the Page:", bottom_}}) {
    auto* caption = new QLabel(label, tags_);
    caption->setBuddy(memo);
    tags_layout->addWidget(caption);
    tags_layout->addWidget(memo, 1);
  }
}

void PageSettingsEditor::Show(const PageSettings& page) {
  title_->setText(QString::fromStdString(page.Title));
  image_->Show(page.UseBackgroundImage, page.BackgroundImage);
  for (std::size_t i = 0; i < std::size(kColorFields); ++i) {
    colors_[i]->SetValue(page.*kColorFields[i].field);
  }
  top_->setPlainText(MemoText(page.TopHTML));
  bottom_->setPlainText(MemoText(page.BottomHTML));
}

PageSettings PageSettingsEditor::Read() const {
  PageSettings page;
  page.Title = title_->text().toStdString();
  page.UseBackgroundImage = image_->Use();
  page.BackgroundImage = image_->Path();
  for (std::size_t i = 0; i < std::size(kColorFields); ++i) {
    page.*kColorFields[i].field = colors_[i]->Value();
  }
  page.TopHTML = MemoLines(top_->toPlainText());
  page.BottomHTML = MemoLines(bottom_->toPlainText());
  return page;
}

void PageSettingsEditor::SetVisible(bool visible) {
  title_row_->setVisible(visible);
  background_->setVisible(visible);
  tags_->setVisible(visible);
}

}  // namespace quorvel::ui
