// The navigator line of split index pages: its wrapper and its link items.
#pragma once

#include <string>

#include "job/gallery_settings.h"
#include "job/path_style.h"

namespace quorvel::html {

struct NavigatorWrapper {
  std::string Prefix;
  std::string Suffix;
};

NavigatorWrapper BuildNavigatorWrapper(const NavigatorSettings& navigator);

// `[<a href="` href `">` label `</a>] `, the href percent-encoded and the label escaped.
std::string NavigatorLink(const std::string& href, const std::string& label, PathStyle style);

}  // namespace quorvel::html
