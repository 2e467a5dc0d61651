// The ten capture presets and their look-up by disc format and frame rate.
#include "corebridge/modules/video_capture_presets.h"

#include <cmath>
#include <iterator>

namespace video_capture {

namespace {

constexpr CapturePreset kPresets[] = {
    {"DVD_HQ_NTSC", 7, 8000000, 720, 480, 29.97f, 1, 1, 4000000, 8300000},
    {"DVD_HQ_PAL", 7, 8000000, 720, 576, 25.0f, 1, 1, 4000000, 8300000},
    {"DVD_SP_NTSC", 7, 3400000, 720, 480, 29.97f, 4, 1, 2000000, 6800000},
    {"DVD_SP_PAL", 7, 3400000, 720, 576, 25.0f, 4, 1, 2000000, 6800000},
    {"DVD_LP_NTSC", 7, 1750000, 352, 240, 29.97f, 1, 1, 1500000, 3500000},
    {"DVD_LP_PAL", 7, 1750000, 352, 288, 25.0f, 1, 1, 1500000, 3500000},
    {"SVCD_NTSC", 6, 2520000, 480, 480, 29.97f, 1, 3, 0, 0},
    {"SVCD_PAL", 6, 2520000, 480, 576, 25.0f, 1, 3, 0, 0},
    {"VCD_NTSC", 3, 1150000, 352, 240, 29.97f, 1, 3, 0, 0},
    {"VCD_PAL", 3, 1150000, 352, 288, 25.0f, 1, 3, 0, 0},
};
static_assert(std::size(kPresets) == 10);

}  // namespace

const CapturePreset* FindCapturePreset(const std::string& discFormat, float frameRate) {
  if (discFormat.empty()) return nullptr;
  // "DVD HQ" names the rows "DVD_HQ_...".
  std::string name = discFormat;
  for (char& c : name)
    if (c == ' ') c = '_';
  // The engine reports 29.97 as a float; anything else is a PAL camcorder.
  name += std::fabs(frameRate - kNtscRate) < 0.005f ? "_NTSC" : "_PAL";
  for (const CapturePreset& row : kPresets)
    if (name == row.name) return &row;
  return nullptr;
}

}  // namespace video_capture
