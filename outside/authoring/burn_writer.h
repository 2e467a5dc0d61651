// Writing with libburn: an ISO image as one Mode 1 data track, to a real
// writer or to a virtual writer's image file through libburn's "stdio:"
// pseudo-drive; audio tracks SAO to a real writer.
#pragma once

#include <string>
#include <vector>

#include "outside/authoring/job.h"
#include "outside/authoring/writers.h"
#include "platform/com/hresult.h"

namespace authoring {

// The optical devices among `devices` that libburn can write to.
std::vector<Writer> ScanRealWriters(const std::vector<std::string>& devices);
DiscState InspectRealDisc(const Writer& writer);

// Writes the ISO image at `iso` to the writer. A virtual writer's image
// appears atomically (a temporary file beside it, renamed when complete);
// on failure or cancel its previous image stays. Reports kAuthoringStageWriting.
plat::HRESULT WriteIsoImage(const std::string& iso, const Writer& writer, DiscKind kind, bool simulate,
                            const JobControl& control);

}  // namespace authoring
