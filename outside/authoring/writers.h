// The writers a job can write to: the registry's virtual writers first, then
// the optical drives of the drive table that libburn finds able to write.
#pragma once

#include <vector>

#include "outside/authoring/job.h"

namespace authoring {

std::vector<Writer> ListWriters();

// What the writer holds now. For a virtual writer: its image (absent is a
// blank disc; the image is replaced by each write, like a rewritable disc).
struct DiscState {
  std::int32_t kind = kAuthoringMediaNone;
  bool blank = false;
  std::int32_t capacityMB = 0;
  std::int32_t freeMB = 0;
};
DiscState InspectDisc(const Writer& writer, DiscKind job);

// The text of GetDiscInfo, e.g. "CD, blank, 703 MB free".
std::string DiscText(const DiscState& disc);

}  // namespace authoring
