#include "ui/ranged_spin_box.h"

#include <algorithm>
#include <string>

#include "job/gallery_settings.h"

namespace quorvel::ui {
namespace {

// Whether the core's editor parser reads `text` as a number rather than as its fallback:
// with two different fallbacks only a number gives the same result twice.
bool IsNumber(const QString& text) {
  const std::string bytes = text.toStdString();
  return ParseEditorInteger(bytes, 0) == ParseEditorInteger(bytes, 1);
}

}  // namespace

RangedSpinBox::RangedSpinBox(int minimum, int maximum, int fallback, QWidget* parent)
    : QSpinBox(parent), fallback_(fallback) {
  setRange(minimum, maximum);
}

int RangedSpinBox::ReadText(const QString& text) const {
  return std::clamp(ParseEditorInteger(text.toStdString(), fallback_), minimum(), maximum());
}

QValidator::State RangedSpinBox::validate(QString& text, int&) const {
  // Anything may be typed; only a number inside the range is taken while typing.
  if (!IsNumber(text)) return QValidator::Intermediate;
  const int value = ParseEditorInteger(text.toStdString(), fallback_);
  return value >= minimum() && value <= maximum() ? QValidator::Acceptable
                                                  : QValidator::Intermediate;
}

void RangedSpinBox::fixup(QString& text) const { text = textFromValue(ReadText(text)); }

int RangedSpinBox::valueFromText(const QString& text) const { return ReadText(text); }

}  // namespace quorvel::ui
