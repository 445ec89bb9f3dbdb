// What the seven property dialogs share: a fixed, always-on-top frame centred on the screen
// with a context-help button, "&OK" (default) and "&Cancel" (also Escape and the close box)
// at the bottom right, and the editing model: "&OK" stores the controls into the settings;
// "&Cancel" shows the settings again, which still hold what the dialog showed when it opened.
#pragma once

#include <QDialog>

#include "job/gallery_settings.h"

class QBoxLayout;

namespace quorvel::ui {

class PropertyDialog : public QDialog {
  Q_OBJECT
 public:
  PropertyDialog(const QString& caption, GallerySettings& settings, QWidget* parent);

  // The controls take the settings, with their enabling.
  virtual void ShowValues() = 0;
  // As after "&OK": the controls' values go into the settings.
  void Commit() { StoreValues(); }

  void done(int result) override;

 protected:
  virtual void StoreValues() = 0;
  // Called after a Cancel has hidden the dialog and the controls are shown again.
  virtual void AfterRestore() {}

  // The question-mark button at the left and "&OK" and "&Cancel" at the right, added to
  // `layout` as its last row.
  void AddButtons(QBoxLayout* layout);
  // What the layout asks for now, with the controls as they are shown or hidden: its
  // smallest size or its preferred one.
  QSize LayoutSize(bool smallest);
  // Fixes the frame at `size` (by default the layout's preferred size) and centres it on the
  // screen.
  void FixSize(QSize size = QSize());

  void showEvent(QShowEvent* event) override;

  GallerySettings& settings_;
};

}  // namespace quorvel::ui
