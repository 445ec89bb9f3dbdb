#include "ui/property_dialog.h"

#include <QAbstractSpinBox>
#include <QBoxLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QToolButton>

#include "ui/help_topics.h"
#include "ui/widget_factory.h"
#include "ui/window_placement.h"

namespace quorvel::ui {

PropertyDialog::PropertyDialog(const QString& caption, GallerySettings& settings, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::WindowContextHelpButtonHint | Qt::WindowStaysOnTopHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      settings_(settings) {
  setWindowTitle(caption);
  setModal(true);
}

void PropertyDialog::done(int result) {
  // A number still being typed counts, read as its editor reads it when left.
  if (result == QDialog::Accepted) {
    for (QAbstractSpinBox* spin : findChildren<QAbstractSpinBox*>()) spin->interpretText();
  }
  QDialog::done(result);
  if (result == QDialog::Accepted) {
    Commit();
  } else {
    ShowValues();
    AfterRestore();
  }
}

void PropertyDialog::AddButtons(QBoxLayout* layout) {
  auto* row = new QHBoxLayout;
  row->addWidget(WhatsThisButton("WhatsThisBtn", this));
  row->addStretch(1);
  QPushButton* ok = NamedButton("OKBtn", "&OK", this);
  QPushButton* cancel = NamedButton("CancelBtn", "&Cancel", this);
  ok->setDefault(true);
  ok->setAutoDefault(true);
  cancel->setAutoDefault(false);
  row->addWidget(ok);
  row->addWidget(cancel);
  layout->addLayout(row);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QSize PropertyDialog::LayoutSize(bool smallest) {
  // Controls shown or hidden since the last layout pass change what the layout asks for.
  layout()->invalidate();
  layout()->activate();
  return smallest ? layout()->minimumSize() : layout()->sizeHint();
}

void PropertyDialog::FixSize(QSize size) {
  setFixedSize(size.isValid() ? size : LayoutSize(false));
  CentreOnScreen(this);
}

void PropertyDialog::showEvent(QShowEvent* event) {
  CentreOnScreen(this);
  QDialog::showEvent(event);
}

}  // namespace quorvel::ui
