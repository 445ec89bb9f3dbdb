// The About box: a picture drawn by the program, the credits and a link to the web-site.
//
// API: AboutBox box(parent); box.exec();  (modal, centred on the screen, "&OK" closes it; the
//      link is the LinkLabel "WebSiteLabel", reached by Tab before "&OK")
#pragma once

#include <QDialog>

namespace quorvel::ui {

class AboutBox : public QDialog {
  Q_OBJECT
 public:
  explicit AboutBox(QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;
};

}  // namespace quorvel::ui
