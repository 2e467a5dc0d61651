#include "engines/capture/dvgrab/dv_grab_hooks.h"

#include <chrono>

#include "platform/com/runtime.h"

namespace dvgrab {

DvGrabHooks DvGrabHooks::Machine() {
  DvGrabHooks hooks;
  hooks.createDevice = [](IDvDevice** out) {
    return plat::CoCreateInstance(CLSID_DvDevice, nullptr, plat::CLSCTX_INPROC_SERVER, IID_IDvDevice,
                                  reinterpret_cast<void**>(out));
  };
  hooks.steadySeconds = [] {
    return static_cast<long long>(
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
  };
  hooks.localTime = [] {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return tm;
  };
  return hooks;
}

}  // namespace dvgrab
