// The program's principal window.
#pragma once

#include <QWidget>

namespace quorvel::ui {

class MainWindow : public QWidget {
  Q_OBJECT
 public:
  explicit MainWindow(QWidget* parent = nullptr);
};

}  // namespace quorvel::ui
