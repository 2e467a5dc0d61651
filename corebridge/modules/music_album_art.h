// The picture shown as an album's cover.
#pragma once

#include <string>

namespace music {

// The cover picture for an album whose player-given art path is
// `playerPath`: that file when it exists, else the folder picture beside it
// ("folder", "cover", "front", "albumart" then "AlbumArtSmall" with a .jpg,
// .jpeg, .png, .bmp or .gif ending, any case), as music folders on Linux
// keep their covers. Empty when the folder holds none.
std::string FindAlbumArtFile(const std::string& playerPath);

// The folder's own picture as above; empty when it holds none.
std::string FindFolderPicture(const std::string& folder);

}  // namespace music
