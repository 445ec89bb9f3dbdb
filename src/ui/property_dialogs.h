// The seven property dialogs, created once with the main window and living until exit. Each
// edits one group of the main window's GallerySettings: the values shown on opening are
// remembered, "&OK" commits the controls into the group, "&Cancel" puts the remembered values
// back. The HTML made from a group is built by the run from the settings it starts with.
#pragma once

#include <QObject>
#include <memory>

#include "job/gallery_settings.h"
#include "run/generation_run.h"
#include "ui/choosers.h"

class QDialog;
class QWidget;

namespace quorvel::ui {

enum class PropertyDialogKind { Thumbnail, Table, Cell, Text, Html, Navigator, Pictures };

class PropertyDialogs {
 public:
  // `settings` and `imaging` belong to the caller and outlive this object.
  PropertyDialogs(GallerySettings& settings, ImagingOptions& imaging, QWidget* parent);
  ~PropertyDialogs();

  QDialog* Dialog(PropertyDialogKind kind) const;
  // Shows the dialog modally; true when it was closed with "&OK".
  bool Open(PropertyDialogKind kind);
  // After the settings were replaced (a state load): every dialog shows them, re-applies
  // its enabling and acts as if "&OK" had been pressed.
  void ShowSettings();

  // The picture-open dialog and the colour picker every dialog uses; replaceable by tests.
  Choosers& Pickers();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quorvel::ui
