#include "html/color_box_model.h"

namespace quorvel::html {

const std::array<NamedColor, 16> kNamedColors = {{
    {"Black", 0x000000},
    {"Maroon", 0x000080},
    {"Green", 0x008000},
    {"Olive", 0x008080},
    {"Navy", 0x800000},
    {"Purple", 0x800080},
    {"Teal", 0x808000},
    {"Gray", 0x808080},
    {"Silver", 0xC0C0C0},
    {"Red", 0x0000FF},
    {"Lime", 0x00FF00},
    {"Yellow", 0x00FFFF},
    {"Blue", 0xFF0000},
    {"Fuchsia", 0xFF00FF},
    {"Aqua", 0xFFFF00},
    {"White", 0xFFFFFF},
}};

ColorBoxModel::ColorBoxModel(SharedCustomColor& custom) : custom_(custom) {}

std::string ColorBoxModel::EntryText(int entry) const {
  if (entry == kDefaultEntry) return "Default";
  if (entry == kCustomEntry) return "Custom";
  if (entry < 0 || entry > kCustomEntry) return {};
  const std::size_t i = static_cast<std::size_t>(entry);
  if (i < names_.size() && !names_[i].empty()) return names_[i];
  return std::string(kNamedColors[i - 1].name);
}

ColorValue ColorBoxModel::EntryColor(int entry) const {
  if (entry <= kDefaultEntry || entry > kCustomEntry) return 0;
  if (entry == kCustomEntry) return custom_.value;
  return kNamedColors[static_cast<std::size_t>(entry - 1)].value;
}

ColorValue ColorBoxModel::Value() const {
  return selected_ == kDefaultEntry ? kDefaultColor : value_;
}

void ColorBoxModel::Assign(ColorValue value) {
  if (value == kDefaultColor) {
    selected_ = kDefaultEntry;
    value_ = kDefaultColor;
  } else if (!(selected_ != kDefaultEntry && value == value_)) {
    value_ = value;
    int found = -1;
    for (int entry = 1; entry <= kCustomEntry && found < 0; ++entry) {
      if (EntryColor(entry) == value) found = entry;
    }
    if (found < 0) {
      custom_.value = value;
      found = kCustomEntry;
    }
    selected_ = found;
  } else {
    return;
  }
  if (on_change) on_change();
}

void ColorBoxModel::PickEntry(int entry) {
  if (entry == kDefaultEntry) {
    Assign(kDefaultColor);
  } else if (entry > 0 && entry < kCustomEntry) {
    Assign(EntryColor(entry));
  }
}

void ColorBoxModel::PickCustom(ColorValue value) {
  custom_.value = value;
  // Re-run the assignment so a picked named colour selects its named entry.
  selected_ = kDefaultEntry;
  Assign(value);
}

void ColorBoxModel::SetColorNames(std::vector<std::string> names) {
  names_ = std::move(names);
  const ColorValue value = Value();
  selected_ = kDefaultEntry;
  value_ = kDefaultColor;
  Assign(value);
}

}  // namespace quorvel::html
