// Playlist files: ".m3u" (lines), ".wpl" (SMIL), ".asx", ".wax" and ".wmx"
// (the ASX XML form). Entries come back as absolute paths or URLs, in order;
// relative entries are resolved against the playlist's folder. Nothing in a
// file is executed or used as a format; oversized and malformed files are
// refused with the reason.
#pragma once

#include <string>
#include <vector>

namespace wmhost {

struct PlaylistFileContents {
  bool ok = false;
  std::string error;
  std::string title;  // from the file when it names one, else the file name without extension
  std::vector<std::string> entries;
};

inline constexpr std::size_t kMaxPlaylistFileBytes = 4 * 1024 * 1024;

bool IsPlaylistFileName(const std::string& path);
PlaylistFileContents ReadPlaylistFile(const std::string& path);

}  // namespace wmhost
