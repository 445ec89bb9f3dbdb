// The colour drop-down's model without any drawing: 18 entries ("Default", the 16 named
// colours, "Custom"), the assignment rule and the one custom colour every box shares.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "job/gallery_settings.h"

namespace quorvel::html {

struct NamedColor {
  std::string_view name;
  ColorValue value;  // 0x00BBGGRR
};

extern const std::array<NamedColor, 16> kNamedColors;

// The custom colour shared by every colour box of the process; 0 (black) at start.
struct SharedCustomColor {
  ColorValue value = 0;
};

class ColorBoxModel {
 public:
  static constexpr int kEntryCount = 18;
  static constexpr int kDefaultEntry = 0;
  static constexpr int kCustomEntry = 17;

  explicit ColorBoxModel(SharedCustomColor& custom);

  std::string EntryText(int entry) const;
  // Entry 0 is drawn black; entry 17 carries the shared custom colour.
  ColorValue EntryColor(int entry) const;
  int SelectedEntry() const { return selected_; }

  // -1 when "Default" is selected, the stored value otherwise.
  ColorValue Value() const;
  // The assignment rule: -1 selects "Default"; otherwise the first of entries 1..17 with that
  // colour, else the shared custom colour becomes the value and "Custom" is selected.
  void Assign(ColorValue value);
  // The user picked entry 0..16 in the list.
  void PickEntry(int entry);
  // The user confirmed `value` in the colour-picker opened by "Custom".
  void PickCustom(ColorValue value);

  // Lines 1..16, when present and not empty, replace the names of the named entries.
  void SetColorNames(std::vector<std::string> names);

  // Raised after every assignment.
  std::function<void()> on_change;

 private:
  SharedCustomColor& custom_;
  std::vector<std::string> names_;
  ColorValue value_ = kDefaultColor;
  int selected_ = kDefaultEntry;
};

}  // namespace quorvel::html
