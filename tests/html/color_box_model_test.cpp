// The colour drop-down without drawing: its 18 entries, the assignment rule, the user's picks
// and the one custom colour that every box shares.
#include "html/color_box_model.h"

#include <gtest/gtest.h>

namespace quorvel::html {
namespace {

struct Entry {
  int index;
  const char* text;
  ColorValue color;
};

// Built with a fresh shared colour for every test: the process-wide one starts at black.
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

TEST_F(ColorBoxModelTest, HasEighteenEntriesInTheirFixedOrder) {
  const Entry entries[] = {
      {0, "Default", 0},        {1, "Black", 0x000000},  {2, "Maroon", 0x000080},
      {3, "Green", 0x008000},   {4, "Olive", 0x008080},  {5, "Navy", 0x800000},
      {6, "Purple", 0x800080},  {7, "Teal", 0x808000},   {8, "Gray", 0x808080},
      {9, "Silver", 0xC0C0C0},  {10, "Red", 0x0000FF},   {11, "Lime", 0x00FF00},
      {12, "Yellow", 0x00FFFF}, {13, "Blue", 0xFF0000},  {14, "Fuchsia", 0xFF00FF},
      {15, "Aqua", 0xFFFF00},   {16, "White", 0xFFFFFF}, {17, "Custom", 0},
  };
  static_assert(ColorBoxModel::kEntryCount == 18);
  for (const Entry& e : entries) {
    EXPECT_EQ(box_.EntryText(e.index), e.text) << e.index;
    EXPECT_EQ(box_.EntryColor(e.index), e.color) << e.index;
  }
}

TEST_F(ColorBoxModelTest, StartsAtDefault) {
  EXPECT_EQ(box_.SelectedEntry(), ColorBoxModel::kDefaultEntry);
  EXPECT_EQ(box_.Value(), kDefaultColor);
}

TEST_F(ColorBoxModelTest, AssigningANamedColourSelectsItsEntry) {
  const Entry cases[] = {
      {1, "", 0x000000}, {10, "", 0x0000FF}, {13, "", 0xFF0000}, {16, "", 0xFFFFFF}};
  for (const Entry& c : cases) {
    box_.Assign(c.color);
    EXPECT_EQ(box_.SelectedEntry(), c.index) << std::hex << c.color;
    EXPECT_EQ(box_.Value(), c.color);
  }
  EXPECT_EQ(custom_.value, 0) << "named colours leave the custom colour alone";
}

TEST_F(ColorBoxModelTest, BlackSelectsBlackWhileTheCustomColourIsBlackToo) {
  ASSERT_EQ(custom_.value, 0);
  box_.Assign(0);
  EXPECT_EQ(box_.SelectedEntry(), 1);
}

TEST_F(ColorBoxModelTest, NamedEntriesAreSearchedBeforeCustom) {
  custom_.value = 0x0000FF;
  box_.Assign(0x0000FF);
  EXPECT_EQ(box_.SelectedEntry(), 10);
  EXPECT_EQ(box_.EntryText(box_.SelectedEntry()), "Red");
}

TEST_F(ColorBoxModelTest, AnUnnamedColourBecomesEveryBoxsCustomColour) {
  box_.Assign(0x123456);
  EXPECT_EQ(box_.SelectedEntry(), ColorBoxModel::kCustomEntry);
  EXPECT_EQ(box_.Value(), 0x123456);
  EXPECT_EQ(custom_.value, 0x123456);
  EXPECT_EQ(other_.EntryColor(ColorBoxModel::kCustomEntry), 0x123456);
  // The other box now finds that colour in its own Custom entry.
  other_.Assign(0x123456);
  EXPECT_EQ(other_.SelectedEntry(), ColorBoxModel::kCustomEntry);
}

TEST_F(ColorBoxModelTest, AnotherBoxsCustomColourDoesNotChangeThisBoxsValue) {
  box_.Assign(0x123456);
  other_.Assign(0x654321);
  EXPECT_EQ(box_.EntryColor(ColorBoxModel::kCustomEntry), 0x654321);
  EXPECT_EQ(box_.Value(), 0x123456);
}

TEST_F(ColorBoxModelTest, MinusOneSelectsDefault) {
  box_.Assign(0x0000FF);
  box_.Assign(kDefaultColor);
  EXPECT_EQ(box_.SelectedEntry(), ColorBoxModel::kDefaultEntry);
  EXPECT_EQ(box_.Value(), kDefaultColor);
}

TEST_F(ColorBoxModelTest, EveryAssignmentNotifiesExceptTheUnchangedValue) {
  box_.Assign(0x0000FF);
  EXPECT_EQ(changes_, 1);
  box_.Assign(0x0000FF);
  EXPECT_EQ(changes_, 1) << "the same value again does nothing";
  box_.Assign(0x123456);
  EXPECT_EQ(changes_, 2);
  box_.Assign(kDefaultColor);
  EXPECT_EQ(changes_, 3);
  box_.Assign(kDefaultColor);
  EXPECT_EQ(changes_, 4) << "Default is always selected anew";
}

TEST_F(ColorBoxModelTest, PickingDefaultYieldsMinusOneNotBlack) {
  box_.Assign(0x00FF00);
  box_.PickEntry(ColorBoxModel::kDefaultEntry);
  EXPECT_EQ(box_.Value(), kDefaultColor);
  EXPECT_EQ(box_.SelectedEntry(), ColorBoxModel::kDefaultEntry);
  EXPECT_EQ(box_.EntryColor(ColorBoxModel::kDefaultEntry), 0) << "its swatch is still black";
}

TEST_F(ColorBoxModelTest, PickingANamedEntryAssignsItsColour) {
  box_.PickEntry(5);
  EXPECT_EQ(box_.Value(), 0x800000);
  EXPECT_EQ(box_.SelectedEntry(), 5);
  EXPECT_EQ(changes_, 1);
}

TEST_F(ColorBoxModelTest, CustomIsNotAssignedByPickingTheEntryAlone) {
  // Only a confirmed colour-picker changes the value; a cancelled one leaves it as it was.
  box_.Assign(0x008000);
  box_.PickEntry(ColorBoxModel::kCustomEntry);
  EXPECT_EQ(box_.Value(), 0x008000);
  EXPECT_EQ(box_.SelectedEntry(), 3);
  EXPECT_EQ(changes_, 1);
}

TEST_F(ColorBoxModelTest, APickedNamedColourSelectsTheNamedEntry) {
  box_.PickCustom(0x00FF00);
  EXPECT_EQ(box_.SelectedEntry(), 11);
  EXPECT_EQ(box_.Value(), 0x00FF00);
  EXPECT_EQ(custom_.value, 0x00FF00);
  EXPECT_EQ(other_.EntryColor(ColorBoxModel::kCustomEntry), 0x00FF00);
}

TEST_F(ColorBoxModelTest, APickedUnnamedColourSelectsCustom) {
  box_.Assign(0x0000FF);
  box_.PickCustom(0xABCDEF);
  EXPECT_EQ(box_.SelectedEntry(), ColorBoxModel::kCustomEntry);
  EXPECT_EQ(box_.Value(), 0xABCDEF);
  EXPECT_EQ(custom_.value, 0xABCDEF);
}

TEST_F(ColorBoxModelTest, ColourNamesReplaceNonEmptyLinesOneToSixteen) {
  box_.SetColorNames({"ignored", "Schwarz", "", "Grün"});
  EXPECT_EQ(box_.EntryText(0), "Default");
  EXPECT_EQ(box_.EntryText(1), "Schwarz");
  EXPECT_EQ(box_.EntryText(2), "Maroon");
  EXPECT_EQ(box_.EntryText(3), "Grün");
  EXPECT_EQ(box_.EntryText(16), "White");
  EXPECT_EQ(box_.EntryText(17), "Custom");
  EXPECT_EQ(box_.EntryColor(1), 0x000000) << "a name changes no colour";

  std::vector<std::string> all(18, "x");
  box_.SetColorNames(all);
  EXPECT_EQ(box_.EntryText(0), "Default");
  EXPECT_EQ(box_.EntryText(16), "x");
  EXPECT_EQ(box_.EntryText(17), "Custom");
}

TEST_F(ColorBoxModelTest, NewColourNamesKeepTheValue) {
  const ColorValue values[] = {kDefaultColor, 0x0000FF, 0x123456};
  for (const ColorValue v : values) {
    box_.Assign(v);
    const int selected = box_.SelectedEntry();
    box_.SetColorNames({"", "Noir"});
    EXPECT_EQ(box_.Value(), v);
    EXPECT_EQ(box_.SelectedEntry(), selected);
  }
}

}  // namespace
}  // namespace quorvel::html
