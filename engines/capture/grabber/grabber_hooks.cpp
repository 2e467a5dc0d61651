#include "engines/capture/grabber/grabber_hooks.h"

#include <chrono>
#include <thread>

#include "platform/com/runtime.h"
#include "platform/sys/drive_table.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace grabber {

std::vector<VideoCompressor> InstalledVideoCompressors() {
  std::vector<VideoCompressor> out;
  if (avcodec_find_encoder(AV_CODEC_ID_MPEG4)) out.push_back(VideoCompressor{kMpeg4CompressorName, {}});
  return out;
}

GrabberHooks GrabberHooks::Machine() {
  GrabberHooks hooks;
  hooks.createRecorder = [](ISysRecorder** out) {
    return plat::CoCreateInstance(CLSID_SysRecorder, nullptr, plat::CLSCTX_INPROC_SERVER, IID_ISysRecorder,
                                  reinterpret_cast<void**>(out));
  };
  hooks.createProfileStore = [](IProfileStore** out) {
    return plat::CoCreateInstance(CLSID_ProfileStore, nullptr, plat::CLSCTX_INPROC_SERVER, IID_IProfileStore,
                                  reinterpret_cast<void**>(out));
  };
  hooks.freeMB = [](const std::string& folder) -> long long {
    plat::ULONGLONG available = 0;
    if (!plat::GetDiskFreeSpaceExA(folder.c_str(), &available, nullptr, nullptr)) return 0;
    return static_cast<long long>(available >> 20);
  };
  hooks.sleep = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
  hooks.localeCountry = [] { return UserLocaleCountry(); };
  hooks.monthAbbreviation = [](int month) { return UserMonthAbbreviation(month); };
  hooks.videoCompressors = [] { return InstalledVideoCompressors(); };
  hooks.probe = [] { return MachineProbe(); };
  return hooks;
}

}  // namespace grabber
