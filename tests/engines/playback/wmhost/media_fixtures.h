// Generated media for the engine's tests: tones written by GStreamer
// (WAV, MP3), tags written with TagLib, scratch folders, and a CD image.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace wmhost_test {

// A fresh folder, removed with everything in it at the end of the scope.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

enum class AudioFormat { Wav, Mp3 };

// Writes `seconds` of a sine tone; false when GStreamer could not.
bool WriteTone(const std::string& path, AudioFormat format, double seconds, int frequency = 440);

struct TagValues {
  std::string title;
  std::string artist;
  std::string album;
  std::string genre;
  unsigned year = 0;
  unsigned track = 0;
};
bool WriteTags(const std::string& path, const TagValues& tags);

// A file of exactly `bytes` bytes (content irrelevant).
void WriteBytes(const std::string& path, std::uint64_t bytes);
void WriteText(const std::string& path, const std::string& text);

struct CueTrack {
  double seconds;
  std::string title;
  std::string performer;
};
// "<folder>/disc.bin" of silent audio sectors and "<folder>/disc.cue"
// describing it with CD-TEXT; returns the CUE path.
std::string WriteCdImage(const std::string& folder, const std::string& discTitle, const std::string& discPerformer,
                         const std::vector<CueTrack>& tracks);

}  // namespace wmhost_test
