// The Music page's page ids and the remote-control modes the Music
// controller uses.
#pragma once

namespace music {

inline constexpr int kTrackPage = 1;
inline constexpr int kCdRecordPage = 2;
inline constexpr int kFileEditPage = 3;
inline constexpr int kDevicePage = 4;
inline constexpr int kFolderPage = 6;
inline constexpr int kCapturePage = 8;
inline constexpr int kAlbumsPage = 9;
inline constexpr int kArtistsPage = 10;
inline constexpr int kGenresPage = 11;
inline constexpr int kPlaylistsPage = 12;
inline constexpr int kSongsPage = 13;
inline constexpr int kSettingsPage = 14;
inline constexpr int kAlbumTracksPage = 15;
inline constexpr int kArtistTracksPage = 16;
inline constexpr int kGenreTracksPage = 17;
inline constexpr int kPlaylistTracksPage = 18;
inline constexpr int kCdPage = 19;
inline constexpr int kVisualizationSettingsPage = 20;
inline constexpr int kSearchPage = 21;
inline constexpr int kFolderSelectPage = 22;
inline constexpr int kRipSelectPage = 23;
inline constexpr int kVisualizationPage = 24;
inline constexpr int kRipPageA = 25;
inline constexpr int kRipPageB = 26;

// Remote-control notices (vendor 1): modes and the module word.
inline constexpr int kRemoteModeEntry = 0;
inline constexpr int kRemoteModePlay = 1;
inline constexpr int kRemoteModePause = 2;
inline constexpr int kRemoteModeStop = 3;
inline constexpr int kRemoteModeFastForward = 4;
inline constexpr int kRemoteModeRewind = 5;
inline constexpr int kRemoteModePrevious = 6;
inline constexpr int kRemoteModeNext = 7;
inline constexpr int kRemoteCdModule = 3;
inline constexpr int kRemoteMusicModule = 7;

// Track record texts, in the order the player's attributes are read.
inline constexpr const char* kTrackAttributes[7] = {"Name", "Artist", "Album", "SourceURL",
                                                    "Duration", "WM/WMCollectionID", "ReleaseDate"};
inline constexpr int kTrackName = 0;
inline constexpr int kTrackAlbum = 2;
inline constexpr int kTrackUrl = 3;

}  // namespace music
