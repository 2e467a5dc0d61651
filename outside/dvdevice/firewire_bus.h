// FireWire camcorders: AV/C tape units found on the IEEE 1394 bus.
#pragma once

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

}  // namespace dvdev
