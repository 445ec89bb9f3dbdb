// The colour drop-down: the shared colour-box model drawn as swatches, "Default" giving -1 and
// "Custom" opening the colour picker preset to the colour every box shares.
#pragma once

#include <QComboBox>

#include "html/color_box_model.h"
#include "ui/choosers.h"

class QPainter;

namespace quorvel::ui {

// ColorValue 0x00BBGGRR as a Qt colour.
QColor ToQColor(ColorValue value);

// One entry as the list and the closed box draw it: the background, a swatch inset 2 pixels at
// left, top and bottom, 22 wide, outlined in `outline` and filled with `color` (or, for "Default",
// which is no colour, left empty and crossed), and the text from 28 pixels on.
struct ColorEntryLook {
  QColor background;
  QColor outline;
  QColor color;
  QColor text_color;
  QString text;
  bool crossed = false;
};
void DrawColorEntry(QPainter& painter, const QRect& item, const ColorEntryLook& look);

class ColorBox : public QComboBox {
  Q_OBJECT
  // The box's value as its user property, like the text of an edit.
  Q_PROPERTY(int value READ Value WRITE SetValue NOTIFY valueChanged USER true)

 public:
  // `custom` and `choosers` outlive the box.
  ColorBox(html::SharedCustomColor& custom, const Choosers& choosers, QWidget* parent = nullptr);

  ColorValue Value() const { return model_.Value(); }
  // The assignment rule of the model; the change notification follows when the value moved.
  void SetValue(ColorValue value);

  // The look of entry `entry`, selected or not, in this box's palette.
  ColorEntryLook Look(int entry, bool selected) const;

 signals:
  void valueChanged();
  // Raised after every choice in the list, whether or not the value moved.
  void picked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 private:
  void OnActivated(int entry);
  void RebuildEntries();
  void ShowSelection();

  html::ColorBoxModel model_;
  const Choosers& choosers_;
};

}  // namespace quorvel::ui
