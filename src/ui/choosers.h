// The two standard pickers the property dialogs open: the picture-open dialog of the
// background image boxes and the colour picker behind a colour box's "Custom". Replaceable, so
// that tests can answer them without a blocking window.
#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "job/gallery_settings.h"

class QWidget;

namespace quorvel::ui {

struct Choosers {
  // The chosen file's full path; nullopt when cancelled. `current` is the path box's text.
  std::function<std::optional<QString>(QWidget* parent, const QString& current)> picture;
  // The picked colour as 0x00BBGGRR; nullopt when cancelled.
  std::function<std::optional<ColorValue>(QWidget* parent, ColorValue initial)> color;

  // "Select picture" over JPEG and GIF files, and Qt's colour dialog.
  static Choosers Standard();
};

// The picture-open dialog's file types, in order.
QString PictureFileFilter();

}  // namespace quorvel::ui
