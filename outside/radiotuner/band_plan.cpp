#include "outside/radiotuner/band_plan.h"

#include <algorithm>
#include <cmath>

#include "interfaces/radiotuner.h"

namespace radiotuner {

BandPlan PlanOf(bool fm, int area) {
  if (fm) {
    switch (area) {
      case kRadioTunerArea1: return {87.9, 107.9, 0.05, 1e6};
      case kRadioTunerArea81: return {76.0, 90.0, 0.05, 1e6};
      default: return {87.5, 108.0, 0.05, 1e6};
    }
  }
  switch (area) {
    case kRadioTunerArea1: return {530, 1700, 10, 1e3};
    case kRadioTunerArea81: return {522, 1629, 9, 1e3};
    default: return {531, 1602, 9, 1e3};
  }
}

double Snap(const BandPlan& plan, double value) {
  if (!std::isfinite(value)) value = plan.low;
  value = std::clamp(value, plan.low, plan.high);
  const double steps = std::round((value - plan.low) / plan.step);
  // Whole kHz on FM keep the value exact in decimal (98.5, not 98.50000001).
  const double snapped = plan.low + steps * plan.step;
  return std::min(std::round(snapped * 1000) / 1000, plan.high);
}

std::int64_t ToHertz(const BandPlan& plan, double value) { return std::llround(value * plan.hertz); }

}  // namespace radiotuner
