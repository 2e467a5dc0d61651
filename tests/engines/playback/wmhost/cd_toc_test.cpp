// The table of contents of a generated BIN/CUE audio CD image.
#include <gtest/gtest.h>

#include "engines/playback/wmhost/library/cd_toc.h"
#include "tests/engines/playback/wmhost/media_fixtures.h"

namespace {

TEST(CdTableOfContents, ReadsTracksLengthsAndCdTextOfACueImage) {
  wmhost_test::TempFolder folder;
  const std::string cue = wmhost_test::WriteCdImage(folder.path(), "Test Disc", "Disc Artist",
                                                    {{2.0, "Opening", "Singer"}, {3.0, "", ""}, {1.0, "Coda", ""}});
  std::string error;
  auto toc = wmhost::ReadCdTableOfContents(cue, &error);
  ASSERT_TRUE(toc) << error;
  EXPECT_EQ(toc->title, "Test Disc");
  EXPECT_EQ(toc->performer, "Disc Artist");
  ASSERT_EQ(toc->tracks.size(), 3u);
  EXPECT_EQ(toc->tracks[0].number, 1);
  EXPECT_TRUE(toc->tracks[0].audio);
  EXPECT_EQ(toc->tracks[0].title, "Opening");
  EXPECT_EQ(toc->tracks[0].performer, "Singer");
  EXPECT_EQ(toc->tracks[1].title, "");
  EXPECT_EQ(toc->tracks[2].title, "Coda");
  EXPECT_EQ(toc->tracks[0].sectors, 150u);
  EXPECT_NEAR(toc->tracks[1].seconds, 3.0, 0.02);
  EXPECT_NEAR(toc->tracks[2].seconds, 1.0, 0.02);
  EXPECT_EQ(toc->tracks[1].startSector, 150u);
}

TEST(CdTableOfContents, NoDiscGivesAReason) {
  wmhost_test::TempFolder folder;
  std::string error;
  EXPECT_FALSE(wmhost::ReadCdTableOfContents(folder / "nothing.cue", &error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
