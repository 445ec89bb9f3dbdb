// File names in pages: links percent-encoded, texts entity-escaped.
#include "html/escaping.h"

#include <gtest/gtest.h>

namespace quorvel::html {
namespace {

struct EscapeCase {
  std::string_view input;
  const char* output;
};

class EncodeUrlPathTest : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(EncodeUrlPathTest, Encodes) {
  EXPECT_EQ(EncodeUrlPath(GetParam().input), GetParam().output) << GetParam().input;
}

INSTANTIATE_TEST_SUITE_P(
    Paths, EncodeUrlPathTest,
    ::testing::Values(EscapeCase{"", ""}, EscapeCase{"photo.jpg", "photo.jpg"},
                      EscapeCase{"..\\thumb\\a_thumb.jpg", "..\\thumb\\a_thumb.jpg"},
                      EscapeCase{"../thumb/a_thumb.jpg", "../thumb/a_thumb.jpg"},
                      EscapeCase{"C:\\pics\\", "C:\\pics\\"}, EscapeCase{"a b.jpg", "a%20b.jpg"},
                      EscapeCase{"#1?.jpg", "%231%3F.jpg"}, EscapeCase{"100%.jpg", "100%25.jpg"},
                      EscapeCase{"\"><script>.jpg", "%22%3E%3Cscript%3E.jpg"},
                      EscapeCase{"a&b.jpg", "a%26b.jpg"},
                      EscapeCase{"Grüße.jpg", "Gr%C3%BC%C3%9Fe.jpg"},
                      EscapeCase{"\xE9t\xE9.jpg", "%E9t%E9.jpg"},
                      EscapeCase{"tab\there\n", "tab%09here%0A"},
                      EscapeCase{std::string_view("a\0b", 3), "a%00b"},
                      EscapeCase{"[x]{y}|^`", "%5Bx%5D%7By%7D%7C%5E%60"},
                      // Unreserved characters, separators and the sub-delimiters stay as they are.
                      EscapeCase{"AZaz09-._~/\\!$'()*+,;=:@", "AZaz09-._~/\\!$'()*+,;=:@"}));

class EscapeHtmlTextTest : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(EscapeHtmlTextTest, Escapes) {
  EXPECT_EQ(EscapeHtmlText(GetParam().input), GetParam().output) << GetParam().input;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, EscapeHtmlTextTest,
    ::testing::Values(EscapeCase{"", ""}, EscapeCase{"photo.jpg", "photo.jpg"},
                      EscapeCase{"a&b", "a&amp;b"}, EscapeCase{"<b>x</b>", "&lt;b&gt;x&lt;/b&gt;"},
                      EscapeCase{"say \"hi\"", "say &quot;hi&quot;"},
                      EscapeCase{"&amp;", "&amp;amp;"},
                      // Only the four that matter in text and in quoted attributes.
                      EscapeCase{"it's #1 ?% é", "it's #1 ?% é"}));

}  // namespace
}  // namespace quorvel::html
