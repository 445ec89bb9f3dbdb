// What the window tests share: rows from tables, finding a control by its name and the
// screen's centre.
#pragma once

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <tuple>

#include "support/temp_dir.h"

namespace quorvel::testing {

// Qt Test rows from a table of tuples whose first element is the row's name: `_data()` calls
// Rows(table), the test takes its entry with Row(table).
template <typename T, std::size_t N>
void Rows(const T (&table)[N]) {
  QTest::addColumn<int>("row");
  for (std::size_t i = 0; i < N; ++i) QTest::newRow(std::get<0>(table[i])) << static_cast<int>(i);
}
template <typename T, std::size_t N>
const T& Row(const T (&table)[N]) {
  QFETCH(int, row);
  return table[row];
}

template <typename T = QWidget>
T* Find(const QObject* root, const QString& name) {
  T* child = root->findChild<T*>(name);
  if (child == nullptr) qFatal("no control %s", qPrintable(name));
  return child;
}

// Where the inside of a window of `size` sits when centred on the screen.
inline QPoint ScreenCentre(QSize size) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  return {area.left() + area.width() / 2 - size.width() / 2,
          area.top() + area.height() / 2 - size.height() / 2};
}

}  // namespace quorvel::testing
