// The initialisation-file layer: lookups without regard to case, one-key changes that keep
// every other line, and the files it cannot read or write.
#include "persist/private_profile.h"

#include <gtest/gtest.h>

#include <string>

#include "job/error.h"
#include "support/temp_dir.h"

namespace quorvel::persist {
namespace {

const char kText[] =
    "; written by hand\n"
    "stray=before any section\n"
    "[Window]\n"
    "Left = 10\n"
    "# a comment = not a key\n"
    "left=20\n"
    "\n"
    "[DIRS]\n"
    "main window save=C:\\photos\\2003\n"
    "empty=\n"
    "\n"
    "[window]\n"
    "top=99\n";

TEST(PrivateProfileTest, LookupIgnoresCaseAndTakesTheFirstMatch) {
  const PrivateProfile profile(kText);
  EXPECT_EQ(profile.Get("WINDOW", "LEFT"), "10");
  EXPECT_EQ(profile.Get("dirs", "Main Window Save"), "C:\\photos\\2003");
  EXPECT_EQ(profile.Get("DIRS", "empty"), "");
  EXPECT_FALSE(profile.Get("WINDOW", "top").has_value());  // only in the second [window]
  EXPECT_FALSE(profile.Get("WINDOW", "stray").has_value());
  EXPECT_FALSE(profile.Get("WINDOW", "# a comment").has_value());
  EXPECT_FALSE(profile.Get("NONE", "left").has_value());
}

TEST(PrivateProfileTest, SetChangesOneLineAndKeepsTheRest) {
  PrivateProfile profile(kText);
  ASSERT_TRUE(profile.Set("window", "LEFT", "-5"));
  ASSERT_TRUE(profile.Set("DIRS", "directory box", "D:\\"));
  ASSERT_TRUE(profile.Set("OPTIONS", "jobs", "2"));
  EXPECT_EQ(profile.Text(),
            "; written by hand\n"
            "stray=before any section\n"
            "[Window]\n"
            "Left=-5\n"
            "# a comment = not a key\n"
            "left=20\n"
            "\n"
            "[DIRS]\n"
            "main window save=C:\\photos\\2003\n"
            "empty=\n"
            "directory box=D:\\\n"
            "\n"
            "[window]\n"
            "top=99\n"
            "\n"
            "[OPTIONS]\n"
            "jobs=2\n");
}

TEST(PrivateProfileTest, WindowsLineEndsAreKept) {
  PrivateProfile profile("[WINDOW]\r\nicon=0\r\n");
  ASSERT_TRUE(profile.Set("WINDOW", "icon", "1"));
  ASSERT_TRUE(profile.Set("WINDOW", "state lock", "0"));
  EXPECT_EQ(profile.Text(), "[WINDOW]\r\nicon=1\r\nstate lock=0\r\n");
  EXPECT_EQ(PrivateProfile("[A]\r\nk=v\r\n").Get("a", "k"), "v");
}

TEST(PrivateProfileTest, EveryOtherLineKeepsItsOwnEnd) {
  // Mixed ends, a stray carriage return inside a value's line end, no end on the last line.
  PrivateProfile profile("; note\r\n[A]\nk=4\r\r\nj=1\r\n[B]\nx=y");
  ASSERT_EQ(profile.Get("A", "k"), "4\r");
  ASSERT_TRUE(profile.Set("A", "j", "2"));
  ASSERT_TRUE(profile.Set("B", "z", "3"));
  ASSERT_TRUE(profile.Set("C", "w", "4"));
  EXPECT_EQ(profile.Text(), "; note\r\n[A]\nk=4\r\r\nj=2\r\n[B]\nx=y\r\nz=3\r\n\r\n[C]\r\nw=4\r\n");
  EXPECT_EQ(profile.Get("A", "k"), "4\r");

  // A last line without its end keeps its own carriage return when a line is added after it.
  PrivateProfile unended("[A]\nk=4\r");
  ASSERT_EQ(unended.Get("A", "k"), "4\r");
  ASSERT_TRUE(unended.Set("B", "x", "1"));
  EXPECT_EQ(unended.Get("A", "k"), "4\r");
  EXPECT_EQ(PrivateProfile(unended.Text()).Get("A", "k"), "4\r");
}

TEST(PrivateProfileTest, PairsTheTextCannotHoldAreRefused) {
  PrivateProfile profile("[A]\nk=v\n");
  EXPECT_FALSE(profile.Set("A", "k", "two\nlines"));
  EXPECT_FALSE(profile.Set("A", "k", "cr\r"));
  EXPECT_FALSE(profile.Set("A", "a=b", "v"));
  EXPECT_FALSE(profile.Set("A]", "k", "v"));
  EXPECT_FALSE(profile.Set("", "k", "v"));
  EXPECT_FALSE(profile.Set("A", " ", "v"));
  EXPECT_EQ(profile.Text(), "[A]\nk=v\n");
}

TEST(PrivateProfileTest, AnEmptyProfileGetsItsFirstSection) {
  PrivateProfile profile;
  ASSERT_TRUE(profile.Set("WINDOW", "icon", "1"));
  EXPECT_EQ(profile.Text(), "[WINDOW]\nicon=1\n");
}

TEST(PrivateProfileTest, FilesAreReadAndRewrittenWhole) {
  testing::TempDir tmp;
  const std::string path = tmp.file("deep/er/quorvel.cfg");
  EXPECT_FALSE(GetPrivateProfileString(path, "WINDOW", "icon").has_value());
  WritePrivateProfileString(path, "WINDOW", "icon", "1");
  WritePrivateProfileString(path, "WINDOW", "left", "12");
  EXPECT_EQ(testing::ReadFile(path), "[WINDOW]\nicon=1\nleft=12\n");
  EXPECT_EQ(GetPrivateProfileString(path, "window", "ICON"), "1");
  tmp.write("deep/er/quorvel.cfg", "; mine\n[WINDOW]\nicon=1\n");
  WritePrivateProfileString(path, "WINDOW", "icon", "0");
  EXPECT_EQ(testing::ReadFile(path), "; mine\n[WINDOW]\nicon=0\n");
}

TEST(PrivateProfileTest, ARefusedWriteNamesTheFileAndChangesNothing) {
  testing::TempDir tmp;
  const std::string plain = tmp.write("plain", "not a directory");
  const std::string below_file = plain + "/quorvel.cfg";
  const std::string unreadable = tmp.mkdir("a directory");
  const std::string cases[] = {below_file, unreadable};
  for (const std::string& path : cases) {
    try {
      WritePrivateProfileString(path, "WINDOW", "icon", "1");
      ADD_FAILURE() << path;
    } catch (const Error& e) {
      EXPECT_EQ(e.what(), "Unable to write to " + path);
    }
  }
  EXPECT_EQ(testing::ReadFile(plain), "not a directory");
  const std::string good = tmp.write("good.cfg", "[A]\nk=v\n");
  EXPECT_THROW(WritePrivateProfileString(good, "A", "k", "two\nlines"), Error);
  EXPECT_EQ(testing::ReadFile(good), "[A]\nk=v\n");
}

}  // namespace
}  // namespace quorvel::persist
