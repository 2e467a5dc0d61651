// Writing with libburn: one data track (an ISO image, Mode 1) to a real
// writer, or to a virtual writer's image file through libburn's "stdio:"
// pseudo-drive.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "outside/authoring/job.h"
#include "outside/authoring/track_source.h"
#include "outside/authoring/writers.h"
#include "platform/com/hresult.h"

namespace authoring {

// The job's failure for a disc too small for the image.
inline constexpr plat::HRESULT kDiscFull = plat::HRESULT_FROM_WIN32(112);  // ERROR_DISK_FULL

// The optical devices among `devices` that libburn can write to.
std::vector<Writer> ScanRealWriters(const std::vector<std::string>& devices);
DiscState InspectRealDisc(const Writer& writer);

// Writes the track to the writer, after checking that the disc takes it.
// A virtual writer's image appears atomically (written beside it under a
// temporary name, renamed when complete); on failure or cancel its previous
// image stays. Reports kAuthoringStageWriting with the bytes written.
// `verify`, when given, checks a virtual writer's new image (by its
// temporary path) before it replaces the old one.
using ImageCheck = std::function<bool(const std::string& image)>;
plat::HRESULT WriteDataTrack(burn_source* track, const Writer& writer, DiscKind kind, bool simulate, bool eject,
                             const JobControl& control, const ImageCheck& verify = {});

// Writes an audio CD to a real writer in one pass (SAO): the tracks of the
// little-endian CD-DA samples in `bin`, starting at `trackStarts` (sectors).
plat::HRESULT WriteAudioTracks(const std::string& bin, const std::vector<std::int64_t>& trackStarts,
                               std::int64_t sectors, const Writer& writer, bool simulate, bool eject,
                               const JobControl& control);

}  // namespace authoring
