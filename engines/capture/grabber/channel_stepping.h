// Stepping through channels for the scan and the multi-channel preview:
// over the tuner's whole band (channels 0..499, only those in the channel
// table and the start channel count) or over a caller's list.
#pragma once

#include <functional>
#include <optional>
#include <vector>

namespace grabber {

inline constexpr int kBandChannels = 500;

// Whether `channel` is in the channel table; nullopt when the query fails.
using StoredQuery = std::function<std::optional<bool>(int channel)>;

// `steps` counted channels forward (negative: backward) from `current` over
// the whole band. The walk stops early when a query fails or when a whole
// turn finds no channel to count; the result is the last counted channel, or
// `current` when none was.
int StepBand(int current, int steps, int startChannel, const StoredQuery& isStored);

// `steps` places forward or backward in `list` from `current` (a channel
// not in the list starts at the first entry), wrapping around. An empty list
// gives `current`.
int StepList(const std::vector<unsigned>& list, int current, int steps);

}  // namespace grabber
