// Builds without the FireWire libraries list no FireWire camcorders.
#include "outside/dvdevice/firewire_bus.h"

namespace dvdev {

std::vector<FireWireUnit> ListFireWireUnits() { return {}; }

std::unique_ptr<Camcorder> OpenFireWireCamcorder(int, int, int) { return nullptr; }

struct BusWatcher::State {};

std::unique_ptr<BusWatcher> BusWatcher::Start(std::function<void()>) { return nullptr; }

BusWatcher::~BusWatcher() = default;

}  // namespace dvdev
