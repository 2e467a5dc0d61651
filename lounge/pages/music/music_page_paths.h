// The Music page's views: which layout each music page id loads and which
// list-type title it shows.
#pragma once

#include <string>

// The layout path of music page `id` for the vendor and the active module;
// empty for the ids that load nothing (0, 5, 7 and above 29).
std::string MusicPagePath(int id, int vendorId, int activeModule);

// The string-table key of the list-type title of page `id`; empty when the
// page shows a name instead (audio CD, browsing) or nothing.
std::string MusicListTypeKey(int id);

// Music page ids the page treats specially.
inline constexpr int MUSIC_PAGE_LIBRARY = 1;
inline constexpr int MUSIC_PAGE_CD_TRACKS = 2;
inline constexpr int MUSIC_PAGE_FILE_EDITING = 3;
inline constexpr int MUSIC_PAGE_DEVICES = 4;
inline constexpr int MUSIC_PAGE_FOLDERS = 6;
inline constexpr int MUSIC_PAGE_ALBUMS = 9;
inline constexpr int MUSIC_PAGE_ALBUM_TRACKS = 15;
inline constexpr int MUSIC_PAGE_CD_TRACKS_2 = 19;
inline constexpr int MUSIC_PAGE_VISUALIZATIONS = 20;
inline constexpr int MUSIC_PAGE_FOLDER_SELECTOR = 22;
inline constexpr int MUSIC_PAGE_RIP_SELECTION = 23;
inline constexpr int MUSIC_PAGE_VISUALIZATION_DISPLAY = 24;
inline constexpr int MUSIC_PAGE_RIPPING = 25;
inline constexpr int MUSIC_PAGE_BURN_PREVIEW = 29;
