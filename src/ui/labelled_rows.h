// Rows of "Label:" and control in a two-column grid, the shape of most dialog groups.
#pragma once

#include <QGridLayout>
#include <QLabel>

#include "html/color_box_model.h"
#include "ui/choosers.h"

namespace quorvel::ui {

class ColorBox;

class LabelledRows {
 public:
  // The grid becomes `group`'s layout.
  explicit LabelledRows(QWidget* group);

  // Adds a row and returns the control, labelled (with the label as its buddy).
  template <typename Control>
  Control* Add(const QString& label, Control* control) {
    AddRow(label, control);
    return control;
  }
  // Reserves `count` rows for someone else and returns the first.
  int Skip(int count);
  QGridLayout* Grid() const { return grid_; }

 private:
  void AddRow(const QString& label, QWidget* control);

  QWidget* group_;
  QGridLayout* grid_;
  int row_ = 0;
};

ColorBox* NamedColorBox(const QString& name, html::SharedCustomColor& custom,
                        const Choosers& choosers, QWidget* parent);

}  // namespace quorvel::ui
