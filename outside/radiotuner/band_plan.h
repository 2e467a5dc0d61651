// The band plans of the outside radio component, by area: FM 87.5-108 MHz
// (87.9-107.9 in the country with code 1, 76-90 MHz in the one with code
// 81) on a 50 kHz grid; AM 531-1602 kHz by 9 kHz (530-1700 by 10 kHz in the
// country with code 1, 522-1629 by 9 kHz in the one with code 81).
// Frequencies are in the displayed unit: MHz on FM, kHz on AM.
#pragma once

#include <cstdint>

namespace radiotuner {

struct BandPlan {
  double low = 0;
  double high = 0;
  double step = 0;
  // Hz per displayed unit.
  double hertz = 0;
};

// `fm` true for FM; `area` as the component's SetArea (0 other, 1 code 81,
// 2 code 1). Any other area gives the plan of area 0.
BandPlan PlanOf(bool fm, int area);

// The value clamped into the plan and put on its grid.
double Snap(const BandPlan& plan, double value);

// The plan's value in Hz, rounded.
std::int64_t ToHertz(const BandPlan& plan, double value);

}  // namespace radiotuner
