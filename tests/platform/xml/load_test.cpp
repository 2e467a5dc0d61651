#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "platform/xml/document.h"

namespace plat::xml {
namespace {

// Serialises UTF-16 text with a byte-order mark in the given byte order.
std::string utf16WithBom(std::u16string_view text, bool bigEndian) {
  std::string bytes;
  const auto put = [&](char16_t unit) {
    const char hi = static_cast<char>(unit >> 8), lo = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? hi : lo;
    bytes += bigEndian ? lo : hi;
  };
  put(u'\uFEFF');
  for (char16_t unit : text) put(unit);
  return bytes;
}

// Non-ASCII in a tag name, an attribute and text, including a character
// outside the Basic Multilingual Plane.
constexpr std::u16string_view kSample16 = u"<?xml version=\"1.0\"?>\n<Wurzel name=\"Grüße €𝄞\">日本語</Wurzel>";
constexpr std::string_view kSample8 = "<?xml version=\"1.0\"?>\n<Wurzel name=\"Grüße €𝄞\">日本語</Wurzel>";

TEST(XmlLoad, ReadsEveryEncodingIntoTheSameUtf8Tree) {
  const struct {
    const char* label;
    std::string bytes;
  } cases[] = {
      {"UTF-8", std::string(kSample8)},
      {"UTF-8 with BOM", "\xEF\xBB\xBF" + std::string(kSample8)},
      {"UTF-16 LE", utf16WithBom(kSample16, false)},
      {"UTF-16 BE", utf16WithBom(kSample16, true)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    Document doc;
    const Status status = doc.loadString(c.bytes);
    ASSERT_TRUE(status) << status.message;
    const Element root = doc.documentElement();
    EXPECT_EQ(root.name(), "Wurzel");
    EXPECT_EQ(root.attribute("name"), "Grüße €𝄞");
    EXPECT_EQ(root.text(), "日本語");
  }
}

TEST(XmlLoad, ToleratesDeclarationDoctypeCommentsProcessingInstructionsAndWhitespace) {
  Document doc;
  const Status status = doc.loadString(
      "\r\n<?xml version='1.0' encoding='UTF-8' standalone='yes'?>\r\n"
      "<!DOCTYPE settings [ <!ELEMENT settings ANY> ]>\n"
      "<!-- before -->\n<?app hint?>\n"
      "<settings>\r\n  <!-- inside -->\n  <key value='1'/>\n</settings>\n"
      "<!-- after -->\n  \t\n");
  ASSERT_TRUE(status) << status.message;
  EXPECT_EQ(doc.documentElement().name(), "settings");
  EXPECT_EQ(doc.documentElement().child("key").attribute("value"), "1");
}

TEST(XmlLoad, MalformedInputFailsWithAMessageAndLeavesTheDocumentEmpty) {
  const struct {
    const char* label;
    std::string_view text;
    const char* expected;  // part of the message
  } cases[] = {
      {"unclosed tag", "<a><b></b>", "offset"},
      {"unclosed start tag", "<a x='1'", "offset"},
      {"mismatched tags", "<a><b></a></b>", "offset 8"},
      {"two roots", "<a/><b/>", "second document element \"b\""},
      {"empty input", "", "no document element"},
      {"only whitespace", " \r\n\t ", "no document element"},
      {"only whitespace and a comment", " \n<!-- c -->\n", "no document element"},
      {"bad entity in text", "<a>x &foo; y</a>", "\"&foo;\""},
      {"bad entity in attribute", "<a k='&nbsp;'/>", "attribute \"k\" of element \"a\""},
      {"bare ampersand", "<a>AT&T</a>", "offset 5"},
      {"NUL character reference", "<a k='&#0;'/>", "\"&#0;\""},
      {"surrogate character reference", "<a>&#xD800;</a>", "\"&#xD800;\""},
      {"out-of-range character reference", "<a>&#1114112;</a>", "reference"},
      {"bare text", "hello", "text outside the document element"},
      {"text after the root", "<a/>tail", "offset 4"},
      {"garbage", "<<>>", "offset"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    Document doc;
    ASSERT_TRUE(doc.loadString("<previous/>"));
    const Status status = doc.loadString(c.text);
    EXPECT_FALSE(status);
    EXPECT_NE(status.message.find(c.expected), std::string::npos) << status.message;
    EXPECT_FALSE(doc.documentElement());
    EXPECT_EQ(doc.saveString(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
  }
}

TEST(XmlLoad, DecodesWellFormedReferences) {
  Document doc;
  ASSERT_TRUE(doc.loadString("<a k='&lt;&amp;&gt;&quot;&apos;&#65;&#x42;&#x1D11E;'>&#9;&amp;&#10;</a>"));
  EXPECT_EQ(doc.documentElement().attribute("k"), "<&>\"'AB𝄞");
  EXPECT_EQ(doc.documentElement().text(), "\t&\n");
}

class XmlLoadFile : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("plat_xml_load_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::string write(const std::string& name, const std::string& bytes) {
    const std::string path = folder_ / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  std::filesystem::path folder_;
};

TEST_F(XmlLoadFile, LoadsAUtf16File) {
  Document doc;
  const Status status = doc.loadFile(write("Config.xml", utf16WithBom(kSample16, false)));
  ASSERT_TRUE(status) << status.message;
  EXPECT_EQ(doc.documentElement().attribute("name"), "Grüße €𝄞");
}

TEST_F(XmlLoadFile, MissingUnreadableOrMalformedFilesFailWithTheirPath) {
  const std::string missing = (folder_ / "missing.xml").string();
  const std::string folder = folder_.string();
  const std::string broken = write("broken.xml", "<a><b></a>");
  for (const std::string& path : {missing, folder, broken}) {
    SCOPED_TRACE(path);
    Document doc;
    ASSERT_TRUE(doc.loadString("<previous/>"));
    const Status status = doc.loadFile(path);
    EXPECT_FALSE(status);
    EXPECT_NE(status.message.find(path), std::string::npos) << status.message;
    EXPECT_FALSE(doc.documentElement());
  }
}

}  // namespace
}  // namespace plat::xml
