// Setting a GallerySettings field from text by its name ("ThumbnailsInRow=4",
// "PageSettings.Title=Trip"), for quorvel-batch's --set and for tests. The names are those of
// the stored-settings table.
#pragma once

#include <string>

#include "job/gallery_settings.h"

namespace quorvel {

// Sets the field named `name` (its full name, any tail of it that starts at a "." and names one
// field, or its bare name when unique) from `text`: integers (clamped to the range), booleans
// "true"/"false" (also 1/0, yes/no, on/off), colours "#RRGGBB" or "default", item lists by index
// or entry text, lines separated by "\n". Throws Error on an unknown or ambiguous name or text
// that does not fit the field; the settings are then unchanged.
void SetFieldFromText(GallerySettings& settings, const std::string& name, const std::string& text);

}  // namespace quorvel
