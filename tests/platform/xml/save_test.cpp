#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/xml/document.h"

namespace plat::xml {
namespace {

std::string readBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Everything a hand-edited file may hold, written untidily: BOM, CRLF,
// single quotes, stray spacing, start/end pairs around nothing.
constexpr std::string_view kUntidy =
    "\xEF\xBB\xBF<?xml version='1.0' encoding='utf-8'?>\r\n"
    "<!DOCTYPE MRVConfig>\r\n"
    "<!-- settings -->\r\n"
    "<MRVConfig   version = '2' >\r\n"
    "\t<MOVIECONFIG><MOVIE_DRIVEIDX value=\"0\"/>\r\n"
    "  <MOVIE_TITLE value='Tom &amp; &quot;Jerry&quot; &lt;1> &apos;quoted&apos;'></MOVIE_TITLE>\r\n"
    "  <Multi value=\"line1&#10;line2&#x9;tab&#13;\"/>\n"
    "  <Spaces value=\"  padded  \"/><Empty value=''/>\n"
    "  <?marker keep this?></MOVIECONFIG>\n"
    "<Text>Grüße &amp; <b>bold</b> tail &lt;> \"q\"</Text>\n"
    "  <Data><![CDATA[a < b]]></Data>\n"
    "  <Mixed>\n   <!-- only whitespace around -->\n\n   <Inner></Inner>\n  </Mixed>\n"
    "</MRVConfig>\r\n";

TEST(XmlSave, WritesTheCanonicalFormByteForByte) {
  const std::string golden = readBytes(std::filesystem::path(PLAT_XML_GOLDEN_DIR) / "canonical.xml");
  ASSERT_FALSE(golden.empty());

  Document doc;
  ASSERT_TRUE(doc.loadString(kUntidy));
  Element added = doc.documentElement().appendChild("ADDED");
  added.setAttribute("value", "tab\tlf\ncrlf\r\nbell\a");
  added.setAttribute("plain", "x");
  EXPECT_EQ(doc.saveString(), golden);

  // The canonical form is a fixed point.
  Document again;
  ASSERT_TRUE(again.loadString(golden));
  EXPECT_EQ(again.saveString(), golden);
}

TEST(XmlSave, AwkwardAttributeValuesReadBackUnchanged) {
  const std::string values[] = {
      "", " ", "  leading", "trailing  ", "\n", "\r\n", "\r", "\t", " \t\n\r mixed \r\n\t ",
      "&amp; is not an entity here", "<tag attr=\"v\">", "it's", "]]>", "a\x01" "b\x1f" "c",
      "&#10;", "Grüße €𝄞 日本語", "multi\nline\ntext\n",
  };
  for (const std::string& value : values) {
    SCOPED_TRACE(::testing::PrintToString(value));
    Document doc;
    doc.createDocumentElement("r").setAttribute("value", value);
    const std::string saved = doc.saveString();

    Document loaded;
    const Status status = loaded.loadString(saved);
    ASSERT_TRUE(status) << status.message << "\n" << saved;
    EXPECT_EQ(loaded.documentElement().attribute("value"), value);
    EXPECT_EQ(loaded.saveString(), saved);
  }
}

TEST(XmlSave, TextWithLineEndsAndSpacesReadsBackUnchanged) {
  Document doc;
  ASSERT_TRUE(doc.loadString("<r><t>&#13;\n  a &amp; b\t<i/> c&#13; </t><u>]]&gt;</u></r>"));
  const std::string saved = doc.saveString();
  Document loaded;
  ASSERT_TRUE(loaded.loadString(saved)) << saved;
  EXPECT_EQ(loaded.documentElement().child("t").text(), "\r\n  a & b\t c\r ");
  EXPECT_EQ(loaded.documentElement().child("u").text(), "]]>");
  EXPECT_EQ(loaded.saveString(), saved);
}

class XmlSaveFile : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("plat_xml_save_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    ASSERT_TRUE(doc_.loadString("<MRVConfig><MOVIECONFIG><MOVIE_DRIVEIDX value='1'/></MOVIECONFIG></MRVConfig>"));
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

  void writeOld(const std::string& bytes) { std::ofstream(folder_ / "Config.xml", std::ios::binary) << bytes; }

  std::filesystem::path folder_;
  Document doc_;
};

TEST_F(XmlSaveFile, ReplacesTheFileAndLeavesNoTemporaryFile) {
  writeOld("old content");
  const std::string path = folder_ / "Config.xml";
  const Status status = doc_.saveFile(path);
  ASSERT_TRUE(status) << status.message;
  EXPECT_EQ(readBytes(path), doc_.saveString());
  EXPECT_EQ(entries(), std::vector<std::string>{"Config.xml"});

  Document loaded;
  ASSERT_TRUE(loaded.loadFile(path));
  EXPECT_EQ(loaded.saveString(), doc_.saveString());
}

TEST_F(XmlSaveFile, MissingFolderFailsWithAMessage) {
  const std::string path = folder_ / "absent" / "Config.xml";
  const Status status = doc_.saveFile(path);
  EXPECT_FALSE(status);
  EXPECT_NE(status.message.find(path), std::string::npos) << status.message;
  EXPECT_TRUE(entries().empty());
}

TEST_F(XmlSaveFile, FailedRenameRemovesTheTemporaryFile) {
  std::filesystem::create_directories(folder_ / "Config.xml" / "occupied");
  const Status status = doc_.saveFile(folder_ / "Config.xml");
  EXPECT_FALSE(status);
  EXPECT_FALSE(status.message.empty());
  EXPECT_EQ(entries(), std::vector<std::string>{"Config.xml"});
  EXPECT_TRUE(std::filesystem::is_directory(folder_ / "Config.xml" / "occupied"));
}

// A file size limit makes the write itself fail, as a full disk would.
TEST_F(XmlSaveFile, FailedWriteKeepsTheOldFile) {
  writeOld("old content");
  Element section = doc_.documentElement().child("MOVIECONFIG");
  for (int i = 0; i < 200; ++i) section.appendChild("KEY").setAttribute("value", std::to_string(i));

  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limited = saved;
  limited.rlim_cur = 1024;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
  const Status status = doc_.saveFile(folder_ / "Config.xml");
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_FALSE(status);
  EXPECT_NE(status.message.find("Cannot write"), std::string::npos) << status.message;
  EXPECT_EQ(readBytes(folder_ / "Config.xml"), "old content");
  EXPECT_EQ(entries(), std::vector<std::string>{"Config.xml"});
}

TEST_F(XmlSaveFile, EmptyDocumentIsNotSaved) {
  writeOld("old content");
  Document empty;
  EXPECT_FALSE(empty.saveFile(folder_ / "Config.xml"));
  EXPECT_EQ(readBytes(folder_ / "Config.xml"), "old content");
}

}  // namespace
}  // namespace plat::xml
