#include "ui/widget_factory.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "ui/ranged_spin_box.h"

namespace quorvel::ui {

QPushButton* NamedButton(const QString& name, const QString& text, QWidget* parent) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(name);
  return button;
}

QCheckBox* NamedCheckBox(const QString& name, const QString& text, QWidget* parent) {
  auto* box = new QCheckBox(text, parent);
  box->setObjectName(name);
  return box;
}

QSpinBox* NamedSpinBox(const QString& name, int minimum, int maximum, QWidget* parent,
                       std::optional<int> fallback) {
  auto* spin = new RangedSpinBox(minimum, maximum, fallback.value_or(minimum), parent);
  spin->setObjectName(name);
  return spin;
}

QLineEdit* NamedEdit(const QString& name, const std::string& text, QWidget* parent) {
  auto* edit = new QLineEdit(QString::fromStdString(text), parent);
  edit->setObjectName(name);
  return edit;
}

QComboBox* NamedComboBox(const QString& name, const std::string_view* items, std::size_t count,
                         QWidget* parent) {
  auto* box = new QComboBox(parent);
  box->setObjectName(name);
  box->setEditable(false);
  for (std::size_t i = 0; i < count; ++i) {
    box->addItem(QString::fromUtf8(items[i].data(), static_cast<qsizetype>(items[i].size())));
  }
  box->setCurrentIndex(0);
  return box;
}

void Tighten(QLayout* layout) {
  layout->setContentsMargins(6, 4, 6, 4);
  layout->setSpacing(3);
}

}  // namespace quorvel::ui
