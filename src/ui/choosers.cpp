#include "ui/choosers.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>

namespace quorvel::ui {
namespace {

std::optional<QString> ChoosePicture(QWidget* parent, const QString& current) {
  const QFileInfo info(current);
  const QString start = current.isEmpty() ? QString() : info.absolutePath();
  const QString chosen =
      QFileDialog::getOpenFileName(parent, "Select picture", start, PictureFileFilter(), nullptr,
                                   QFileDialog::DontUseNativeDialog);
  if (chosen.isEmpty()) return std::nullopt;
  return chosen;
}

std::optional<ColorValue> ChooseColor(QWidget* parent, ColorValue initial) {
  const QColor start(initial & 0xFF, (initial >> 8) & 0xFF, (initial >> 16) & 0xFF);
  const QColor picked = QColorDialog::getColor(start, parent);
  if (!picked.isValid()) return std::nullopt;
  return static_cast<ColorValue>(picked.red() | (picked.green() << 8) | (picked.blue() << 16));
}

}  // namespace

Choosers Choosers::Standard() { return Choosers{ChoosePicture, ChooseColor}; }

QString PictureFileFilter() {
  // Qt separates the patterns of one type by spaces.
  return "JPEG Image File (*.jpg);;JPEG Image File (*.jpeg);;CompuServe GIF Image (*.gif);;"
         "All (*.gif *.jpg *.jpeg)";
}

}  // namespace quorvel::ui
