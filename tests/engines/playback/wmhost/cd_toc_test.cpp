// The table of contents of generated CUE/BIN and TOC disc images, and the
// sheets that must be refused before libcdio reads them.
#include <cdio/cdio.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <future>

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

// Each sheet is written beside two data files of 100 sectors of 2352 bytes
// ("a.bin", "d.bin") and read from another working folder: relative names
// are the sheet folder's. An accepted sheet must also open in libcdio
// through the device the readers are given, with the same tracks.
struct SheetCase {
  const char* name;
  const char* sheet;
  bool accepted;
  std::vector<bool> audio;  // per track, when accepted
  std::vector<unsigned> sectors;
};

class CdSheetTable : public ::testing::TestWithParam<SheetCase> {};

TEST_P(CdSheetTable, AcceptsWhatTheImageReaderSupportsAndRefusesTheRest) {
  const SheetCase& c = GetParam();
  wmhost_test::TempFolder folder;
  wmhost_test::WriteBytes(folder / "a.bin", 100 * 2352);
  wmhost_test::WriteBytes(folder / "d.bin", 100 * 2352);
  const std::string sheet = folder / c.name;
  wmhost_test::WriteText(sheet, c.sheet);
  std::string error;
  const auto toc = wmhost::ReadCdTableOfContents(sheet, &error);
  ASSERT_EQ(toc.has_value(), c.accepted) << error;
  if (!c.accepted) {
    EXPECT_FALSE(error.empty());
    return;
  }
  ASSERT_EQ(toc->tracks.size(), c.audio.size());
  for (std::size_t i = 0; i < c.audio.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(toc->tracks[i].number, static_cast<int>(i) + 1);
    EXPECT_EQ(toc->tracks[i].audio, c.audio[i]);
    EXPECT_EQ(toc->tracks[i].sectors, c.sectors[i]);
  }
  CdIo_t* cdio = cdio_open(toc->readerDevice.c_str(), DRIVER_UNKNOWN);
  ASSERT_NE(cdio, nullptr) << toc->readerDevice;
  EXPECT_EQ(cdio_get_num_tracks(cdio), c.audio.size());
  for (std::size_t i = 0; i < c.audio.size(); ++i) {
    const auto number = static_cast<track_t>(i + 1);
    EXPECT_EQ(cdio_get_track_format(cdio, number) == TRACK_FORMAT_AUDIO, c.audio[i]) << i;
  }
  cdio_destroy(cdio);
}

INSTANTIATE_TEST_SUITE_P(
    Sheets, CdSheetTable,
    ::testing::Values(
        // cdrdao's MODE2 tracks made libcdio divide by zero; SILENCE made it end the process.
        SheetCase{"mode2.toc", "TRACK MODE2\nDATAFILE \"d.bin\"\n", false, {}, {}},
        SheetCase{"form1.toc", "TRACK MODE2_FORM1\nDATAFILE \"d.bin\"\n", false, {}, {}},
        SheetCase{"silence.toc", "TRACK AUDIO\nSILENCE \"x\" #1000 00:01:00\n", false, {}, {}},
        SheetCase{"missing.toc", "TRACK AUDIO\nFILE \"none.bin\" 0\n", false, {}, {}},
        SheetCase{"nodata.toc", "TRACK AUDIO\n", false, {}, {}},
        SheetCase{"audio.toc", "CD_DA\n// one track\nTRACK AUDIO\nFILE \"a.bin\" 0\n", true, {true}, {100}},
        SheetCase{"mode1.toc", "CD_ROM\nTRACK MODE1_RAW\nDATAFILE \"d.bin\"\nTRACK AUDIO\nFILE \"a.bin\" 0 00:01:00\n",
                  true, {false, true}, {100, 75}},
        SheetCase{"raw2.toc", "TRACK MODE2_RAW\nDATAFILE \"d.bin\"\nTRACK AUDIO\nAUDIOFILE \"a.bin\" 00:00:50\n", true,
                  {false, true}, {100, 50}},
        SheetCase{"text.toc",
                  "CD_DA\nCD_TEXT {\n  LANGUAGE_MAP {\n    0 : EN\n  }\n  LANGUAGE 0 {\n    TITLE \"Disc\"\n  }\n}\n"
                  "TRACK AUDIO\nCD_TEXT {\n  LANGUAGE 0 {\n    TITLE \"One\"\n  }\n}\nFILE \"a.bin\" 0\n",
                  true, {true}, {100}},
        // Their cue sheet counterparts.
        SheetCase{"cdi.cue", "FILE \"d.bin\" BINARY\n  TRACK 01 CDI/2352\n    INDEX 01 00:00:00\n", false, {}, {}},
        SheetCase{"wave.cue", "FILE \"d.bin\" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n", false, {}, {}},
        SheetCase{"noindex.cue", "FILE \"d.bin\" BINARY\n  TRACK 01 AUDIO\n", false, {}, {}},
        SheetCase{"missing.cue", "FILE \"none.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n", false, {}, {}},
        SheetCase{"past.cue", "FILE \"d.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:02:00\n", false, {}, {}},
        SheetCase{"d.cue", "FILE \"d.bin\" BINARY\n  TRACK 01 MODE2/2352\n    INDEX 01 00:00:00\n", true, {false},
                  {100}},
        SheetCase{"d.cue",
                  "FILE \"d.bin\" BINARY\n  TRACK 01 MODE1/2352\n    INDEX 01 00:00:00\n  TRACK 02 AUDIO\n"
                  "    INDEX 00 00:00:40\n    INDEX 01 00:00:60\n",
                  true, {false, true}, {60, 40}}),
    [](const ::testing::TestParamInfo<SheetCase>& info) { return "Case" + std::to_string(info.index); });

TEST(CdTableOfContents, NamedPipeAsImageIsRefusedWithoutWaiting) {
  wmhost_test::TempFolder folder;
  const std::string fifo = folder / "disc.toc";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  auto read = std::async(std::launch::async, [&] { return wmhost::ReadCdTableOfContents(fifo).has_value(); });
  ASSERT_EQ(read.wait_for(std::chrono::seconds(30)), std::future_status::ready);
  EXPECT_FALSE(read.get());
}

}  // namespace
