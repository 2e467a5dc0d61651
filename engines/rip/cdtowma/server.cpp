// The WMA ripper's component server: one class, "Kestrovia WMA Ripper".
#include "engines/rip/rippers.h"
#include "platform/com/server.h"

namespace {

plat::HRESULT CreateRipperInstance(plat::IUnknown* outer, plat::REFIID iid, void** out) {
  return plat::CreateComObject<CCdToWma>(outer, iid, out);
}

const plat::ClassEntry kClasses[] = {
    {CLSID_CdToWma, "Kestrovia WMA Ripper", &CreateRipperInstance, "Both"},
};

}  // namespace

PLAT_COM_SERVER(kClasses);
