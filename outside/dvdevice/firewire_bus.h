// FireWire camcorders: AV/C tape units found on the IEEE 1394 bus.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "outside/dvdevice/camcorder.h"

namespace dvdev {

struct FireWireUnit {
  std::string name;  // "<model> DV (<vendor>)" or "<model> MPEG2 (<vendor>)"
  int kind = 1;
  int port = 0;
  int node = 0;
};

// The camcorders on every port; empty without FireWire.
std::vector<FireWireUnit> ListFireWireUnits();

// Opens the unit at port/node; nothing when it does not answer.
std::unique_ptr<Camcorder> OpenFireWireCamcorder(int port, int node, int kind);

// Watches the buses for resets (a unit plugged in or out) and calls
// `changed` on its own thread after each.
class BusWatcher {
 public:
  struct State;
  // Nothing without FireWire.
  static std::unique_ptr<BusWatcher> Start(std::function<void()> changed);
  ~BusWatcher();
  BusWatcher(const BusWatcher&) = delete;
  BusWatcher& operator=(const BusWatcher&) = delete;

 private:
  BusWatcher() = default;
  std::unique_ptr<State> state_;
};

}  // namespace dvdev
