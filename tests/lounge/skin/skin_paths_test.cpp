#include "lounge/skin/skin_paths.h"

#include <gtest/gtest.h>

#include "temp_folder.h"

namespace {

TEST(SkinPathsTest, PagePathsBecomeFolders) {
  EXPECT_EQ(LayoutFolderOf("/opt/m", "Music\\Tracks"), "/opt/m/Layout/XML/Music/Tracks");
  EXPECT_EQ(JoinSkinFile("/a/b", "..\\Img\\x.BMP"), "/a/b/../Img/x.BMP");
  EXPECT_EQ(JoinSkinFile("/a/b/", "\\abs.bmp"), "/a/b/abs.bmp");
  EXPECT_EQ(SkinNameToPosix("FloatingBar\\CaptionBar"), "FloatingBar/CaptionBar");
}

TEST(SkinPathsTest, ResolvesEachComponentWithoutRegardToCase) {
  TempFolder folder;
  folder.Write("Layout/Img/Play.BMP", "x");
  folder.Write("Layout/XML/Home/layout.xml", "x");
  const std::string base = folder.path().string();
  EXPECT_EQ(ResolveSkinPath(base + "/layout/img/play.bmp"), base + "/Layout/Img/Play.BMP");
  EXPECT_EQ(ResolveSkinPath(base + "/Layout/XML/../Img/PLAY.bmp"), base + "/Layout/XML/../Img/Play.BMP");
  // Nothing matches: the path comes back as given.
  EXPECT_EQ(ResolveSkinPath(base + "/layout/img/stop.bmp"), base + "/layout/img/stop.bmp");
  EXPECT_EQ(ResolveSkinPath(""), "");
}

TEST(SkinPathsTest, BaseFolderCanBePointedElsewhere) {
  EXPECT_FALSE(ExecutableFolder().empty());
  EXPECT_EQ(SkinBaseFolder(), ExecutableFolder());
  SetSkinBaseFolder("/tmp/skin");
  EXPECT_EQ(SkinBaseFolder(), "/tmp/skin");
  SetSkinBaseFolder({});
  EXPECT_EQ(SkinBaseFolder(), ExecutableFolder());
}

}  // namespace
