// The settings document: typed getters and setters, the file format, read
// tolerance and the safety of loading and saving.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "corebridge/core/xml_settings.h"
#include "settings_test_support.h"

namespace {

using settings_test::ExpectMatchesGolden;
using settings_test::ReadFile;
using settings_test::TempEnvironment;
using settings_test::WriteFile;

class XmlSettingsTest : public ::testing::Test {
 protected:
  // Loads `text` from a file into `xml`.
  int LoadText(CXmlSettings& xml, const std::string& text) {
    const std::string path = env_.path("in.xml");
    WriteFile(path, text);
    return xml.XmlSettingsLoadFile(path);
  }

  TempEnvironment env_;
};

// Every kind of value, including text that needs escaping.
void WriteEverything(CXmlSettings& xml) {
  xml.XmlSettingsOpen();
  xml.XmlSetInt("INT_NEGATIVE", -2147483647 - 1, "NUMBERS");
  xml.XmlSetInt("INT_POSITIVE", 42, "NUMBERS");
  xml.XmlSetUInt("UINT_HUGE", 4294967295u, "NUMBERS");
  xml.XmlSetDouble("DOUBLE", -1.25, "NUMBERS");
  xml.XmlSetString("ASCII", "plain", "TEXT");
  xml.XmlSetString("NON_ASCII", "Grüße — 日本語", "TEXT");
  xml.XmlSetString("MARKUP", "a & b < c > d \"quoted\" 'single'", "TEXT");
  xml.XmlSetString("LINES", "line one\nline two\r\n\tindented", "TEXT");
  xml.XmlSetString("EMPTY", "", "TEXT");
  xml.XmlSetWString("WIDE", "Ωmega", "TEXT");
  xml.XmlSetString("CONTROL", std::string("nul\0bell\x07", 9), "TEXT");
  xml.XmlSetString("INVALID_UTF8", "caf\xe9", "TEXT");
  xml.XmlSetStringArray("NAMES", {"first", "second & <third>", ""}, "ARRAYS");
  xml.XmlSetStringArray("NO_NAMES", {}, "ARRAYS");
  xml.XmlSetUIntArray("UINTS", {0u, 1u, 2147483647u, 2147483648u, 4294967295u}, "ARRAYS");
  xml.XmlSetBooleanArray("FLAGS", {1, 0, 1}, "ARRAYS");
  xml.XmlSetInt("TOP_LEVEL", 7, "");
}

TEST_F(XmlSettingsTest, EverythingSetMatchesGoldenAndReadsBack) {
  CXmlSettings writer;
  WriteEverything(writer);
  const std::string path = env_.path("everything.xml");
  ASSERT_EQ(writer.XmlSettingsSave(path), 1) << writer.LastError();
  ExpectMatchesGolden(path, "settings_everything.xml");

  CXmlSettings xml;
  ASSERT_EQ(xml.XmlSettingsLoadFile(path), 1) << xml.LastError();
  int i = 0;
  EXPECT_EQ(xml.XmlGetInt("INT_NEGATIVE", i, "NUMBERS"), 1);
  EXPECT_EQ(i, std::numeric_limits<int>::min());
  std::uint32_t u = 0;
  EXPECT_EQ(xml.XmlGetUInt("UINT_HUGE", u, "NUMBERS"), 1);
  EXPECT_EQ(u, 4294967295u);
  double d = 0;
  EXPECT_EQ(xml.XmlGetDouble("DOUBLE", d, "NUMBERS"), 1);
  EXPECT_DOUBLE_EQ(d, -1.25);
  struct Text {
    const char* key;
    std::string value;
  } texts[] = {
      {"NON_ASCII", "Grüße — 日本語"},
      {"MARKUP", "a & b < c > d \"quoted\" 'single'"},
      {"LINES", "line one\nline two\r\n\tindented"},
      {"EMPTY", ""},
      {"WIDE", "Ωmega"},
      {"CONTROL", std::string("nul\0bell\x07", 9)},
      {"INVALID_UTF8", "caf\xe9"},
  };
  for (const Text& t : texts) {
    std::string s = "unchanged";
    EXPECT_EQ(xml.XmlGetString(t.key, s, "TEXT"), 1) << t.key;
    EXPECT_EQ(s, t.value) << t.key;
  }
  std::vector<std::string> names{"stale"};
  EXPECT_EQ(xml.XmlGetStringArray("NAMES", names, "ARRAYS"), 1);
  EXPECT_EQ(names, (std::vector<std::string>{"first", "second & <third>", ""}));
  EXPECT_EQ(xml.XmlGetStringArray("NO_NAMES", names, "ARRAYS"), 1);
  EXPECT_TRUE(names.empty());
  std::vector<std::uint32_t> uints;
  EXPECT_EQ(xml.XmlGetUIntArray("UINTS", uints, "ARRAYS"), 1);
  EXPECT_EQ(uints, (std::vector<std::uint32_t>{0u, 1u, 2147483647u, 2147483648u, 4294967295u}));
  std::vector<int> flags;
  EXPECT_EQ(xml.XmlGetBooleanArray("FLAGS", flags, "ARRAYS"), 1);
  EXPECT_EQ(flags, (std::vector<int>{1, 0, 1}));
  EXPECT_EQ(xml.XmlGetInt("TOP_LEVEL", i, ""), 1);
  EXPECT_EQ(i, 7);
}

TEST_F(XmlSettingsTest, RandomTextsSurviveSaveAndLoad) {
  std::mt19937 random(11);
  std::vector<std::string> values;
  CXmlSettings writer;
  writer.XmlSettingsOpen();
  for (int i = 0; i < 300; ++i) {
    std::string raw(random() % 16, '\0');
    for (char& c : raw) c = static_cast<char>(random() % 256);
    values.push_back(raw);
    writer.XmlSetString("K" + std::to_string(i), raw, "S");
  }
  writer.XmlSetStringArray("ALL", values, "S");
  const std::string path = env_.path("random.xml");
  ASSERT_EQ(writer.XmlSettingsSave(path), 1) << writer.LastError();
  CXmlSettings xml;
  ASSERT_EQ(xml.XmlSettingsLoadFile(path), 1) << xml.LastError();
  for (int i = 0; i < 300; ++i) {
    std::string s;
    ASSERT_EQ(xml.XmlGetString("K" + std::to_string(i), s, "S"), 1);
    EXPECT_EQ(s, values[static_cast<std::size_t>(i)]) << i;
  }
  std::vector<std::string> all;
  ASSERT_EQ(xml.XmlGetStringArray("ALL", all, "S"), 1);
  EXPECT_EQ(all, values);
}

TEST_F(XmlSettingsTest, WriterStartsFreshAndIgnoresConfigXmlInTheWorkingFolder) {
  // An old "Config.xml" in the current folder must not leak into what is saved.
  const auto oldCwd = std::filesystem::current_path();
  std::filesystem::current_path(env_.dir());
  WriteFile("Config.xml", "<MRVConfig><CONFIGURATION><OSDDURATIONCONFIG value=\"9\"/></CONFIGURATION></MRVConfig>");
  CXmlSettings writer;
  writer.XmlSettingsOpen();
  writer.XmlSetInt("OSDDURATIONCONFIG", 3, "CONFIGURATION");
  const int saved = writer.XmlSettingsSave(env_.path("out.xml"));
  std::filesystem::current_path(oldCwd);
  ASSERT_EQ(saved, 1);
  EXPECT_EQ(ReadFile(env_.path("out.xml")),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<MRVConfig>\n"
            "  <CONFIGURATION value=\"\">\n"
            "    <OSDDURATIONCONFIG value=\"3\"/>\n"
            "  </CONFIGURATION>\n"
            "</MRVConfig>\n");
}

TEST_F(XmlSettingsTest, KeySetTwiceAppearsTwiceAndTheFirstIsRead) {
  CXmlSettings writer;
  writer.XmlSettingsOpen();
  writer.XmlSetInt("KEY", 1, "SECTION");
  writer.XmlSetInt("KEY", 2, "SECTION");
  ASSERT_EQ(writer.XmlSettingsSave(env_.path("twice.xml")), 1);
  const std::string text = ReadFile(env_.path("twice.xml"));
  EXPECT_NE(text.find("<KEY value=\"1\"/>\n    <KEY value=\"2\"/>"), std::string::npos) << text;
  CXmlSettings xml;
  ASSERT_EQ(xml.XmlSettingsLoadFile(env_.path("twice.xml")), 1);
  int v = 0;
  EXPECT_EQ(xml.XmlGetInt("KEY", v, "SECTION"), 1);
  EXPECT_EQ(v, 1);
}

TEST_F(XmlSettingsTest, ReadToleranceFixtures) {
  // Duplicates, a key repeated deeper, a section name reused as a key,
  // comments, blank text, a byte-order mark, values out of range, elements
  // without value.
  CXmlSettings xml;
  ASSERT_EQ(LoadText(xml,
                     "\xEF\xBB\xBF<?xml version=\"1.0\"?>\n"
                     "<!-- written by hand -->\n"
                     "<Anything value=\"root value\">\n"
                     "  <A>\n"
                     "    <GROUP><KEY value=\"deep\"/></GROUP>\n"
                     "    <KEY value=\"shallow\"/>\n"
                     "    <NUM value=\"5\"/><NUM value=\"6\"/>\n"
                     "    <!-- a comment between keys -->\n"
                     "    <NOVALUE/>\n"
                     "    <B value=\"a key named like a section\"/>\n"
                     "    <BIG value=\"123456789012\"/>\n"
                     "    <NEG value=\"-1\"/>\n"
                     "    <ARR><ARR_UIntArray value=\"3\"/><ARR_UIntArray/><odd value=\"-2\"/></ARR>\n"
                     "  </A>\n"
                     "  <B><ONLY_IN_B value=\"b\"/></B>\n"
                     "</Anything>\n"),
            1)
      << xml.LastError();
  std::string s;
  EXPECT_EQ(xml.XmlGetString("KEY", s, "A"), 1);
  EXPECT_EQ(s, "deep");  // first in pre-order
  int n = 0;
  EXPECT_EQ(xml.XmlGetInt("NUM", n, "A"), 1);
  EXPECT_EQ(n, 5);
  // A valueless element read as a number is missing; as text it is empty.
  n = 77;
  EXPECT_EQ(xml.XmlGetInt("NOVALUE", n, "A"), 0);
  EXPECT_EQ(n, 77);
  double d = 1.5;
  EXPECT_EQ(xml.XmlGetDouble("NOVALUE", d, "A"), 0);
  EXPECT_EQ(d, 1.5);
  s = "x";
  EXPECT_EQ(xml.XmlGetString("NOVALUE", s, "A"), 1);
  EXPECT_EQ(s, "");
  // Section "B" is the first node named B in pre-order: the key inside A.
  EXPECT_EQ(xml.XmlGetString("ONLY_IN_B", s, "B"), 0);
  EXPECT_EQ(xml.XmlGetString("B", s, "B"), 1);
  EXPECT_EQ(s, "a key named like a section");
  EXPECT_EQ(xml.XmlGetInt("BIG", n, "A"), 1);
  EXPECT_EQ(n, std::numeric_limits<int>::max());
  std::uint32_t u = 0;
  EXPECT_EQ(xml.XmlGetUInt("NEG", u, "A"), 1);
  EXPECT_EQ(u, 4294967295u);
  // Array entries are read whatever their names; a valueless entry reads 0.
  std::vector<std::uint32_t> arr;
  EXPECT_EQ(xml.XmlGetUIntArray("ARR", arr, "A"), 1);
  EXPECT_EQ(arr, (std::vector<std::uint32_t>{3u, 0u, 4294967294u}));
  // Missing sections and keys leave the caller's value.
  n = 9;
  EXPECT_EQ(xml.XmlGetInt("NUM", n, "NO_SUCH_SECTION"), 0);
  EXPECT_EQ(xml.XmlGetInt("NO_SUCH_KEY", n, "A"), 0);
  EXPECT_EQ(n, 9);
  // An empty section searches from the root, the root included.
  EXPECT_EQ(xml.XmlGetString("Anything", s, ""), 1);
  EXPECT_EQ(s, "root value");
  EXPECT_EQ(xml.Root()->m_value, std::optional<std::string>("root value"));
}

TEST_F(XmlSettingsTest, ReadsUtf16WithByteOrderMark) {
  const std::string text = "<MRVConfig><S><K value=\"Grüße\"/></S></MRVConfig>";
  // Convert the (BMP-only) UTF-8 text to UTF-16LE by hand.
  std::u16string wide;
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      wide.push_back(c);
      i += 1;
    } else {
      wide.push_back(static_cast<char16_t>(((c & 0x1F) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3F)));
      i += 2;
    }
  }
  std::string bytes = "\xFF\xFE";
  for (char16_t ch : wide) {
    bytes.push_back(static_cast<char>(ch & 0xFF));
    bytes.push_back(static_cast<char>(ch >> 8));
  }
  CXmlSettings xml;
  ASSERT_EQ(LoadText(xml, bytes), 1) << xml.LastError();
  std::string s;
  EXPECT_EQ(xml.XmlGetWString("K", s, "S"), 1);
  EXPECT_EQ(s, "Grüße");
}

TEST_F(XmlSettingsTest, SectionSearchIncludesTheSectionNodeItself) {
  CXmlSettings xml;
  ASSERT_EQ(LoadText(xml, "<MRVConfig><SEC value=\"12\"><X value=\"1\"/></SEC></MRVConfig>"), 1);
  int v = 0;
  EXPECT_EQ(xml.XmlGetInt("SEC", v, "SEC"), 1);
  EXPECT_EQ(v, 12);
}

TEST_F(XmlSettingsTest, FindSectionCreatesUnderTheRootOnlyWhenAsked) {
  CXmlSettings xml;
  EXPECT_EQ(xml.XmlFindSection("S", true), nullptr);  // no tree yet
  xml.XmlSettingsOpen();
  EXPECT_EQ(xml.XmlFindSection("S", false), nullptr);
  CXmlNode* created = xml.XmlFindSection("S", true);
  ASSERT_NE(created, nullptr);
  EXPECT_EQ(created->m_pParent, xml.Root());
  EXPECT_EQ(xml.XmlFindSection("S", false), created);
  EXPECT_EQ(xml.XmlFindSection("MRVConfig", false), xml.Root());
}

TEST_F(XmlSettingsTest, ParseErrorIsALoadFailureAndTheFileIsKeptAside) {
  const std::string path = env_.path("Config.xml");
  const std::string broken = "<MRVConfig><CONFIGURATION><OSD value=\"3\"></MRVConfig>";
  WriteFile(path, broken);
  CXmlSettings xml;
  xml.XmlSettingsOpen();
  EXPECT_EQ(xml.XmlSettingsLoadFile(path), 0);
  EXPECT_FALSE(xml.LastError().empty());
  EXPECT_FALSE(settings_test::Exists(path));
  EXPECT_EQ(ReadFile(path + ".bad"), broken);
  // The tree from before stays usable.
  EXPECT_NE(xml.Root(), nullptr);

  // Each later unreadable file gets the next number; none replaces another.
  const std::vector<std::string> texts{std::string(), std::string("   \n"), std::string("not xml at all")};
  for (const std::string& text : texts) {
    WriteFile(path, text);
    EXPECT_EQ(xml.XmlSettingsLoadFile(path), 0);
  }
  EXPECT_EQ(ReadFile(path + ".bad"), broken);
  for (std::size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(ReadFile(path + ".bad." + std::to_string(i + 1)), texts[i]);
  EXPECT_FALSE(settings_test::Exists(path));
}

TEST_F(XmlSettingsTest, FileLargerThanTheCapIsKeptAsideUnread) {
  const std::string path = env_.path("Schedule.sys");
  // Well-formed, just too large: padding inside a comment.
  std::string big = "<MRVConfig><S><K value=\"1\"/></S><!--";
  big.append(CXmlSettings::kMaxFileBytes, ' ');
  big += "--></MRVConfig>";
  WriteFile(path, big);
  CXmlSettings xml;
  EXPECT_EQ(xml.XmlSettingsLoadFile(path), 0);
  EXPECT_EQ(xml.Root(), nullptr);
  EXPECT_NE(xml.LastError().find("larger than 4 MiB"), std::string::npos) << xml.LastError();
  EXPECT_FALSE(settings_test::Exists(path));
  EXPECT_EQ(std::filesystem::file_size(path + ".bad"), big.size());

  // Exactly at the cap still loads.
  std::string fits = "<MRVConfig><S><K value=\"1\"/></S><!--";
  fits.append(CXmlSettings::kMaxFileBytes - fits.size() - std::string("--></MRVConfig>").size(), ' ');
  fits += "--></MRVConfig>";
  ASSERT_EQ(fits.size(), CXmlSettings::kMaxFileBytes);
  WriteFile(path, fits);
  EXPECT_EQ(xml.XmlSettingsLoadFile(path), 1) << xml.LastError();
}

TEST_F(XmlSettingsTest, TemporaryFilesOfKilledSavesGoAtTheNextLoad) {
  const std::string path = env_.path("Config.xml");
  WriteFile(path, "<MRVConfig/>");
  // A process that has ended stands for the writer a kill stopped mid-save.
  const pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ASSERT_GT(gone, 0);
  int status = 0;
  ASSERT_EQ(::waitpid(gone, &status, 0), gone);
  const std::string g = std::to_string(gone);
  const std::string me = std::to_string(::getpid());
  const std::string stale = env_.path(".Config.xml." + g + "-0-12345.tmp");
  const std::string mine = env_.path(".Config.xml." + me + "-3-99.tmp");          // a save in progress here
  const std::string other = env_.path(".Schedule.sys." + g + "-0-1.tmp");         // another file's
  const std::string unlike = env_.path(".Config.xml." + g + ".tmp");              // not our naming
  const std::string folder = env_.path(".Config.xml." + g + "-1-2.tmp");          // not a file
  for (const std::string& f : {stale, mine, other, unlike}) WriteFile(f, "partial");
  std::filesystem::create_directory(folder);

  CXmlSettings xml;
  EXPECT_EQ(xml.XmlSettingsLoadFile(path), 1);
  EXPECT_FALSE(settings_test::Exists(stale));
  for (const std::string& f : {mine, other, unlike, folder}) EXPECT_TRUE(settings_test::Exists(f)) << f;
}

TEST_F(XmlSettingsTest, TextThatIsNoNumberIsNotRead) {
  CXmlSettings xml;
  ASSERT_EQ(LoadText(xml,
                     "<MRVConfig><S>"
                     "<WORD value=\"abc\"/><EMPTY value=\"\"/><SIGN value=\"-\"/>"
                     "<NAN value=\"nan\"/><INF value=\"-inf\"/><HUGE value=\"1e999\"/>"
                     "<LEADING value=\" 12abc\"/><HALF value=\"0.5\"/>"
                     "</S></MRVConfig>"),
            1);
  for (const char* key : {"WORD", "EMPTY", "SIGN"}) {
    SCOPED_TRACE(key);
    int n = 7;
    std::uint32_t u = 7;
    double d = 7.0;
    EXPECT_EQ(xml.XmlReadInt(key, n, "S"), XmlNumber::kNotANumber);
    EXPECT_EQ(xml.XmlGetInt(key, n, "S"), 0);
    EXPECT_EQ(xml.XmlGetUInt(key, u, "S"), 0);
    EXPECT_EQ(xml.XmlGetDouble(key, d, "S"), 0);
    EXPECT_EQ(n, 7);
    EXPECT_EQ(u, 7u);
    EXPECT_EQ(d, 7.0);
  }
  for (const char* key : {"NAN", "INF", "HUGE"}) {
    double d = 7.0;
    EXPECT_EQ(xml.XmlReadDouble(key, d, "S"), XmlNumber::kNotANumber) << key;
    EXPECT_EQ(d, 7.0);
  }
  int n = 0;
  EXPECT_EQ(xml.XmlReadInt("NO_SUCH_KEY", n, "S"), XmlNumber::kMissing);
  // Digits first still read as they always have.
  EXPECT_EQ(xml.XmlReadInt("LEADING", n, "S"), XmlNumber::kRead);
  EXPECT_EQ(n, 12);
  double d = 0;
  EXPECT_EQ(xml.XmlGetDouble("HALF", d, "S"), 1);
  EXPECT_EQ(d, 0.5);
}

TEST_F(XmlSettingsTest, MissingOrUnreadableFilesFailWithoutSideEffects) {
  CXmlSettings xml;
  EXPECT_EQ(xml.XmlSettingsLoadFile(env_.path("absent.xml")), 0);
  EXPECT_FALSE(settings_test::Exists(env_.path("absent.xml.bad")));
  // A folder in the file's place.
  std::filesystem::create_directory(env_.path("folder.xml"));
  EXPECT_EQ(xml.XmlSettingsLoadFile(env_.path("folder.xml")), 0);
  EXPECT_TRUE(std::filesystem::is_directory(env_.path("folder.xml")));
  // A FIFO must not block the load.
  ASSERT_EQ(::mkfifo(env_.path("fifo.xml").c_str(), 0600), 0);
  EXPECT_EQ(xml.XmlSettingsLoadFile(env_.path("fifo.xml")), 0);
  EXPECT_FALSE(settings_test::Exists(env_.path("fifo.xml.bad")));
}

TEST_F(XmlSettingsTest, SaveFailuresAreReported) {
  CXmlSettings xml;
  EXPECT_EQ(xml.XmlSettingsSave(env_.path("nothing.xml")), 0);  // no tree
  xml.XmlSettingsOpen();
  xml.XmlSetInt("K", 1, "S");
  EXPECT_EQ(xml.XmlSettingsSave(env_.path("no/such/folder/x.xml")), 0);
  EXPECT_FALSE(xml.LastError().empty());
  // A failed save leaves the old file in place.
  const std::string path = env_.path("keep.xml");
  WriteFile(path, "old contents");
  xml.XmlSetInt("bad name", 1, "S");
  EXPECT_EQ(xml.XmlSettingsSave(path), 0);
  EXPECT_EQ(ReadFile(path), "old contents");
}

TEST_F(XmlSettingsTest, DeeplyNestedFilesLoadAndGoAwayWithoutExhaustingTheStack) {
  constexpr int kDepth = 50000;
  std::string text = "<MRVConfig>";
  for (int i = 0; i < kDepth; ++i) text += "<N>";
  text += "<LEAF value=\"found\"/>";
  for (int i = 0; i < kDepth; ++i) text += "</N>";
  text += "</MRVConfig>";
  CXmlSettings xml;
  ASSERT_EQ(LoadText(xml, text), 1) << xml.LastError();
  std::string s;
  EXPECT_EQ(xml.XmlGetString("LEAF", s, "N"), 1);
  EXPECT_EQ(s, "found");
  EXPECT_EQ(xml.XmlSettingsSave(env_.path("deep-out.xml")), 1) << xml.LastError();
}

TEST_F(XmlSettingsTest, ArraySetterFillsTheNodeItAppends) {
  CXmlSettings xml;
  xml.XmlSettingsOpen();
  xml.XmlSetUIntArray("L", {1u}, "S");
  xml.XmlSetUIntArray("L", {2u, 3u}, "S");
  const CXmlNode* section = xml.XmlFindSection("S", false);
  ASSERT_NE(section, nullptr);
  ASSERT_EQ(section->m_children.size(), 2u);
  EXPECT_EQ(section->m_children[0]->m_children.size(), 1u);
  EXPECT_EQ(section->m_children[1]->m_children.size(), 2u);
  EXPECT_EQ(section->m_children[1]->m_children[0]->m_strName, "L_UIntArray");
  std::vector<std::uint32_t> values;
  EXPECT_EQ(xml.XmlGetUIntArray("L", values, "S"), 1);
  EXPECT_EQ(values, std::vector<std::uint32_t>{1u});
}

}  // namespace
