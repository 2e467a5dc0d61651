#include "engines/rip/rippers.h"

#include <string>

#include "platform/com/automation.h"

namespace {

plat::HRESULT Open(rip::RipEngine& engine, const char* path, bool wide) {
  if (!path) return plat::E_POINTER;
  return engine.OpenSource(path, wide);
}

std::string Narrow(const plat::WCHAR* path) {
  return plat::Utf16ToUtf8(std::u16string_view(path));
}

}  // namespace

plat::HRESULT CCdToWma::OpenSourceW(const plat::WCHAR* path) {
  if (!path) return plat::E_POINTER;
  return engine_.OpenSource(Narrow(path), true);
}
plat::HRESULT CCdToWma::OpenSource(const char* path) { return Open(engine_, path, false); }

plat::HRESULT CCdToMp3::OpenSourceW(const plat::WCHAR* path) {
  if (!path) return plat::E_POINTER;
  return engine_.OpenSource(Narrow(path), true);
}
plat::HRESULT CCdToMp3::OpenSource(const char* path) { return Open(engine_, path, false); }
