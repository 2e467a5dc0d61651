// Analogue TV channel allocations: the vision carrier of each channel
// number, per band (antenna or cable) and national plan. Channel numbers
// are the national ones (E7 is 7, S21 is 21 on the cable band).
#pragma once

#include <optional>
#include <vector>

namespace plat::tv {

enum class ChannelPlan {
  kAmerica,    // 6 MHz: United States and the NTSC-M, PAL-M and PAL-N countries
  kJapan,
  kEurope,     // E2-E69 on antenna, S1-S41 on cable (B/G)
  kOirt,       // R1-R12 and UHF (D/K)
  kChina,
  kFrance,     // L2-L10 and UHF (L)
  kIreland,
  kUnitedKingdom,
  kAustralia,
};

// The plan for a country (its calling code) and analogue video standard flag.
ChannelPlan PlanFor(int countryCode, int standard);

// The vision carrier of `channel` in kHz, or nothing when the plan has no
// such channel on that band.
std::optional<int> ChannelFrequencyKHz(ChannelPlan plan, bool antenna, int channel);

// Every channel number the band has, in increasing order.
std::vector<int> ChannelNumbers(ChannelPlan plan, bool antenna);

// The channel whose carrier lies nearest `kHz` (within 4 MHz), if any.
std::optional<int> ChannelAt(ChannelPlan plan, bool antenna, int kHz);

}  // namespace plat::tv
