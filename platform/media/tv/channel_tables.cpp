#include "platform/media/tv/channel_tables.h"

#include <cstdlib>

namespace plat::tv {

namespace {

// A run of channels first..last, spaced `stepKHz` from `firstKHz`.
struct Run {
  int first;
  int last;
  int firstKHz;
  int stepKHz;
};

struct Band {
  const Run* runs;
  int count;
};

template <int N>
constexpr Band MakeBand(const Run (&runs)[N]) {
  return Band{runs, N};
}

// United States, broadcast and standard cable.
constexpr Run kAmericaAir[] = {{2, 4, 55250, 6000}, {5, 6, 77250, 6000}, {7, 13, 175250, 6000},
                               {14, 69, 471250, 6000}};
constexpr Run kAmericaCable[] = {{1, 1, 73250, 0},      {2, 4, 55250, 6000},    {5, 6, 77250, 6000},
                                 {7, 13, 175250, 6000}, {14, 22, 121250, 6000}, {23, 36, 217250, 6000},
                                 {37, 94, 301250, 6000}, {95, 99, 91250, 6000}, {100, 125, 649250, 6000}};
constexpr Run kJapanAir[] = {{1, 3, 91250, 6000}, {4, 7, 171250, 6000}, {8, 12, 193250, 6000},
                             {13, 62, 471250, 6000}};
constexpr Run kJapanCable[] = {{13, 22, 109250, 6000}, {23, 27, 223250, 6000}, {28, 63, 253250, 6000}};
// CCIR: E2-E4 (7 MHz), E5-E12, E21-E69 (8 MHz); cable S1-S20 (7 MHz) and S21-S41 (8 MHz).
constexpr Run kEuropeAir[] = {{2, 4, 48250, 7000}, {5, 12, 175250, 7000}, {21, 69, 471250, 8000}};
constexpr Run kEuropeCable[] = {{1, 10, 105250, 7000}, {11, 20, 231250, 7000}, {21, 41, 303250, 8000}};
// OIRT: R1-R12 and the UHF channels.
constexpr Run kOirtAir[] = {{1, 1, 49750, 0},       {2, 2, 59250, 0},      {3, 5, 77250, 8000},
                            {6, 12, 175250, 8000}, {21, 69, 471250, 8000}};
constexpr Run kOirtCable[] = {{1, 8, 111250, 8000}, {11, 19, 231250, 8000}, {21, 41, 303250, 8000}};
constexpr Run kChinaAir[] = {{1, 3, 49750, 8000},   {4, 5, 77250, 8000},    {6, 12, 168250, 8000},
                             {13, 24, 471250, 8000}, {25, 68, 607250, 8000}};
constexpr Run kChinaCable[] = {{1, 7, 112250, 8000}, {8, 16, 232250, 8000}, {17, 42, 304250, 8000}};
// France: L2-L4 (irregular), L5-L10 on 8 MHz, UHF.
constexpr Run kFranceAir[] = {{2, 2, 55750, 0},      {3, 3, 60500, 0},      {4, 4, 63750, 0},
                              {5, 10, 176000, 8000}, {21, 69, 471250, 8000}};
constexpr Run kFranceCable[] = {{1, 10, 105250, 7000}, {11, 20, 231250, 7000}, {21, 41, 303250, 8000}};
// Ireland: VHF A-J numbered 1-9, UHF.
constexpr Run kIrelandAir[] = {{1, 3, 45750, 8000}, {4, 9, 175250, 8000}, {21, 69, 471250, 8000}};
constexpr Run kUkAir[] = {{21, 69, 471250, 8000}};
constexpr Run kUkCable[] = {{1, 10, 105250, 7000}, {11, 20, 231250, 7000}, {21, 69, 303250, 8000}};
// Australia: 0-12 (with the irregular VHF channels), UHF 28-69 on 7 MHz.
constexpr Run kAustraliaAir[] = {{0, 0, 46250, 0},      {1, 2, 57250, 7000},   {3, 3, 86250, 0},
                                 {4, 5, 95250, 7000},   {6, 9, 175250, 7000}, {10, 11, 209250, 7000}, {12, 12, 224250, 0},
                                 {28, 69, 527250, 7000}};

Band BandOf(ChannelPlan plan, bool antenna) {
  switch (plan) {
    case ChannelPlan::kAmerica: return antenna ? MakeBand(kAmericaAir) : MakeBand(kAmericaCable);
    case ChannelPlan::kJapan: return antenna ? MakeBand(kJapanAir) : MakeBand(kJapanCable);
    case ChannelPlan::kEurope: return antenna ? MakeBand(kEuropeAir) : MakeBand(kEuropeCable);
    case ChannelPlan::kOirt: return antenna ? MakeBand(kOirtAir) : MakeBand(kOirtCable);
    case ChannelPlan::kChina: return antenna ? MakeBand(kChinaAir) : MakeBand(kChinaCable);
    case ChannelPlan::kFrance: return antenna ? MakeBand(kFranceAir) : MakeBand(kFranceCable);
    case ChannelPlan::kIreland: return antenna ? MakeBand(kIrelandAir) : MakeBand(kUkCable);
    case ChannelPlan::kUnitedKingdom: return antenna ? MakeBand(kUkAir) : MakeBand(kUkCable);
    case ChannelPlan::kAustralia: return antenna ? MakeBand(kAustraliaAir) : MakeBand(kEuropeCable);
  }
  return MakeBand(kEuropeAir);
}

}  // namespace

ChannelPlan PlanFor(int countryCode, int standard) {
  switch (countryCode) {
    case 61: return ChannelPlan::kAustralia;
    case 86:
    case 1886: return ChannelPlan::kChina;
    case 353: return ChannelPlan::kIreland;
    case 44: return ChannelPlan::kUnitedKingdom;
    case 81: return ChannelPlan::kJapan;
    default: break;
  }
  switch (standard) {
    case 0x1:      // NTSC-M
    case 0x4:
    case 0x200:    // PAL-M
    case 0x400:    // PAL-N
      return ChannelPlan::kAmerica;
    case 0x2: return ChannelPlan::kJapan;
    case 0x40000: return ChannelPlan::kFrance;
    case 0x20:     // PAL-D
    case 0x2000:   // SECAM-D
    case 0x10000:  // SECAM-K
      return ChannelPlan::kOirt;
    case 0x100: return ChannelPlan::kUnitedKingdom;
    default: return ChannelPlan::kEurope;
  }
}

std::optional<int> ChannelFrequencyKHz(ChannelPlan plan, bool antenna, int channel) {
  const Band band = BandOf(plan, antenna);
  for (int i = 0; i < band.count; ++i) {
    const Run& r = band.runs[i];
    if (channel >= r.first && channel <= r.last) return r.firstKHz + (channel - r.first) * r.stepKHz;
  }
  return std::nullopt;
}

std::vector<int> ChannelNumbers(ChannelPlan plan, bool antenna) {
  std::vector<int> out;
  const Band band = BandOf(plan, antenna);
  for (int channel = 0; channel < 500; ++channel) {
    for (int i = 0; i < band.count; ++i) {
      if (channel >= band.runs[i].first && channel <= band.runs[i].last) {
        out.push_back(channel);
        break;
      }
    }
  }
  return out;
}

std::optional<int> ChannelAt(ChannelPlan plan, bool antenna, int kHz) {
  std::optional<int> best;
  int bestDistance = 4000;
  for (const int channel : ChannelNumbers(plan, antenna)) {
    const int distance = std::abs(*ChannelFrequencyKHz(plan, antenna, channel) - kHz);
    if (distance < bestDistance) {
      bestDistance = distance;
      best = channel;
    }
  }
  return best;
}

}  // namespace plat::tv
