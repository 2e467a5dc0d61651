// The capture presets of a camcorder capture: one row per disc format and
// television standard, each a name and the camcorder engine's settings
// record for that format.
#pragma once

#include <string>

namespace video_capture {

struct CapturePreset {
  const char* name;  // "DVD_HQ_PAL", ...
  int typeCode;      // the record's format word: 7 DVD, 6 SVCD, 3 VCD
  int bitRate;
  int width;
  int height;
  float frameRate;
  int mode;
  int audio;
  int lowerRate;
  int upperRate;
};

inline constexpr const char* kGopPattern = "IBBPBBPBBPBBPBBP";
inline constexpr float kNtscRate = 29.97f;

// The preset row of `discFormat` ("DVD HQ", "DVD SP", "DVD LP", "SVCD",
// "VCD") for a camcorder running at `frameRate`: the "_NTSC" row at 29.97,
// the "_PAL" row at any other rate. Null for an unknown format.
const CapturePreset* FindCapturePreset(const std::string& discFormat, float frameRate);

}  // namespace video_capture
