// The MP3 ripper's component server: one class, "Kestrovia MP3 Ripper".
#include "engines/rip/rippers.h"
#include "platform/com/server.h"

namespace {

plat::HRESULT CreateRipperInstance(plat::IUnknown* outer, plat::REFIID iid, void** out) {
  return plat::CreateComObject<CCdToMp3>(outer, iid, out);
}

const plat::ClassEntry kClasses[] = {
    {CLSID_CdToMp3, "Kestrovia MP3 Ripper", &CreateRipperInstance, "Both"},
};

}  // namespace

PLAT_COM_SERVER(kClasses);
