#include "lounge/skin/string_table.h"

#include <gtest/gtest.h>

#include "lounge/shell/app_services.h"
#include "temp_folder.h"

namespace {

class StringTableTest : public ::testing::Test {
 protected:
  void TearDown() override { SetUIStringTable(nullptr); }
  TempFolder folder_;
};

TEST_F(StringTableTest, ReadsEntriesByElementName) {
  folder_.Write("string.xml", R"(<?xml version="1.0" encoding="UTF-8"?>
<strings>
  <!-- fonts -->
  <FONT1 value="DejaVu Sans"/>
  <TITLE value="Music &amp; more"/>
  <TITLE value="Second title"/>
  <NOVALUE other="x"/>
  <EMPTY value=""/>
  <UTF8 value="Übersicht"/>
  text between entries
</strings>)");
  CStringTable table(folder_.path());
  std::string text;
  EXPECT_EQ(table.Lookup("FONT1", text), 1);
  EXPECT_EQ(text, "DejaVu Sans");
  // The later of two entries with one name wins.
  EXPECT_EQ(table.Lookup("TITLE", text), 1);
  EXPECT_EQ(text, "Second title");
  EXPECT_EQ(table.Lookup("EMPTY", text), 1);
  EXPECT_EQ(text, "");
  EXPECT_EQ(table.Lookup("UTF8", text), 1);
  EXPECT_EQ(text, "Übersicht");
  // No entry for a child without "value"; keys compare case-sensitively.
  text = "untouched";
  EXPECT_EQ(table.Lookup("NOVALUE", text), 0);
  EXPECT_EQ(table.Lookup("font1", text), 0);
  EXPECT_EQ(table.Lookup("strings", text), 0);
  EXPECT_EQ(text, "untouched");
  EXPECT_EQ(table.size(), 4u);
}

TEST_F(StringTableTest, FileIsFoundWithoutRegardToCase) {
  folder_.Write("String.XML", "<s><A value=\"1\"/></s>");
  CStringTable table(folder_.path());
  std::string text;
  EXPECT_EQ(table.Lookup("A", text), 1);
}

TEST_F(StringTableTest, MissingOrBrokenFileGivesAnEmptyTable) {
  {
    CStringTable table(folder_.path());
    std::string text = "default";
    EXPECT_EQ(table.Lookup("FONT1", text), 0);
    EXPECT_EQ(text, "default");
    EXPECT_EQ(table.size(), 0u);
    // The reason, for the program to say why it cannot start.
    EXPECT_EQ(table.LoadError(), "No such file or directory");
  }
  folder_.Write("string.xml", "<s><A value=\"1\"/>");
  CStringTable broken(folder_.path());
  EXPECT_EQ(broken.size(), 0u);
  EXPECT_EQ(broken.Parse(), 0);
  EXPECT_EQ(broken.LoadError().rfind("not well-formed XML: ", 0), 0u) << broken.LoadError();
  folder_.Write("string.xml", "<s><A value=\"1\"/></s>");
  EXPECT_EQ(broken.Load(), 1);
  EXPECT_EQ(broken.LoadError(), "");
}

TEST_F(StringTableTest, LookupGoesThroughTheRegisteredTable) {
  folder_.Write("string.xml", "<s><CHARSET value=\"161\"/><HELLO value=\"Hi\"/></s>");
  std::string text = "default";
  // No table yet: false and the caller's default stays.
  EXPECT_FALSE(LookupUIString("HELLO", text));
  EXPECT_EQ(text, "default");
  EXPECT_EQ(GetSkinCharset(), 0);

  CStringTable table(folder_.path());
  SetUIStringTable(&table);
  EXPECT_TRUE(LookupUIString("HELLO", text));
  EXPECT_EQ(text, "Hi");
  EXPECT_FALSE(LookupUIString("hello", text));
  EXPECT_EQ(GetSkinCharset(), 161);
}

TEST_F(StringTableTest, ATableGoingAwayIsNoLongerAsked) {
  folder_.Write("string.xml", "<s><HELLO value=\"Hi\"/></s>");
  CStringTable other(folder_.path());
  {
    CStringTable table(folder_.path());
    SetUIStringTable(&table);
  }
  std::string text = "default";
  EXPECT_FALSE(LookupUIString("HELLO", text));
  // Another table going away leaves the registered one alone.
  SetUIStringTable(&other);
  { CStringTable unrelated(folder_.path()); }
  EXPECT_TRUE(LookupUIString("HELLO", text));
}

TEST_F(StringTableTest, CharsetDefaultsToZero) {
  folder_.Write("string.xml", "<s><CHARSET value=\"Greek\"/></s>");
  CStringTable unreadable(folder_.path());
  SetUIStringTable(&unreadable);
  EXPECT_EQ(GetSkinCharset(), 0);

  TempFolder empty;
  CStringTable none(empty.path());
  SetUIStringTable(&none);
  EXPECT_EQ(GetSkinCharset(), 0);
}

}  // namespace
