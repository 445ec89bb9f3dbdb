#include "ui/labelled_rows.h"

#include "ui/color_box.h"
#include "ui/widget_factory.h"

namespace quorvel::ui {

LabelledRows::LabelledRows(QWidget* group) : group_(group), grid_(new QGridLayout(group)) {
  Tighten(grid_);
  grid_->setColumnStretch(1, 1);
}

int LabelledRows::Skip(int count) {
  const int first = row_;
  row_ += count;
  return first;
}

void LabelledRows::AddRow(const QString& label, QWidget* control) {
  auto* caption = new QLabel(label, group_);
  caption->setBuddy(control);
  grid_->addWidget(caption, row_, 0);
  grid_->addWidget(control, row_++, 1);
}

ColorBox* NamedColorBox(const QString& name, html::SharedCustomColor& custom,
                        const Choosers& choosers, QWidget* parent) {
  auto* box = new ColorBox(custom, choosers, parent);
  box->setObjectName(name);
  return box;
}

}  // namespace quorvel::ui
