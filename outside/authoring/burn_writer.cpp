#include "outside/authoring/burn_writer.h"

namespace authoring {

std::vector<Writer> ScanRealWriters(const std::vector<std::string>&) { return {}; }

DiscState InspectRealDisc(const Writer&) { return {}; }

plat::HRESULT WriteIsoImage(const std::string&, const Writer&, DiscKind, bool, const JobControl&) {
  return plat::E_NOTIMPL;
}

}  // namespace authoring
