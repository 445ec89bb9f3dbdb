// A link drawn as a label (Arial, bold, hand cursor, transparent background): its text takes the
// palette's link colour while the mouse is over it (blue in a light palette) and the text
// colour otherwise (black), and a left click opens its address. It is also a link for the
// keyboard (Tab reaches it, Enter or Space opens it, the style draws its focus) and for screen
// readers (the role of a link, whose press action opens it).
#pragma once

#include <QLabel>
#include <QUrl>
#include <functional>

namespace quorvel::ui {

class LinkLabel : public QLabel {
  Q_OBJECT
 public:
  using Opener = std::function<void(const QUrl&)>;

  LinkLabel(const QString& text, QUrl address, QWidget* parent = nullptr);
  // The default opener hands the address to the desktop; tests give their own.
  void SetOpener(Opener opener) { opener_ = std::move(opener); }

 public slots:
  // Opens the address, as a click does.
  void Open();

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void SetHighlighted(bool on);

  QUrl address_;
  Opener opener_;
};

}  // namespace quorvel::ui
