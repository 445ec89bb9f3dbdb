// What the seven property dialogs share: a fixed, always-on-top frame centred on the screen
// with a context-help button, "&OK" (default) and "&Cancel" (also Escape and the close box),
// and the editing model: "&OK" stores the controls into the settings and rebuilds the HTML the
// dialog keeps; "&Cancel" shows the settings again, which still hold what the dialog showed
// when it opened.
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
  // As after "&OK": the controls' values go into the settings and the HTML is rebuilt.
  void Commit();

  void done(int result) override;

 protected:
  virtual void StoreValues() = 0;
  virtual void RebuildHtml() {}
  // Called after a Cancel has hidden the dialog and the controls are shown again.
  virtual void AfterRestore() {}

  // "&OK" and "&Cancel", right-aligned, added to `layout`.
  void AddButtons(QBoxLayout* layout);
  // Fixes the frame at its layout's size (or at `size`) and centres it on the screen.
  void FixSize(QSize size = QSize());
  void CentreOnScreen();

  void showEvent(QShowEvent* event) override;

  GallerySettings& settings_;
};

}  // namespace quorvel::ui
