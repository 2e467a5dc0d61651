// Tags and duration of an audio file, read with TagLib.
#pragma once

#include <optional>
#include <string>

namespace wmhost {

struct AudioTags {
  std::string title;
  std::string artist;
  std::string albumArtist;
  std::string album;
  std::string genre;
  unsigned year = 0;
  unsigned track = 0;
  double duration = 0;  // seconds
};

// Empty when the file cannot be read as audio.
std::optional<AudioTags> ReadAudioTags(const std::string& path);

}  // namespace wmhost
