// The integer editor of every ranged setting: any text may be typed, and when editing ends a
// text that is not a number reads as the fallback (the lower end of the range, or 0 for the
// unranged cell sizes) while a number outside the range is clamped into it.
#pragma once

#include <QSpinBox>

namespace quorvel::ui {

class RangedSpinBox : public QSpinBox {
  Q_OBJECT
 public:
  RangedSpinBox(int minimum, int maximum, int fallback, QWidget* parent = nullptr);

 protected:
  QValidator::State validate(QString& text, int& pos) const override;
  void fixup(QString& text) const override;
  int valueFromText(const QString& text) const override;

 private:
  // What `text` reads as in this editor.
  int ReadText(const QString& text) const;

  int fallback_;
};

}  // namespace quorvel::ui
