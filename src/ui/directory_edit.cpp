#include "ui/directory_edit.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

namespace quorvel::ui {

DirectoryEdit::DirectoryEdit(const QString& editName, QWidget* parent)
    : QWidget(parent), edit_(new QLineEdit(this)), browse_(new QToolButton(this)) {
  edit_->setObjectName(editName);
  browse_->setObjectName(editName + "Browse");
  browse_->setText("...");
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  layout->addWidget(edit_, 1);
  layout->addWidget(browse_);
  // editingFinished comes both on Enter and when the edit loses focus.
  connect(edit_, &QLineEdit::editingFinished, this, &DirectoryEdit::Normalize);
  connect(browse_, &QToolButton::clicked, this, &DirectoryEdit::browseRequested);
}

QString DirectoryEdit::Text() const { return edit_->text(); }

void DirectoryEdit::SetText(const QString& text) { edit_->setText(text); }

void DirectoryEdit::Normalize() {
  // The question box takes the focus away, which must not ask a second time.
  if (normalizing_ || !normalizer_) return;
  normalizing_ = true;
  edit_->setText(normalizer_(edit_->text()));
  normalizing_ = false;
}

}  // namespace quorvel::ui
