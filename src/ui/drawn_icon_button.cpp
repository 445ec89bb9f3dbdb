#include "ui/drawn_icon_button.h"

#include <QEvent>

namespace quorvel::ui {

DrawnIconButton::DrawnIconButton(Drawing drawing, QWidget* parent)
    : QToolButton(parent), drawing_(std::move(drawing)) {
  setIcon(drawing_(palette()));
}

void DrawnIconButton::changeEvent(QEvent* event) {
  QToolButton::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) setIcon(drawing_(palette()));
}

}  // namespace quorvel::ui
