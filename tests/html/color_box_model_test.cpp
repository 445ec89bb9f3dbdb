// The colour drop-down without drawing: its 18 entries, the assignment rule, the user's picks
// and the one custom colour that every box shares.
#include "html/color_box_model.h"

#include <gtest/gtest.h>

namespace quorvel::html {
namespace {

constexpr int kCustom = ColorBoxModel::kCustomEntry;

// A fresh shared colour for every test: the process-wide one starts at black.
class ColorBoxModelTest : public ::testing::Test {
 protected:
  ColorBoxModelTest() : box_(custom_), other_(custom_) {
    box_.on_change = [this] { ++changes_; };
  }

  SharedCustomColor custom_;
  ColorBoxModel box_;
  ColorBoxModel other_;
  int changes_ = 0;
};

TEST_F(ColorBoxModelTest, EighteenEntriesAndDefaultAtStart) {
  struct Entry {
    const char* text;
    ColorValue color;
  };
  const Entry entries[ColorBoxModel::kEntryCount] = {
      {"Default", 0},       {"Black", 0x000000},  {"Maroon", 0x000080},  {"Green", 0x008000},
      {"Olive", 0x008080},  {"Navy", 0x800000},   {"Purple", 0x800080},  {"Teal", 0x808000},
      {"Gray", 0x808080},   {"Silver", 0xC0C0C0}, {"Red", 0x0000FF},     {"Lime", 0x00FF00},
      {"Yellow", 0x00FFFF}, {"Blue", 0xFF0000},   {"Fuchsia", 0xFF00FF}, {"Aqua", 0xFFFF00},
      {"White", 0xFFFFFF},  {"Custom", 0},
  };
  for (int i = 0; i < ColorBoxModel::kEntryCount; ++i) {
    EXPECT_EQ(box_.EntryText(i), entries[i].text) << i;
    EXPECT_EQ(box_.EntryColor(i), entries[i].color) << i;
  }
  EXPECT_EQ(box_.SelectedEntry(), ColorBoxModel::kDefaultEntry);
  EXPECT_EQ(box_.Value(), kDefaultColor);
}

TEST_F(ColorBoxModelTest, NamedColoursAreFoundBeforeCustom) {
  const std::pair<ColorValue, int> cases[] = {{0x000000, 1}, {0x0000FF, 10}, {0xFFFFFF, 16}};
  for (const auto& [value, entry] : cases) {
    custom_.value = value;  // the Custom entry carries the same colour
    box_.Assign(value);
    EXPECT_EQ(box_.SelectedEntry(), entry) << std::hex << value;
    EXPECT_EQ(box_.Value(), value);
  }
}

TEST_F(ColorBoxModelTest, AnUnnamedColourBecomesEveryBoxsCustomColour) {
  box_.Assign(0x123456);
  EXPECT_EQ(box_.SelectedEntry(), kCustom);
  EXPECT_EQ(box_.Value(), 0x123456);
  EXPECT_EQ(other_.EntryColor(kCustom), 0x123456);
  other_.Assign(0x654321);
  EXPECT_EQ(box_.EntryColor(kCustom), 0x654321);
  EXPECT_EQ(box_.Value(), 0x123456) << "the value stays what was assigned";
}

TEST_F(ColorBoxModelTest, EveryAssignmentNotifiesExceptAnUnchangedValue) {
  box_.Assign(0x0000FF);
  box_.Assign(0x0000FF);
  EXPECT_EQ(changes_, 1);
  box_.Assign(kDefaultColor);
  EXPECT_EQ(box_.SelectedEntry(), ColorBoxModel::kDefaultEntry);
  EXPECT_EQ(box_.Value(), kDefaultColor);
  box_.Assign(kDefaultColor);
  EXPECT_EQ(changes_, 3) << "Default is selected anew every time";
}

TEST_F(ColorBoxModelTest, PickingDefaultYieldsMinusOneNotBlack) {
  box_.PickEntry(5);
  EXPECT_EQ(box_.Value(), 0x800000);
  box_.PickEntry(ColorBoxModel::kDefaultEntry);
  EXPECT_EQ(box_.Value(), kDefaultColor);
  EXPECT_EQ(box_.EntryColor(ColorBoxModel::kDefaultEntry), 0) << "its swatch is still black";
  EXPECT_EQ(changes_, 2);
}

TEST_F(ColorBoxModelTest, CustomChangesNothingUntilAColourIsConfirmed) {
  box_.Assign(0x008000);
  box_.PickEntry(kCustom);  // the colour picker is open, or was cancelled
  EXPECT_EQ(box_.Value(), 0x008000);
  EXPECT_EQ(box_.SelectedEntry(), 3);
  EXPECT_EQ(changes_, 1);
}

TEST_F(ColorBoxModelTest, AConfirmedColourIsAssignedAndShared) {
  box_.PickCustom(0x00FF00);
  EXPECT_EQ(box_.SelectedEntry(), 11) << "a named colour selects its named entry";
  EXPECT_EQ(other_.EntryColor(kCustom), 0x00FF00);
  box_.PickCustom(0xABCDEF);
  EXPECT_EQ(box_.SelectedEntry(), kCustom);
  EXPECT_EQ(box_.Value(), 0xABCDEF);
  EXPECT_EQ(other_.EntryColor(kCustom), 0xABCDEF);
}

TEST_F(ColorBoxModelTest, ColourNamesReplaceNonEmptyLinesOneToSixteen) {
  box_.SetColorNames({"ignored", "Schwarz", "", "Grün"});
  EXPECT_EQ(box_.EntryText(0), "Default");
  EXPECT_EQ(box_.EntryText(1), "Schwarz");
  EXPECT_EQ(box_.EntryText(2), "Maroon");
  EXPECT_EQ(box_.EntryText(3), "Grün");
  EXPECT_EQ(box_.EntryColor(1), 0x000000) << "a name changes no colour";
  box_.SetColorNames(std::vector<std::string>(18, "x"));
  EXPECT_EQ(box_.EntryText(0), "Default");
  EXPECT_EQ(box_.EntryText(16), "x");
  EXPECT_EQ(box_.EntryText(kCustom), "Custom");
}

TEST_F(ColorBoxModelTest, NewColourNamesKeepTheValue) {
  for (const ColorValue v : {kDefaultColor, 0x0000FF, 0x123456}) {
    box_.Assign(v);
    const int selected = box_.SelectedEntry();
    box_.SetColorNames({"", "Noir"});
    EXPECT_EQ(box_.Value(), v);
    EXPECT_EQ(box_.SelectedEntry(), selected);
  }
}

}  // namespace
}  // namespace quorvel::html
