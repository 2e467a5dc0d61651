#include "engines/capture/grabber/channel_stepping.h"

#include <algorithm>

namespace grabber {

int StepBand(int current, int steps, int startChannel, const StoredQuery& isStored) {
  const int direction = steps < 0 ? kBandChannels - 1 : 1;
  int remaining = steps < 0 ? -steps : steps;
  int reached = current;
  int candidate = ((current % kBandChannels) + kBandChannels) % kBandChannels;
  while (remaining > 0) {
    bool counted = false;
    // One turn of the band at most for each step.
    for (int tried = 0; tried < kBandChannels; ++tried) {
      candidate = (candidate + direction) % kBandChannels;
      const std::optional<bool> stored = isStored(candidate);
      if (!stored) return reached;
      if (*stored || candidate == startChannel) {
        counted = true;
        break;
      }
    }
    if (!counted) return reached;
    reached = candidate;
    --remaining;
  }
  return reached;
}

int StepList(const std::vector<unsigned>& list, int current, int steps) {
  if (list.empty()) return current;
  const long long size = static_cast<long long>(list.size());
  const auto found = std::find(list.begin(), list.end(), static_cast<unsigned>(current));
  const long long at = found == list.end() ? 0 : found - list.begin();
  const long long next = ((at + steps) % size + size) % size;
  return static_cast<int>(list[static_cast<std::size_t>(next)]);
}

}  // namespace grabber
