// A stream of 2048-byte sectors for one data track, as libburn reads it
// (`struct burn_source`, which libisofs also produces). Owns one reference.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

struct burn_source;

namespace authoring {

struct TrackSourceFree {
  void operator()(burn_source* source) const;
};
using TrackSource = std::unique_ptr<burn_source, TrackSourceFree>;

// A source reading a file (an ISO image).
TrackSource FileTrackSource(const std::string& path);
// The source's size in bytes.
std::int64_t TrackSourceSize(burn_source* source);

}  // namespace authoring
