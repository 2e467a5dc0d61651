// What a recorded file holds, read back with GStreamer: the discoverer's
// codec, rate, channels, bit rate and duration, and the dominant frequency
// of its decoded sound (Goertzel over a set of candidate tones).
#pragma once

#include <string>
#include <vector>

namespace radio_test {

struct FileFacts {
  bool ok = false;
  std::string codec;
  int rate = 0;
  int channels = 0;
  unsigned bitrate = 0;
  double seconds = 0;
};

FileFacts Discover(const std::string& path);

// Mono float samples of the file at `rate`.
std::vector<float> DecodeSamples(const std::string& path, int rate = 48000);

// Which of `candidates` (Hz) is strongest in the samples.
int DominantTone(const std::vector<float>& samples, int rate, const std::vector<int>& candidates);

}  // namespace radio_test
