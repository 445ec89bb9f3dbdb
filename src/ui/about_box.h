// The About box: a picture drawn by the program, the credits and a link to the web-site.
//
// API: AboutBox box(parent); box.exec();  (modal, centred on the screen, "&OK" closes it)
//      AboutBox::DrawPicture() gives the 452 x 165 picture on its own (also used for
//      screenshots); LinkLabel is the hover-blue link, its opener injectable for tests.
#pragma once

#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QUrl>
#include <functional>

class QPushButton;

namespace quorvel::ui {

// A label that turns blue under the mouse and opens its address on a left click.
class LinkLabel : public QLabel {
  Q_OBJECT
 public:
  using Opener = std::function<void(const QUrl&)>;

  LinkLabel(const QString& text, QUrl address, QWidget* parent = nullptr);
  void SetOpener(Opener opener) { opener_ = std::move(opener); }
  const QUrl& Address() const { return address_; }
  bool IsHighlighted() const { return highlighted_; }

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void SetHighlighted(bool on);

  QUrl address_;
  Opener opener_;
  bool highlighted_ = false;
};

class AboutBox : public QDialog {
  Q_OBJECT
 public:
  explicit AboutBox(QWidget* parent = nullptr);

  static QImage DrawPicture();
  static QString CreditsText();

  LinkLabel* WebSiteLink() const { return link_; }
  QPushButton* OkButton() const { return ok_button_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  LinkLabel* link_;
  QPushButton* ok_button_;
};

}  // namespace quorvel::ui
