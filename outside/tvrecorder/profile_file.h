// The profile files ("Default_PAL.prf", "Default_NTSC.prf"): text, one
// section per entry, "[Record]" or "[Replay]", then "Key=Value" lines for
// the entry's name and encoder settings. Numbers are in the C locale. Lines
// starting with '#' or ';' are comments.
//
//   [Record]
//   Name=DVD SP
//   Format=2
//   VideoBitRate=6000000
//   Width=720
//   Height=576
//   FrameRate=25
//   Gop=IBBPBBPBBPBBPBBP
//   AudioBitRate=224
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "interfaces/tvrecorder.h"

namespace tvrec {

// An entry with the default encoder block: MPEG-2, 8 Mbit/s, 352 x 288 at
// 25 frames (PAL) or 320 x 240 at 29.97 (NTSC), 224 kbit/s sound.
ProfileEntry DefaultProfileEntry(const char* kind, const char* name, bool ntsc);

// The entries of a profile file's text, or nothing when it is malformed (an
// unknown section or key, a bad number, a name too long, an entry without a
// name).
std::optional<std::vector<ProfileEntry>> ParseProfileFile(std::string_view text);

}  // namespace tvrec
