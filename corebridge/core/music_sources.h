// The sources of the Music device page, in row order. The Music page draws
// these rows and the Music controller opens row k of the same list, so what
// a row shows is what choosing it opens.
#pragma once

#include <string>
#include <vector>

class CConfig;

struct MusicSource {
  enum Kind { DefaultFolder, MediaLibrary, Folder, AudioCd, Removable, CardReader, Network };
  Kind kind = DefaultFolder;
  std::string path;   // folder or drive root; empty for the media library
  std::string label;  // the text the drive lists give; may be empty
};

// Row 0 the music folder, then the media library (application flag 0x80),
// the fixed folders (flag 0x4), the optical drives (each opened as an audio
// CD), the removable drives (newest first), the card readers and the network
// places (flag 0x20).
std::vector<MusicSource> MusicSources(const CConfig& config, int appFlags);
