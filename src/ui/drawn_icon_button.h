// A tool button whose icon is drawn from its palette, and drawn again whenever the palette
// changes (a dark desktop theme, say), so that the icon keeps its contrast with the button.
#pragma once

#include <QIcon>
#include <QPalette>
#include <QToolButton>
#include <functional>

namespace quorvel::ui {

class DrawnIconButton : public QToolButton {
  Q_OBJECT
 public:
  using Drawing = std::function<QIcon(const QPalette&)>;

  DrawnIconButton(Drawing drawing, QWidget* parent = nullptr);

 protected:
  void changeEvent(QEvent* event) override;

 private:
  Drawing drawing_;
};

}  // namespace quorvel::ui
