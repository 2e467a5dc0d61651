// Format strings from outside the program: the understood conversions are
// filled, everything else refuses the whole format.
#include "lounge/shell/checked_format.h"

#include <gtest/gtest.h>

namespace {

TEST(CheckedFormat, FillsTheUnderstoodConversions) {
  EXPECT_EQ(CheckedFormat("http://h/q?p=%s&v=%s", {"MRV", "1.0.5"}), "http://h/q?p=MRV&v=1.0.5");
  EXPECT_EQ(CheckedFormat("%s-%d-%i-%u", {"a", -3, 7, 42u}), "a--3-7-42");
  EXPECT_EQ(CheckedFormat("100%% %s", {"sure"}), "100% sure");
  EXPECT_EQ(CheckedFormat("[%05d] [%3d] [%-4s] [%4s] [%05d]", {42, -5, "ab", "ab", -42}),
            "[00042] [ -5] [ab  ] [  ab] [-0042]");
  EXPECT_EQ(CheckedFormat("%u", {-1}), "4294967295");
  EXPECT_EQ(CheckedFormat("no conversions", {"unused", 1}), "no conversions");
  EXPECT_EQ(CheckedFormat("only %s", {"first", "second"}), "only first");  // later arguments may go unused
  EXPECT_EQ(CheckedFormat("", {}), "");
  EXPECT_EQ(CheckedFormat("%s", {std::string("with\0zero", 9)}), std::string("with\0zero", 9));
}

TEST(CheckedFormat, RefusesAnythingElse) {
  const char* refused[] = {
      "%n",         // writes memory
      "%s%n",       // even after a good one
      "%p", "%x", "%f", "%c", "%ls", "%hs", "%lld", "%zu",
      "%*s",        // width from an argument
      "%.3s",       // precision
      "%100d",      // too wide
      "%+d", "% d", "%#x",
      "%s %s %s",   // more conversions than arguments
      "%d",         // a number conversion meeting text
      "trailing %",
  };
  for (const char* format : refused) {
    SCOPED_TRACE(format);
    EXPECT_EQ(CheckedFormat(format, {"text", "more"}), std::nullopt);
  }
  EXPECT_EQ(CheckedFormat("%s", {5}), std::nullopt);  // text conversion meeting a number
  EXPECT_EQ(CheckedFormat("%s", {}), std::nullopt);
}

}  // namespace
