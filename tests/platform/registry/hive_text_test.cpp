#include "platform/registry/hive_text.h"

#include <gtest/gtest.h>

#include <sstream>

namespace plat::reg {
namespace {

const std::vector<HiveRoot> kMachineRoots = {{"HKEY_LOCAL_MACHINE", {}}, {"HKEY_CLASSES_ROOT", {"Software", "Classes"}}};

std::vector<BYTE> Bytes(std::string_view s) { return {s.begin(), s.end()}; }
std::vector<BYTE> Sz(std::string_view s) {
  auto b = Bytes(s);
  b.push_back(0);
  return b;
}

void ExpectSameTree(const Key& a, const Key& b, const std::string& where = "") {
  EXPECT_EQ(a.name(), b.name()) << where;
  ASSERT_EQ(a.values().size(), b.values().size()) << where;
  for (std::size_t i = 0; i < a.values().size(); ++i) {
    EXPECT_EQ(a.values()[i].name, b.values()[i].name) << where;
    EXPECT_EQ(a.values()[i].type, b.values()[i].type) << where << "\\" << a.values()[i].name;
    EXPECT_EQ(a.values()[i].data, b.values()[i].data) << where << "\\" << a.values()[i].name;
  }
  ASSERT_EQ(a.subKeys().size(), b.subKeys().size()) << where;
  for (std::size_t i = 0; i < a.subKeys().size(); ++i)
    ExpectSameTree(a.subKeys()[i], b.subKeys()[i], where + "\\" + a.subKeys()[i].name());
}

Key Parse(std::string_view text) {
  Key key;
  auto error = ParseHiveText(text, kMachineRoots, key);
  EXPECT_FALSE(error) << "line " << error->line << ": " << error->reason;
  return key;
}

TEST(HiveText, EveryKindOfValueSurvivesWriteAndRead) {
  Key root;
  root.SetValue("", 1, Sz("root default"));
  Key& app = root.Make(std::vector<std::string>{"SoftWare", "Kestrovia", "Marivel"});
  app.SetValue("", 1, Sz("default"));
  app.SetValue("Vendor", 1, Sz("Quote \" and back\\slash, ÜTF-8 ✓"));
  app.SetValue("Empty", 1, Sz(""));
  app.SetValue("Count", 4, std::vector<BYTE>{0x0a, 0, 0, 0});
  app.SetValue("Max", 4, std::vector<BYTE>{0xff, 0xff, 0xff, 0xff});
  app.SetValue("Blob", 3, std::vector<BYTE>{1, 2, 0xff});
  app.SetValue("NoBytes", 3, std::vector<BYTE>{});
  std::vector<BYTE> big(300);
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<BYTE>(i * 7);
  app.SetValue("Big", 3, big);
  // Data the quoted and dword forms cannot carry exactly.
  app.SetValue("TwoLines", 1, Sz("one\r\ntwo"));
  app.SetValue("Unterminated", 1, Bytes("abc"));
  app.SetValue("EmbeddedZero", 1, Bytes(std::string_view("a\0b\0", 4)));
  app.SetValue("ShortDword", 4, std::vector<BYTE>{1, 2});
  app.SetValue("Multi", 7, Bytes(std::string_view("a\0b\0\0", 5)));
  app.SetValue("name with \"quotes\" = and \\", 1, Sz("x"));
  root.Make(std::vector<std::string>{"Empty", "Nested", "Key [with] brackets"});

  std::string text = WriteHiveText(root, "HKEY_LOCAL_MACHINE");
  ExpectSameTree(root, Parse(text));

  // The familiar export form, one value per line, lines of readable length.
  EXPECT_EQ(text.rfind("REGEDIT4\n\n[HKEY_LOCAL_MACHINE]\n@=\"root default\"\n", 0), 0u) << text;
  for (const char* line :
       {"[HKEY_LOCAL_MACHINE\\SoftWare\\Kestrovia\\Marivel]\n", "@=\"default\"\n",
        "\"Vendor\"=\"Quote \\\" and back\\\\slash, ÜTF-8 ✓\"\n", "\"Count\"=dword:0000000a\n",
        "\"Max\"=dword:ffffffff\n", "\"Blob\"=hex:01,02,ff\n", "\"NoBytes\"=hex:\n", "\"ShortDword\"=hex(4):01,02\n",
        "\"Unterminated\"=hex(1):61,62,63\n", "[HKEY_LOCAL_MACHINE\\Empty\\Nested\\Key [with] brackets]\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) EXPECT_LE(line.size(), 80u) << line;
}

TEST(HiveText, ReadsHandWrittenFiles) {
  Key key = Parse(
      "\xEF\xBB\xBFREGEDIT4\r\n"
      "; a comment\r\n"
      "\r\n"
      "[HKEY_LOCAL_MACHINE\\Software\\A]\r\n"
      "\"Path\"=\"C:\\Music\"\r\n"  // a lone backslash stands for itself
      "\"Upper\"=DWORD:A\r\n"
      "  \"Spaced\" = \"x\"  \r\n"
      "\"Wrapped\"=hex:01,02,\\\r\n"
      "  03,04\r\n"
      "\"Multi\"=hex(7):61,00,00\r\n"
      "[HKEY_CLASSES_ROOT\\CLSID\\{1}\\InprocServer32]\r\n"
      "@=\"lib.so\"\r\n"
      "[HKEY_LOCAL_MACHINE\\Software\\A]\r\n"
      "\"Upper\"=dword:0000000b\r\n");
  const Key* a = key.Find(std::vector<std::string>{"software", "a"});
  ASSERT_TRUE(a);
  EXPECT_EQ(a->FindValue("Path")->data, Sz("C:\\Music"));
  EXPECT_EQ(a->FindValue("Upper")->data, (std::vector<BYTE>{0x0b, 0, 0, 0})) << "a repeated value: the last wins";
  EXPECT_EQ(a->FindValue("Spaced")->data, Sz("x"));
  EXPECT_EQ(a->FindValue("Wrapped")->data, (std::vector<BYTE>{1, 2, 3, 4}));
  EXPECT_EQ(a->FindValue("Multi")->type, 7u);
  const Key* server = key.Find(std::vector<std::string>{"Software", "Classes", "CLSID", "{1}", "InprocServer32"});
  ASSERT_TRUE(server) << "HKEY_CLASSES_ROOT sections land under Software\\Classes";
  EXPECT_EQ(server->FindValue("")->data, Sz("lib.so"));
  EXPECT_EQ(a->values().size(), 5u);
}

TEST(HiveText, BlankTextIsAnEmptyHive) {
  for (const char* text : {"", "\n  \n", "REGEDIT4\n", "REGEDIT4"}) {
    Key key = Parse(text);
    EXPECT_TRUE(key.subKeys().empty() && key.values().empty()) << text;
  }
}

TEST(HiveText, RefusesMalformedText) {
  struct Case {
    const char* text;
    int line;
  };
  const Case cases[] = {
      {"Windows Registry Editor\n", 1},
      {"REGEDIT4\n\"a\"=\"b\"\n", 2},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A\n", 2},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n", 2},
      {"REGEDIT4\n[-HKEY_LOCAL_MACHINE\\A]\n", 2},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\\\A]\n", 2},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\"=dword:123456789\n", 3},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\"=dword:xyz\n", 3},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\"=hex:1g\n", 3},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\"=hex:01,,02\n", 3},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\"=hex(x):01\n", 3},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\"=hex:01,\\\n", 3},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\"=\"open\n", 3},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\"=\"x\" junk\n", 3},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\"=-\n", 3},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"a\"\n", 3},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"open=\"x\n", 3},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\ngarbage\n", 3},
  };
  for (const Case& c : cases) {
    Key key;
    auto error = ParseHiveText(c.text, kMachineRoots, key);
    ASSERT_TRUE(error) << c.text;
    EXPECT_EQ(error->line, c.line) << c.text;
    EXPECT_FALSE(error->reason.empty());
  }
}

}  // namespace
}  // namespace plat::reg
