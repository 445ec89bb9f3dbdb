// The thumbnail table's opening tag and close line, and the opening tag of every cell.
#include "html/table_tags.h"

#include <gtest/gtest.h>

namespace quorvel::html {
namespace {

constexpr PathStyle W = PathStyle::Windows;
constexpr PathStyle P = PathStyle::Posix;

TEST(TableOpenTagTest, DefaultsWriteTheThreeNumbersOnly) {
  EXPECT_EQ(BuildTableOpenTag(TableSettings{}, "C:\\web\\", W),
            "<table border=\"1\" cellpadding=\"1\" cellspacing=\"2\">");
}

TEST(TableOpenTagTest, ZeroIsStillWritten) {
  TableSettings t;
  t.BorderSize = 0;
  t.CellPadding = 0;
  t.CellSpacing = 0;
  EXPECT_EQ(BuildTableOpenTag(t, "", W),
            "<table border=\"0\" cellpadding=\"0\" cellspacing=\"0\">");
}

struct AlignmentCase {
  int alignment;
  const char* open;
  const char* close;
};

class TableAlignmentTest : public ::testing::TestWithParam<AlignmentCase> {};

TEST_P(TableAlignmentTest, WrapsAnAlignedTableInADiv) {
  TableSettings t;
  t.Alignment = GetParam().alignment;
  EXPECT_EQ(BuildTableOpenTag(t, "/web/", P), GetParam().open);
  EXPECT_EQ(TableCloseLine(t), GetParam().close);
}

INSTANTIATE_TEST_SUITE_P(
    AllEntries, TableAlignmentTest,
    ::testing::Values(
        AlignmentCase{0, "<table border=\"1\" cellpadding=\"1\" cellspacing=\"2\">", "</table>"},
        AlignmentCase{
            1, "<div align=\"left\"><table border=\"1\" cellpadding=\"1\" cellspacing=\"2\">",
            "</table></div>"},
        AlignmentCase{
            2, "<div align=\"right\"><table border=\"1\" cellpadding=\"1\" cellspacing=\"2\">",
            "</table></div>"},
        AlignmentCase{
            3, "<div align=\"center\"><table border=\"1\" cellpadding=\"1\" cellspacing=\"2\">",
            "</table></div>"}));

TEST(TableOpenTagTest, LightBorderColourAlone) {
  TableSettings t;
  t.LightBorderColor = 0x00FFFF;
  EXPECT_EQ(
      BuildTableOpenTag(t, "", W),
      "<table border=\"1\" cellpadding=\"1\" cellspacing=\"2\" bordercolorlight=\"#FFFF00\">");
}

TEST(TableOpenTagTest, ColoursInTheirOrderThenTheBackground) {
  TableSettings t;
  t.Alignment = 3;
  t.DarkBorderColor = 0x000000;
  t.LightBorderColor = 0xFFFFFF;
  t.BorderColor = 0x808080;
  t.BackgroundColor = 0x123456;
  t.UseBackgroundImage = true;
  t.BackgroundImage = "C:\\web\\img\\table.gif";
  EXPECT_EQ(BuildTableOpenTag(t, "C:\\web\\", W),
            "<div align=\"center\"><table border=\"1\" cellpadding=\"1\" cellspacing=\"2\" "
            "bgcolor=\"#563412\" bordercolor=\"#808080\" bordercolorlight=\"#FFFFFF\" "
            "bordercolordark=\"#000000\" background=\"img\\table.gif\">");
}

TEST(TableOpenTagTest, BackgroundInPosixStyle) {
  TableSettings t;
  t.UseBackgroundImage = true;
  t.BackgroundImage = "/home/u/bg/table #2.gif";
  EXPECT_EQ(BuildTableOpenTag(t, "/home/u/web/", P),
            "<table border=\"1\" cellpadding=\"1\" cellspacing=\"2\" "
            "background=\"../bg/table%20%232.gif\">");
}

TEST(CellOpenTagTest, Defaults) {
  EXPECT_EQ(BuildCellOpenTag(CellSettings{}, "C:\\web\\", W),
            "<td align=\"center\" valign=\"middle\" width=\"70\" height=\"70\">");
}

TEST(CellOpenTagTest, NothingSetGivesTheBareTag) {
  CellSettings c;
  c.HorizontalAlignment = 0;
  c.VerticalAlignment = 0;
  c.SpecifyWidth = false;
  c.SpecifyHeight = false;
  c.BackgroundImage = "C:\\web\\unused.gif";
  EXPECT_EQ(BuildCellOpenTag(c, "C:\\web\\", W), "<td>");
}

struct CellAlignmentCase {
  int horizontal;
  int vertical;
  const char* tag;
};

class CellAlignmentTest : public ::testing::TestWithParam<CellAlignmentCase> {};

TEST_P(CellAlignmentTest, WritesTheEntryText) {
  CellSettings c;
  c.HorizontalAlignment = GetParam().horizontal;
  c.VerticalAlignment = GetParam().vertical;
  c.SpecifyWidth = false;
  c.SpecifyHeight = false;
  EXPECT_EQ(BuildCellOpenTag(c, "", P), GetParam().tag);
}

INSTANTIATE_TEST_SUITE_P(Entries, CellAlignmentTest,
                         ::testing::Values(CellAlignmentCase{1, 0, "<td align=\"left\">"},
                                           CellAlignmentCase{2, 0, "<td align=\"right\">"},
                                           CellAlignmentCase{0, 1, "<td valign=\"top\">"},
                                           CellAlignmentCase{0, 2, "<td valign=\"bottom\">"},
                                           CellAlignmentCase{
                                               1, 3, "<td align=\"left\" valign=\"middle\">"}));

TEST(CellOpenTagTest, EverythingInItsOrder) {
  CellSettings c;
  c.HorizontalAlignment = 2;
  c.VerticalAlignment = 1;
  c.CellWidth = 120;
  c.CellHeight = 0;
  c.BackgroundColor = 0xFF0000;
  c.UseBackgroundImage = true;
  c.BackgroundImage = "C:\\pics\\cell.gif";
  EXPECT_EQ(BuildCellOpenTag(c, "C:\\web\\gallery\\", W),
            "<td align=\"right\" valign=\"top\" width=\"120\" height=\"0\" bgcolor=\"#0000FF\" "
            "background=\"..\\..\\pics\\cell.gif\">");
}

TEST(CellOpenTagTest, BackgroundInPosixStyle) {
  CellSettings c;
  c.UseBackgroundImage = true;
  c.BackgroundImage = "/pics/trip/cell.gif";
  EXPECT_EQ(BuildCellOpenTag(c, "/pics/trip", P),
            "<td align=\"center\" valign=\"middle\" width=\"70\" height=\"70\" "
            "background=\"cell.gif\">");
}

}  // namespace
}  // namespace quorvel::html
