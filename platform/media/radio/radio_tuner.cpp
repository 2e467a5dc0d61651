#include "platform/media/radio/radio_tuner.h"

#include "platform/media/radio/v4l2_radio.h"
#include "platform/media/radio/virtual_radio.h"

namespace plat::radio {

int SignalLevel(int signal) {
  static constexpr int kPercents[] = {10, 25, 40, 55, 70};
  int level = 0;
  for (const int percent : kPercents) {
    if (static_cast<long long>(signal) * 100 >= 65535LL * percent) ++level;
  }
  return level;
}

std::optional<RadioBand> FindBand(const std::vector<RadioBand>& bands, Modulation modulation) {
  std::optional<RadioBand> found;
  for (const RadioBand& band : bands) {
    if (band.modulation != modulation) continue;
    if (!found || band.highHz - band.lowHz > found->highHz - found->lowHz) found = band;
  }
  return found;
}

std::shared_ptr<IRadioTuner> OpenRadioTuner() {
  std::shared_ptr<VirtualRadio> virtualRadio = SharedVirtualRadio();
  if (virtualRadio && virtualRadio->config().prefer) return virtualRadio;
  for (const std::string& path : FindRadioDevices()) {
    if (auto io = OpenRadioDevice(path)) {
      auto device = std::make_shared<V4l2Radio>(std::move(io), path);
      if (!device->Bands().empty()) return device;
    }
  }
  return virtualRadio;
}

}  // namespace plat::radio
