// The opening tags of the thumbnail table and of each cell, and the table's closing line.
#pragma once

#include <string>

#include "job/gallery_settings.h"
#include "job/path_style.h"

namespace quorvel::html {

std::string BuildTableOpenTag(const TableSettings& table, const std::string& baseDirectory,
                              PathStyle style);
std::string BuildCellOpenTag(const CellSettings& cell, const std::string& baseDirectory,
                             PathStyle style);
// "</table>", followed by "</div>" when the table is aligned.
std::string TableCloseLine(const TableSettings& table);

}  // namespace quorvel::html
