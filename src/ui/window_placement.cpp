#include "ui/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace quorvel::ui {

void CentreOnScreen(QWidget* window) {
  // A dialog takes the screen of the window it belongs to; a window not yet shown has none.
  const QWidget* owner = window->parentWidget() ? window->parentWidget()->window() : window;
  const QScreen* screen = owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  // The window's own rectangle, not its frame's: the frame's size is unknown before the first
  // showing, and moving by the frame then made a window shown again open lower each time.
  window->setGeometry(QRect(QPoint(area.left() + area.width() / 2 - window->width() / 2,
                                   area.top() + area.height() / 2 - window->height() / 2),
                            window->size()));
}

}  // namespace quorvel::ui
