// Small constructors of named controls: every control the help ids and tests refer to is
// found by its object name, so each is made with one.
#pragma once

#include <QString>
#include <array>
#include <optional>
#include <string>
#include <string_view>

class QCheckBox;
class QComboBox;
class QLayout;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QWidget;

namespace quorvel::ui {

QPushButton* NamedButton(const QString& name, const QString& text, QWidget* parent);
QCheckBox* NamedCheckBox(const QString& name, const QString& text, QWidget* parent);
// A ranged integer editor: text that is not a number reads as `fallback` (else `minimum`).
QSpinBox* NamedSpinBox(const QString& name, int minimum, int maximum, QWidget* parent,
                       std::optional<int> fallback = std::nullopt);
// The editor of a RangedInt setting, its range taken from the setting's type.
template <typename Ranged>
QSpinBox* NamedSpinBox(const QString& name, QWidget* parent) {
  return NamedSpinBox(name, Ranged::kMin, Ranged::kMax, parent);
}
QLineEdit* NamedEdit(const QString& name, const std::string& text, QWidget* parent);
// A drop-down list without typing, holding `items` in order.
QComboBox* NamedComboBox(const QString& name, const std::string_view* items, std::size_t count,
                         QWidget* parent);

template <std::size_t N>
QComboBox* NamedComboBox(const QString& name, const std::array<std::string_view, N>& items,
                         QWidget* parent) {
  return NamedComboBox(name, items.data(), N, parent);
}

// The compact margins of the group boxes.
void Tighten(QLayout* layout);

}  // namespace quorvel::ui
