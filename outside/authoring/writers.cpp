#include "outside/authoring/writers.h"

#include <filesystem>

#include "outside/authoring/burn_writer.h"
#include "platform/sys/drive_table.h"

namespace authoring {

std::vector<Writer> ListWriters() {
  std::vector<Writer> writers;
  for (const plat::VirtualWriter& v : plat::ReadVirtualWriters()) {
    Writer w;
    w.letter = v.letter;
    w.isVirtual = true;
    w.imagePath = v.path;
    w.capacityMB = static_cast<std::int32_t>(v.capacityMB);
    w.name = std::string(1, v.letter) + ": " + (v.label.empty() ? std::string("Virtual writer") : v.label);
    writers.push_back(std::move(w));
  }
  std::vector<std::string> optical;
  for (const plat::VolumeInfo& v : plat::GetVolumes()) {
    if (v.type == plat::DRIVE_CDROM && !v.isVirtual && !v.device.empty()) optical.push_back(v.device);
  }
  if (!optical.empty()) {
    for (Writer& w : ScanRealWriters(optical)) writers.push_back(std::move(w));
  }
  return writers;
}

DiscState InspectDisc(const Writer& writer, DiscKind job) {
  if (!writer.isVirtual) return InspectRealDisc(writer);
  DiscState disc;
  const bool dvd = writer.capacityMB > 703 || (writer.capacityMB == 0 && job == DiscKind::Dvd);
  disc.kind = dvd ? kAuthoringMediaDvd : kAuthoringMediaCd;
  disc.capacityMB = writer.capacityMB ? writer.capacityMB : StandardCapacityMB(job);
  std::error_code ec;
  disc.blank = !std::filesystem::is_regular_file(writer.imagePath, ec);
  disc.freeMB = disc.capacityMB;
  return disc;
}

std::string DiscText(const DiscState& disc) {
  if (disc.kind == kAuthoringMediaNone) return "No disc";
  std::string text = disc.kind == kAuthoringMediaDvd ? "DVD" : "CD";
  text += disc.blank ? ", blank, " : ", ";
  text += std::to_string(disc.freeMB) + " MB free";
  return text;
}

}  // namespace authoring
