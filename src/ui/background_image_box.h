// "Use Background Image" with its path box and "..." button: the check box enables the other
// two; the button opens the picture-open dialog, whose choice replaces the path.
#pragma once

#include <QObject>
#include <string>

#include "ui/choosers.h"

class QCheckBox;
class QGridLayout;
class QLineEdit;
class QToolButton;
class QWidget;

namespace quorvel::ui {

class BackgroundImageBox : public QObject {
  Q_OBJECT
 public:
  // Puts the check box on `row` of the two-column `grid` and the path box with its button on
  // the next row.
  BackgroundImageBox(const QString& checkName, const QString& editName, const Choosers& choosers,
                     QGridLayout* grid, int row, QWidget* parent);

  void Show(bool use, const std::string& path);
  bool Use() const;
  std::string Path() const;

 private:
  void ApplyEnabling();
  void Browse();

  const Choosers& choosers_;
  QCheckBox* check_;
  QLineEdit* edit_;
  QToolButton* browse_;
};

}  // namespace quorvel::ui
