// Every GallerySettings field by its code name, so that a field can be set from text
// ("ThumbnailsInRow=4", "PageSettings.Title=Trip") by quorvel-batch and by tests.
#pragma once

#include <string>
#include <vector>

#include "job/gallery_settings.h"

namespace quorvel {

enum class FieldKind { Integer, Boolean, String, Color, Index, Lines };

struct FieldInfo {
  std::string path;  // group path and name, e.g. "TextSettings.ImageName.Bold"
  FieldKind kind;
};

// All fields, in state-file order.
const std::vector<FieldInfo>& SettingsFields();

// Sets the field named `name` (its full path, any tail of the path that names one field, or
// its bare name when unique) from `text`: integers (clamped to the range), booleans
// "true"/"false" (also 1/0, yes/no), colours "#RRGGBB" or "default", item lists by index or
// entry text, lines separated by "\n". Throws Error on an unknown or ambiguous name or text
// that does not fit the field.
void SetFieldFromText(GallerySettings& settings, const std::string& name, const std::string& text);

}  // namespace quorvel
