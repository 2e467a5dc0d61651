#include "corebridge/modules/music_album_art.h"

#include <array>
#include <filesystem>
#include <string_view>

namespace music {
namespace {

namespace fs = std::filesystem;

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower;
}

bool IsRegularFile(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

}  // namespace

std::string FindAlbumArtFile(const std::string& playerPath) {
  if (playerPath.empty()) return {};
  if (IsRegularFile(playerPath)) return playerPath;
  return FindFolderPicture(fs::path(playerPath).parent_path().string());
}

std::string FindFolderPicture(const std::string& folder) {
  if (folder.empty()) return {};
  constexpr std::array<std::string_view, 5> kStems{"folder", "cover", "front", "albumart", "albumartsmall"};
  constexpr std::array<std::string_view, 5> kEndings{".jpg", ".jpeg", ".png", ".bmp", ".gif"};
  // The best stem found so far (its rank) and its file; between equal
  // stems ("cover.jpg", "Cover.png") the first path in byte order, so the
  // choice does not depend on the order the folder lists them.
  std::size_t best = kStems.size();
  std::string found;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    const fs::path& path = it->path();
    const std::string ending = Lower(path.extension().string());
    bool picture = false;
    for (std::string_view e : kEndings) picture = picture || ending == e;
    if (!picture || !IsRegularFile(path)) continue;
    const std::string stem = Lower(path.stem().string());
    for (std::size_t rank = 0; rank < kStems.size(); ++rank) {
      if (stem != kStems[rank]) continue;
      if (rank < best || (rank == best && path.string() < found)) {
        best = rank;
        found = path.string();
      }
      break;
    }
  }
  return found;
}

}  // namespace music
