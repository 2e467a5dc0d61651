// The rows of the Music device page, in the order the Music controller
// selects them ("Music ClickList" with row k picks what row k shows): row 0
// the default folder, then the media library (application flag 0x80), the
// fixed folders (flag 0x4), the optical drives, the removable drives (newest
// first), the card readers and the network places (flag 0x20).
#pragma once

#include <string>
#include <vector>

class CConfig;

struct MusicDeviceRow {
  enum Kind { DefaultFolder, MediaLibrary, Folder, Optical, Removable, CardReader, Network };
  Kind kind = DefaultFolder;
  std::string path;  // folder or drive root; empty for the media library
  std::string name;  // the text the row shows
  std::string icon;  // skin bitmap, relative to the application folder
};

// The rows for the configuration, the application flag word and the vendor.
std::vector<MusicDeviceRow> MusicDeviceRows(const CConfig& config, int appFlags, int vendorId);
