#include "ui/background_image_box.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

#include "ui/widget_factory.h"

namespace quorvel::ui {

BackgroundImageBox::BackgroundImageBox(const QString& checkName, const QString& editName,
                                       const Choosers& choosers, QGridLayout* grid, int row,
                                       QWidget* parent)
    : QObject(parent), choosers_(choosers) {
  check_ = NamedCheckBox(checkName, "Use Background Image", parent);
  edit_ = NamedEdit(editName, {}, parent);
  edit_->setAccessibleName("Background image");
  browse_ = new QToolButton(parent);
  browse_->setObjectName(editName + "Browse");
  browse_->setText("...");
  browse_->setAccessibleName("Choose the background image");
  auto* path_row = new QHBoxLayout;
  path_row->setSpacing(2);
  path_row->addWidget(edit_, 1);
  path_row->addWidget(browse_);
  grid->addWidget(check_, row, 0, 1, 2);
  grid->addLayout(path_row, row + 1, 0, 1, 2);
  connect(check_, &QCheckBox::toggled, this, &BackgroundImageBox::ApplyEnabling);
  connect(browse_, &QToolButton::clicked, this, &BackgroundImageBox::Browse);
  ApplyEnabling();
}

void BackgroundImageBox::Show(bool use, const std::string& path) {
  check_->setChecked(use);
  edit_->setText(QString::fromStdString(path));
  ApplyEnabling();
}

bool BackgroundImageBox::Use() const { return check_->isChecked(); }

std::string BackgroundImageBox::Path() const { return edit_->text().toStdString(); }

void BackgroundImageBox::ApplyEnabling() {
  edit_->setEnabled(check_->isChecked());
  browse_->setEnabled(check_->isChecked());
}

void BackgroundImageBox::Browse() {
  if (!choosers_.picture) return;
  if (const auto chosen = choosers_.picture(edit_->window(), edit_->text())) {
    edit_->setText(*chosen);
  }
}

}  // namespace quorvel::ui
