// The table of contents of an audio CD: a drive's device read with libcdio,
// or a CUE/BIN or TOC disc image read from its sheet: its tracks, their
// lengths and CD-TEXT.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace wmhost {

struct CdTrack {
  int number = 0;  // as on the disc, from 1
  bool audio = true;
  unsigned startSector = 0;
  unsigned sectors = 0;
  double seconds = 0;
  std::string title;
  std::string performer;
};

struct CdTableOfContents {
  std::string title;
  std::string performer;
  std::vector<CdTrack> tracks;
  // What the libcdio readers (the GStreamer CD source) open for this disc:
  // the drive, the image's sheet, or a copy of a TOC naming its files by
  // absolute path.
  std::string readerDevice;
};

// Empty, with the reason, when there is no readable disc.
std::optional<CdTableOfContents> ReadCdTableOfContents(const std::string& device, std::string* error = nullptr);

}  // namespace wmhost
