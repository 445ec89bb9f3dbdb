#include "ui/property_dialog.h"

#include <QBoxLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>

#include "ui/widget_factory.h"

namespace quorvel::ui {

PropertyDialog::PropertyDialog(const QString& caption, GallerySettings& settings, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::WindowContextHelpButtonHint | Qt::WindowStaysOnTopHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      settings_(settings) {
  setWindowTitle(caption);
  setModal(true);
}

void PropertyDialog::Commit() {
  StoreValues();
  RebuildHtml();
}

void PropertyDialog::done(int result) {
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

void PropertyDialog::FixSize(QSize size) {
  if (!size.isValid()) {
    if (layout()) layout()->activate();
    size = sizeHint();
  }
  setFixedSize(size);
  CentreOnScreen();
}

void PropertyDialog::CentreOnScreen() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QSize area = screen->size();
  move(area.width() / 2 - width() / 2, area.height() / 2 - height() / 2);
}

void PropertyDialog::showEvent(QShowEvent* event) {
  CentreOnScreen();
  QDialog::showEvent(event);
}

}  // namespace quorvel::ui
