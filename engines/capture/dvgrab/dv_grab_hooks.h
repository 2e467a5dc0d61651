// What the camcorder engine asks of its surroundings, gathered so tests can
// script it: the DV component, the clock and the program's folder.
#pragma once

#include <ctime>
#include <functional>
#include <string>

#include "interfaces/dvdevice.h"

namespace dvgrab {

struct DvGrabHooks {
  std::function<plat::HRESULT(IDvDevice** out)> createDevice;
  // Seconds on a steady clock, for capture and pause times.
  std::function<long long()> steadySeconds;
  // The local wall-clock time, for capture names.
  std::function<std::tm()> localTime;
  // The running program's folder; empty: the executable's.
  std::string programFolder;

  // The real ones: the component through CoCreateInstance, the system clocks.
  static DvGrabHooks Machine();
};

}  // namespace dvgrab
