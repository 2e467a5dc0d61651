// Reports of skin files that cannot be used: escaped, once per file and reason.
#include "lounge/skin/skin_report.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(SkinReport, ControlCharactersInNamesAreEscaped) {
  const struct {
    std::string text;
    std::string expected;
  } cases[] = {
      {"Layout/XML/Root/layout.xml", "Layout/XML/Root/layout.xml"},
      {"Music\\Tracks", "Music\\Tracks"},  // page paths keep their backslashes
      {"evil\nlounge: forged line", "evil\\x0alounge: forged line"},
      {"a\rb\tc\x1b[31m", "a\\x0db\\x09c\\x1b[31m"},
      {std::string("nul\0x", 5), "nul\\x00x"},
      {"del\x7f", "del\\x7f"},
      {"Übersicht.bmp", "Übersicht.bmp"},  // UTF-8 is no control character
  };
  for (const auto& c : cases) EXPECT_EQ(EscapeForMessage(c.text), c.expected) << c.expected;
}

TEST(SkinReport, EachFileAndReasonIsSaidOnceOnOneLine) {
  ResetSkinReports();
  ::testing::internal::CaptureStderr();
  EXPECT_TRUE(ReportSkinProblem("image", "/skin/a\nb.bmp", "No such file or directory"));
  EXPECT_FALSE(ReportSkinProblem("image", "/skin/a\nb.bmp", "No such file or directory"));
  EXPECT_TRUE(ReportSkinProblem("image", "/skin/a\nb.bmp", "cannot be read as a picture"));
  EXPECT_TRUE(ReportSkinProblem("image", "/skin/c.bmp", "No such file or directory"));
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(said,
            "lounge: skin: image \"/skin/a\\x0ab.bmp\": No such file or directory\n"
            "lounge: skin: image \"/skin/a\\x0ab.bmp\": cannot be read as a picture\n"
            "lounge: skin: image \"/skin/c.bmp\": No such file or directory\n");
  ResetSkinReports();
}

TEST(SkinReport, LoadMessagesLoseTheirPath) {
  EXPECT_EQ(SkinLoadReason("Cannot read \"/s/string.xml\": Permission denied", "/s/string.xml"), "Permission denied");
  EXPECT_EQ(SkinLoadReason("\"/s/string.xml\": XML parse error at offset 3", "/s/string.xml"),
            "not well-formed XML: XML parse error at offset 3");
  EXPECT_EQ(SkinLoadReason("something else", "/s/string.xml"), "something else");
}

}  // namespace
