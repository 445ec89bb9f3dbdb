// The About box: a picture drawn by the program, the credits and a link to the web-site.
//
// API: AboutBox box(parent); box.exec();  (modal, centred on the screen, "&OK" closes it and
//      has the focus at every opening, so that Enter closes the box; the link is the
//      LinkLabel "WebSiteLabel", which Tab reaches)
#pragma once

#include <QDialog>

class QPushButton;

namespace quorvel::ui {

class AboutBox : public QDialog {
  Q_OBJECT
 public:
  explicit AboutBox(QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QPushButton* ok_button_;
};

}  // namespace quorvel::ui
