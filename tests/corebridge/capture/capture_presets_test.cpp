// The capture presets: the row a disc format and a camcorder frame rate pick.
#include <gtest/gtest.h>

#include <string>

#include "corebridge/modules/video_capture_presets.h"

namespace {

using video_capture::FindCapturePreset;

TEST(CapturePresets, RowByFormatAndFrameRate) {
  struct Case {
    const char* format;
    float rate;
    const char* row;
    int type, bitRate, width, height, mode, audio, lower, upper;
  };
  const Case cases[] = {
      {"DVD HQ", 29.97f, "DVD_HQ_NTSC", 7, 8000000, 720, 480, 1, 1, 4000000, 8300000},
      {"DVD HQ", 25.0f, "DVD_HQ_PAL", 7, 8000000, 720, 576, 1, 1, 4000000, 8300000},
      {"DVD SP", 29.97f, "DVD_SP_NTSC", 7, 3400000, 720, 480, 4, 1, 2000000, 6800000},
      {"DVD SP", 25.0f, "DVD_SP_PAL", 7, 3400000, 720, 576, 4, 1, 2000000, 6800000},
      {"DVD LP", 29.97f, "DVD_LP_NTSC", 7, 1750000, 352, 240, 1, 1, 1500000, 3500000},
      {"DVD LP", 25.0f, "DVD_LP_PAL", 7, 1750000, 352, 288, 1, 1, 1500000, 3500000},
      {"SVCD", 29.97f, "SVCD_NTSC", 6, 2520000, 480, 480, 1, 3, 0, 0},
      {"SVCD", 25.0f, "SVCD_PAL", 6, 2520000, 480, 576, 1, 3, 0, 0},
      {"VCD", 29.97f, "VCD_NTSC", 3, 1150000, 352, 240, 1, 3, 0, 0},
      {"VCD", 25.0f, "VCD_PAL", 3, 1150000, 352, 288, 1, 3, 0, 0},
      // Any rate other than 29.97 is a PAL camcorder.
      {"VCD", 30.0f, "VCD_PAL", 3, 1150000, 352, 288, 1, 3, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.format) + " @ " + std::to_string(c.rate));
    const auto* row = FindCapturePreset(c.format, c.rate);
    ASSERT_NE(row, nullptr);
    EXPECT_STREQ(row->name, c.row);
    EXPECT_EQ(row->typeCode, c.type);
    EXPECT_EQ(row->bitRate, c.bitRate);
    EXPECT_EQ(row->width, c.width);
    EXPECT_EQ(row->height, c.height);
    EXPECT_EQ(row->mode, c.mode);
    EXPECT_EQ(row->audio, c.audio);
    EXPECT_EQ(row->lowerRate, c.lower);
    EXPECT_EQ(row->upperRate, c.upper);
  }
}

TEST(CapturePresets, UnknownOrEmptyFormatHasNoRow) {
  EXPECT_EQ(FindCapturePreset("", 25.0f), nullptr);
  EXPECT_EQ(FindCapturePreset("Blu-ray", 25.0f), nullptr);
  EXPECT_EQ(FindCapturePreset("DVD", 29.97f), nullptr);
}

}  // namespace
