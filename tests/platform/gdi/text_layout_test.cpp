#include "platform/gdi/text_layout.h"

#include <gtest/gtest.h>

namespace plat::gdi {
namespace {

// Every byte is 10 pixels wide, so expected layouts can be worked out by hand.
const MeasureFn kTen = [](std::string_view s) { return static_cast<int>(s.size()) * 10; };

std::vector<std::string> Texts(const std::vector<TextLine>& lines) {
  std::vector<std::string> out;
  for (const TextLine& l : lines) out.push_back(l.text);
  return out;
}

TEST(TextLayout, PrefixCharacters) {
  struct Case {
    const char* in;
    const char* out;
    std::vector<std::size_t> underlined;
  };
  const Case cases[] = {
      {"&File", "File", {0}}, {"Save &As", "Save As", {5}}, {"A&&B", "A&B", {}},
      {"A&", "A", {}},        {"&&&x", "&x", {1}},         {"plain", "plain", {}},
  };
  for (const Case& c : cases) {
    std::vector<std::size_t> u;
    EXPECT_EQ(StripPrefixes(c.in, &u), c.out) << c.in;
    EXPECT_EQ(u, c.underlined) << c.in;
  }
}

TEST(TextLayout, LinesAndWordBreaks) {
  struct Case {
    const char* text;
    UINT flags;
    int width;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"one two three", DT_WORDBREAK, 70, {"one two", "three"}},
      {"one two three", DT_WORDBREAK, 69, {"one", "two", "three"}},
      {"one  two", DT_WORDBREAK, 30, {"one", "two"}},  // spaces at a break vanish
      {"unbreakable word", DT_WORDBREAK, 30, {"unbreakable", "word"}},  // a long word overflows
      {"a\nb\r\nc", 0, 100, {"a", "b", "c"}},
      {"a\nb", DT_SINGLELINE, 100, {"a b"}},
      {"one two three", DT_WORDBREAK | DT_SINGLELINE, 30, {"one two three"}},
      {"", DT_WORDBREAK, 30, {""}},
      {"x\n\ny", DT_WORDBREAK, 30, {"x", "", "y"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Texts(LayoutText(c.text, c.flags, c.width, kTen)), c.lines) << c.text;
}

TEST(TextLayout, Ellipses) {
  struct Case {
    const char* text;
    UINT flags;
    int width;
    const char* shown;
  };
  const Case cases[] = {
      {"abcdefgh", DT_END_ELLIPSIS, 80, "abcdefgh"},
      {"abcdefgh", DT_END_ELLIPSIS, 79, "abcd..."},
      {"abcdefgh", DT_END_ELLIPSIS, 30, "..."},
      {"abcdefgh", DT_END_ELLIPSIS, 20, ".."},
      {"C:\\music\\album\\track.mp3", DT_PATH_ELLIPSIS, 170, "C:\\m...\\track.mp3"},
      {"C:\\music\\album\\track.mp3", DT_PATH_ELLIPSIS, 199, "C:\\mus...\\track.mp3"},
      {"/home/user/track.mp3", DT_PATH_ELLIPSIS, 140, "/.../track.mp3"},
      {"C:\\music\\album\\track.mp3", DT_PATH_ELLIPSIS, 60, "...\\track.mp3"},  // overflows
      {"C:\\music\\album\\track.mp3", DT_PATH_ELLIPSIS | DT_END_ELLIPSIS, 60, "C:\\..."},
      {"no separators here", DT_PATH_ELLIPSIS, 100, "no sepa..."},
  };
  for (const Case& c : cases) {
    auto lines = LayoutText(c.text, c.flags | DT_SINGLELINE, c.width, kTen);
    ASSERT_EQ(lines.size(), 1u);
    std::string want = c.shown;
    if (std::string_view(c.text).find('/') != std::string_view::npos)
      for (char& ch : want) if (ch == '\\') ch = '/';
    EXPECT_EQ(lines[0].text, want) << c.text << " in " << c.width;
    EXPECT_EQ(lines[0].width, static_cast<int>(want.size()) * 10);
  }
}

TEST(TextLayout, UnderlineSurvivesOnlyOnTheKeptStart) {
  auto kept = LayoutText("&Open file now", DT_SINGLELINE | DT_END_ELLIPSIS, 80, kTen);
  EXPECT_EQ(kept[0].text, "Open ...");
  EXPECT_EQ(kept[0].underlined, std::vector<std::size_t>{0});
  auto cut = LayoutText("Open file &now", DT_SINGLELINE | DT_END_ELLIPSIS, 80, kTen);
  EXPECT_TRUE(cut[0].underlined.empty());
  auto wrapped = LayoutText("one &two", DT_WORDBREAK, 30, kTen);
  ASSERT_EQ(wrapped.size(), 2u);
  EXPECT_EQ(wrapped[1].underlined, std::vector<std::size_t>{0});
}

TEST(TextLayout, EllipsisNeverSplitsACharacter) {
  // Three two-byte characters: a cut must fall between them.
  const MeasureFn bytes = [](std::string_view s) { return static_cast<int>(s.size()) * 10; };
  auto lines = LayoutText("\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", DT_SINGLELINE | DT_END_ELLIPSIS, 65, bytes);
  EXPECT_EQ(lines[0].text, "\xC3\xA9...");
}

}  // namespace
}  // namespace plat::gdi
