// The typed-value byte stream: the bytes of each value kind, reads that run out of bytes,
// lengths the format cannot hold, and the texts of the I/O failures.
#include "persist/typed_value_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace quorvel::persist {
namespace {

template <std::size_t N>
std::string Bytes(const char (&text)[N]) {
  return std::string(text, N - 1);
}

template <typename Put>
std::string Written(Put put) {
  TypedValueWriter file;
  put(file);
  return file.Release();
}

TEST(TypedValueFileTest, ValuesAreStoredLittleEndianWithoutTags) {
  struct Case {
    const char* name;
    std::string bytes;
    std::string expected;
  };
  const Case cases[] = {
      {"abc", Written([](auto& f) { PutStr(f, "abc"); }),
       Bytes("\x03\x00\x00\x00"
             "abc")},
      {"empty string", Written([](auto& f) { PutStr(f, ""); }), Bytes("\x00\x00\x00\x00")},
      {"no lines", Written([](auto& f) { PutLines(f, {}); }), "\xFF\xFF\xFF\xFF"},
      {"one empty line", Written([](auto& f) { PutLines(f, {""}); }),
       Bytes("\x00\x00\x00\x00\x00\x00\x00\x00")},
      {"two lines", Written([](auto& f) {
         PutLines(f, {"a", ""});
       }),
       Bytes("\x01\x00\x00\x00\x01\x00\x00\x00"
             "a\x00\x00\x00\x00")},
      {"70", Written([](auto& f) { PutInt(f, 70); }), Bytes("\x46\x00\x00\x00")},
      {"-2", Written([](auto& f) { PutInt(f, -2); }), "\xFE\xFF\xFF\xFF"},
      {"0x12345678", Written([](auto& f) { PutInt(f, 0x12345678); }), "\x78\x56\x34\x12"},
      {"Default colour", Written([](auto& f) { PutColor(f, kDefaultColor); }), "\xFF\xFF\xFF\xFF"},
      {"colour", Written([](auto& f) { PutColor(f, 0x00102030); }), Bytes("\x30\x20\x10\x00")},
      {"true", Written([](auto& f) { PutBool(f, true); }), "\x01"},
      {"false", Written([](auto& f) { PutBool(f, false); }), Bytes("\x00")},
  };
  for (const Case& c : cases) EXPECT_EQ(c.bytes, c.expected) << c.name;
}

TEST(TypedValueFileTest, ValuesReadBackInOrder) {
  TypedValueWriter out;
  PutInt(out, -2147483647 - 1);
  PutBool(out, true);
  PutColor(out, 0x00FFFFFF);
  PutStr(out, std::string(501, 's'));
  PutLines(out, {"", std::string(3073, 'l'), ""});
  PutLines(out, {});
  TypedValueReader in(out.bytes());
  EXPECT_EQ(GetInt(in), -2147483647 - 1);
  EXPECT_TRUE(GetBool(in));
  EXPECT_EQ(GetColor(in), 0x00FFFFFF);
  EXPECT_EQ(GetStr(in), std::string(501, 's'));
  Lines lines;
  GetLines(in, lines);
  EXPECT_EQ(lines, (Lines{"", std::string(3073, 'l'), ""}));
  GetLines(in, lines);
  EXPECT_EQ(lines.size(), 3u);
  EXPECT_EQ(in.remaining(), 0u);
}

TEST(TypedValueFileTest, AnyNonZeroByteReadsAsTrue) {
  for (const char byte : {'\x02', '\x7F', '\x80', '\xFF'}) {
    TypedValueReader in(std::string_view(&byte, 1));
    EXPECT_TRUE(GetBool(in));
  }
  const std::string zero_byte = Bytes("\x00");
  TypedValueReader zero(zero_byte);
  EXPECT_FALSE(GetBool(zero));
}

TEST(TypedValueFileTest, GetLinesAppendsToWhatIsThere) {
  const std::string bytes = Written([](auto& f) { PutLines(f, {"b"}); });
  TypedValueReader in(bytes);
  Lines lines = {"a"};
  GetLines(in, lines);
  EXPECT_EQ(lines, (Lines{"a", "b"}));
}

TEST(TypedValueFileTest, AReadPastTheEndThrowsAndKeepsThePosition) {
  const std::string abc = Written([](auto& f) { PutStr(f, "abc"); });
  for (std::size_t size = 0; size < abc.size(); ++size) {
    TypedValueReader in(std::string_view(abc).substr(0, size));
    try {
      GetStr(in);
      ADD_FAILURE() << size;
    } catch (const Error& e) {
      EXPECT_STREQ(e.what(), "Read beyond end of file");
    }
  }
  const std::string three_bytes = "\x01\x02\x03";
  TypedValueReader three(three_bytes);
  EXPECT_THROW(GetInt(three), Error);
  EXPECT_EQ(three.position(), 0u);
  TypedValueReader empty("");
  EXPECT_THROW(GetBool(empty), Error);
}

TEST(TypedValueFileTest, LengthsOutsideTheLimitsAreFormatErrors) {
  const std::string cases[] = {
      "\xFF\xFF\xFF\xFF",                                 // -1
      Bytes("\x00\x00\x00\x80"),                          // most negative
      Bytes("\xF6\x01\x00\x00") + std::string(502, 'x'),  // 502
  };
  for (const std::string& bytes : cases) {
    TypedValueReader in(bytes);
    EXPECT_THROW(GetStr(in), FormatError);
  }
  Lines lines = {"kept"};
  const std::string long_line =
      Bytes("\x01\x00\x00\x00\x00\x00\x00\x00\x02\x0C\x00\x00") + std::string(3074, 'x');
  TypedValueReader in(long_line);
  EXPECT_THROW(GetLines(in, lines), FormatError);
  EXPECT_EQ(lines, Lines{"kept"});
}

TEST(TypedValueFileTest, ALineCountTheBytesCannotHoldIsRefusedBeforeReading) {
  // 4096 lines in a 12-byte file.
  const std::string bytes = Bytes("\xFF\x0F\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00");
  TypedValueReader in(bytes);
  Lines lines = {"kept"};
  try {
    GetLines(in, lines);
    ADD_FAILURE();
  } catch (const FormatError&) {
    ADD_FAILURE() << "a short file is not a format error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "Read beyond end of file");
  }
  EXPECT_EQ(lines, Lines{"kept"});
  // Counts of -1 and below hold no lines and read nothing more.
  const std::string minus_bytes = "\x80\xFF\xFF\xFFrest";
  TypedValueReader minus(minus_bytes);
  GetLines(minus, lines);
  EXPECT_EQ(lines, Lines{"kept"});
  EXPECT_EQ(minus.remaining(), 4u);
}

TEST(TypedValueFileTest, TextsOverTheLimitWriteNothing) {
  TypedValueWriter out;
  PutInt(out, 1);
  EXPECT_THROW(PutStr(out, std::string(502, 'x')), Error);
  EXPECT_THROW(PutLines(out, {"fine", std::string(3074, 'x')}), Error);
  EXPECT_EQ(out.bytes(), Bytes("\x01\x00\x00\x00"));
}

TEST(TypedValueFileTest, ErrnoValuesMapOntoTheUsersTexts) {
  struct Case {
    int error;
    const char* text;
  };
  const Case cases[] = {
      {ENOENT, "File not found"},    {ENOTDIR, "File not found"},   {EACCES, "File access denied"},
      {EPERM, "File access denied"}, {EROFS, "File access denied"}, {ENOSPC, "Disk full"},
      {EDQUOT, "Disk full"},         {EIO, "I/O error 5"},          {EISDIR, "I/O error 21"},
  };
  for (const Case& c : cases) EXPECT_EQ(IoErrorText(c.error), c.text) << c.error;
  EXPECT_EQ(WithPath("Disk full", "/tmp/a.qvl"), "Disk full: /tmp/a.qvl");
  EXPECT_EQ(WithPath("Disk full", ""), "Disk full");
}

}  // namespace
}  // namespace quorvel::persist
