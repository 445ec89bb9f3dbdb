// The controls of one styled text block: a print check box enabling "Italic", "Bold", "Font:",
// "Size:" and "Color:", which keep their values while disabled. Used for the image name and
// size captions and for the navigator.
#pragma once

#include <QObject>
#include <QWidgetList>

#include "html/color_box_model.h"
#include "job/gallery_settings.h"
#include "ui/choosers.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QWidget;

namespace quorvel::ui {

class ColorBox;

class TextBlockEditor : public QObject {
  Q_OBJECT
 public:
  // Object names are `prefix` + "CheckBox", "ItalicCheckBox", "BoldCheckBox", "FontComboBox",
  // "SizeComboBox" and "ColorComboBox". Rows from `row` on of the two-column `grid`.
  TextBlockEditor(const QString& prefix, const QString& printText, html::SharedCustomColor& custom,
                  const Choosers& choosers, QGridLayout* grid, int row, QWidget* parent);

  void Show(const TextBlockSettings& block);
  TextBlockSettings Read() const;
  // The next free row of the grid.
  int EndRow() const { return end_row_; }
  // Another control that the print check box enables (the navigator's alignment).
  void AddDependent(QWidget* widget);

 private:
  void ApplyEnabling();

  QCheckBox* print_;
  QCheckBox* italic_;
  QCheckBox* bold_;
  QComboBox* font_;
  QComboBox* size_;
  ColorBox* color_;
  QWidgetList dependents_;
  int end_row_;
};

}  // namespace quorvel::ui
