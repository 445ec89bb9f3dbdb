#include "ui/main_window.h"

namespace quorvel::ui {

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {}

}  // namespace quorvel::ui
