// Where a rip reads from: the media-detector probe of a file, the CD-audio
// source of a "TrackNN.cda" path, and the audio inputs found by name.
#pragma once

#include <string>

#include "engines/rip/rip_graph.h"
#include "platform/com/hresult.h"

namespace rip {

inline constexpr plat::HRESULT kVfwInvalidMediaType = static_cast<plat::HRESULT>(0x80040200);
inline constexpr plat::HRESULT kVfwNotFound = static_cast<plat::HRESULT>(0x80040216);
// No disc, no audio disc or no readable drive behind a CD track path.
inline constexpr plat::HRESULT kCdNotReady = static_cast<plat::HRESULT>(0x80070015);
// The path names a file that does not exist, or a track the disc lacks.
inline constexpr plat::HRESULT kFileNotFound = static_cast<plat::HRESULT>(0x80070002);

// S_OK when a media detector finds an audio or video stream in the file
// within 5 s; VFW_E_INVALIDMEDIATYPE otherwise.
plat::HRESULT ProbeMediaFile(const std::string& path);

// A CD track path: a drive root and "TrackNN.cda" ("D:\Track03.cda"), NN the
// 1-based index among the disc's audio tracks.
bool ParseCdTrackPath(const std::string& path, std::string* root, int* index);
// The source reading that track: cdparanoiasrc on a real drive's device,
// cdiocddasrc on a virtual drive's CUE/BIN or TOC image.
plat::HRESULT ResolveCdTrack(const std::string& path, SourceSpec* source);

// The file source, with the splitter the MPEG sniffing asks for when `sniff`.
SourceSpec FileSource(const std::string& path, bool sniff);

// The audio input whose description or friendly name equals `name` exactly;
// VFW_E_NOT_FOUND when there is none.
plat::HRESULT ResolveAudioInput(const std::string& name, SourceSpec* source);

}  // namespace rip
