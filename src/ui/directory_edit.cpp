#include "ui/directory_edit.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

namespace quorvel::ui {
namespace {

bool IsForTyping(const QWidget* widget) {
  return qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QAbstractSpinBox*>(widget) ||
         qobject_cast<const QPlainTextEdit*>(widget) || qobject_cast<const QTextEdit*>(widget);
}

}  // namespace

DirectoryEdit::DirectoryEdit(const QString& editName, const QString& fieldName,
                             const QString& browseName, QWidget* parent)
    : QWidget(parent), edit_(new QLineEdit(this)), browse_(new QToolButton(this)) {
  edit_->setObjectName(editName);
  edit_->setAccessibleName(fieldName);
  browse_->setObjectName(editName + "Browse");
  browse_->setText("...");
  browse_->setAccessibleName(browseName);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  layout->addWidget(edit_, 1);
  layout->addWidget(browse_);
  connect(edit_, &QLineEdit::returnPressed, this, &DirectoryEdit::Normalize);
  connect(browse_, &QToolButton::clicked, this, &DirectoryEdit::browseRequested);
  connect(qApp, &QApplication::focusChanged, this, &DirectoryEdit::OnFocusChanged);
}

QString DirectoryEdit::Text() const { return edit_->text(); }

void DirectoryEdit::SetLabel(QLabel* label) { label->setBuddy(edit_); }

void DirectoryEdit::SetText(const QString& text) {
  edit_->setText(text);
  pending_ = false;
}

void DirectoryEdit::Normalize() {
  pending_ = false;
  // The question box takes the focus away, which must not ask a second time.
  if (normalizing_ || !normalizer_ || edit_->text() == normalized_) return;
  normalizing_ = true;
  normalized_ = normalizer_(edit_->text());
  edit_->setText(normalized_);
  normalizing_ = false;
}

void DirectoryEdit::OnFocusChanged(QWidget* old, QWidget* now) {
  if (now == edit_) {
    pending_ = false;
    return;
  }
  if (old == edit_ && edit_->text() != normalized_) pending_ = true;
  // Focus leaving the window (now is null) or moving to another window waits for its return.
  if (!pending_ || now == nullptr || now->window() != window() || IsForTyping(now)) return;
  // The question comes after the focus change is complete, not in the middle of it.
  QTimer::singleShot(0, this, [this] {
    if (pending_) Normalize();
  });
}

}  // namespace quorvel::ui
