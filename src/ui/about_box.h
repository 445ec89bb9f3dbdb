// The About box: a picture drawn by the program, the credits and a link to the web-site.
//
// API: AboutBox box(parent); box.exec();  (modal, centred on the screen, "&OK" closes it)
//      LinkLabel is the hover-blue link, its opener injectable for tests.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QUrl>
#include <functional>

namespace quorvel::ui {

// A label that turns blue under the mouse and opens its address on a left click.
class LinkLabel : public QLabel {
  Q_OBJECT
 public:
  using Opener = std::function<void(const QUrl&)>;

  LinkLabel(const QString& text, QUrl address, QWidget* parent = nullptr);
  void SetOpener(Opener opener) { opener_ = std::move(opener); }

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void SetHighlighted(bool on);

  QUrl address_;
  Opener opener_;
};

class AboutBox : public QDialog {
  Q_OBJECT
 public:
  explicit AboutBox(QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;
};

}  // namespace quorvel::ui
