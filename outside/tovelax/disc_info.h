// Facts read straight from a DVD's IFO files: its identity, the regions it
// refuses and its parental tables.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "outside/tovelax/bookmark_store.h"

namespace tovelax {

struct DiscInfo {
  DiscId id{};
  std::uint32_t refusedRegions = 0;  // set bit = region n+1 refused
  // Per title set (index 0 = the video manager) and level 1..8: non-zero when
  // the disc's parental table defines the title set at that level. Empty when
  // the disc has no parental table.
  std::vector<std::array<std::uint16_t, 8>> parental;
  std::vector<int> titleSetOfTitle;  // index title-1 -> title set number
};

// nullopt when the disc cannot be read or its IFOs are damaged.
std::optional<DiscInfo> ReadDiscInfo(const std::string& path);

// Bits 8..15 for the levels 1..8 at which `title` is defined; all levels when
// the disc has no parental table.
std::uint32_t TitleParentalMask(const DiscInfo& info, int title);

}  // namespace tovelax
