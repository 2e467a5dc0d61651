// The Music module's action names and the two "Return from" names, with their
// ids and handlers.
#include "corebridge/core/ui_system_object.h"

namespace {
struct Registration {
  const char* name;
  int id;
  ActionHandler handler;
};
}  // namespace

void CUISystem::RegisterMusicActions() {
  static const Registration kActions[] = {
      {"Music Play", 101, &CUISystem::OnMusicPlay},
      {"Music Pause", 102, &CUISystem::OnMusicPause},
      {"Music Stop", 103, &CUISystem::OnMusicStop},
      {"Music Previous Track", 104, &CUISystem::OnMusicPreviousTrack},
      {"Music Next Track", 105, &CUISystem::OnMusicNextTrack},
      {"Music Fastforward", 106, &CUISystem::OnMusicFastforward},
      {"Music Rewind", 107, &CUISystem::OnMusicRewind},
      {"Music Previous Effect", 108, &CUISystem::OnMusicPreviousEffect},
      {"Music Next Effect", 109, &CUISystem::OnMusicNextEffect},
      {"Music Menu", 110, &CUISystem::OnMusicMenu},
      {"Music TagFiles", 111, &CUISystem::OnMusicTagFiles},
      {"Music TagFolders", 112, &CUISystem::OnMusicTagFolders},
      {"Music Delete Files", 113, &CUISystem::OnMusicDeleteFiles},
      {"Music Play On Control Panel", 114, &CUISystem::OnMusicPlay},
      {"Music Play On Control Panel Focus", 115, &CUISystem::OnMusicPlay},
      {"Music Play Pause", 116, &CUISystem::OnMusicPlayPause},
      {"Music Pause Play", 117, &CUISystem::OnMusicPausePlay},
      {"Music Record Stop", 118, &CUISystem::OnMusicStop},
      {"Music Playlist", 119, &CUISystem::OnMusicPlaylist},
      {"Music Repeat All", 120, &CUISystem::OnMusicRepeatAll},
      {"Music Repeat All Focus", 121, &CUISystem::OnMusicRepeatAll},
      {"Music Shuffle", 122, &CUISystem::OnMusicShuffle},
      {"Music Shuffle Focus", 123, &CUISystem::OnMusicShuffle},
      {"Music Sort By Name", 124, &CUISystem::OnMusicSortByName},
      {"Music Sort By Name Focus", 125, &CUISystem::OnMusicSortByName},
      {"Music Sort By Date", 126, &CUISystem::OnMusicSortByDate},
      {"Music Sort By Date Focus", 127, &CUISystem::OnMusicSortByDate},
      {"Music Browse By Path", 128, &CUISystem::OnMusicBrowseByPath},
      {"Music Browse By Album", 129, &CUISystem::OnMusicBrowseByAlbum},
      {"Music Browse By Artist", 130, &CUISystem::OnMusicBrowseByArtist},
      {"Music Browse By Song", 131, &CUISystem::OnMusicBrowseBySong},
      {"Music Album", 132, &CUISystem::OnMusicAlbum},
      {"Music Genre", 133, &CUISystem::OnMusicGenre},
      {"Music Artist", 134, &CUISystem::OnMusicArtist},
      {"Music Select All", 135, &CUISystem::OnMusicSelectAll},
      {"Music Clear All", 136, &CUISystem::OnMusicSelectAll},
      {"Music Rip CD", 137, &CUISystem::OnMusicRipCD},
      {"Music ClickList", 138, &CUISystem::OnMusicClickList},
      {"Music Visualization", 139, &CUISystem::OnMusicVisualization},
      {"Music Visualization Focus", 140, &CUISystem::OnMusicVisualization},
      {"Music Visualization Plus Selection", 141, &CUISystem::OnMusicVisualizationPlusSelection},
      {"Music Back", 142, &CUISystem::OnMusicBack},
      {"Music Settings", 143, &CUISystem::OnMusicSettings},
      {"Music Show Song Information Left", 144, &CUISystem::OnMusicShowSongInformationLeft},
      {"Music Show Song Information Right", 145, &CUISystem::OnMusicShowSongInformationLeft},
      {"Music Select Visualization Enter", 146, &CUISystem::OnMusicSelectVisualizationEnter},
      {"Music Rip Now", 147, &CUISystem::OnMusicRipNow},
      {"Music Resume Ripping", 148, &CUISystem::OnMusicResumeRipping},
      {"Music Ripping Format Left", 149, &CUISystem::OnMusicRippingFormatLeft},
      {"Music Ripping Format Right", 150, &CUISystem::OnMusicRippingFormatLeft},
      {"Music Select Default Folder", 151, &CUISystem::OnMusicSelectDefaultFolder},
      {"Music Select Default Folder Return", 152, &CUISystem::OnMusicSelectDefaultFolderReturn},
      {"Music Defualt Setting Enter", 153, &CUISystem::OnMusicDefualtSettingEnter},
      {"Music Resize", 154, &CUISystem::OnMusicResize},
      {"Music Stop Ripping", 155, &CUISystem::OnMusicStopRipping},
      {"Music start Media Search", 156, &CUISystem::OnMusicStartMediaSearch},
      {"Music stop Media Search", 157, &CUISystem::OnMusicStopMediaSearch},
      {"Music Close Search", 158, &CUISystem::OnMusicCloseSearch},
      {"Music Refresh Media Library", 159, &CUISystem::OnMusicRefreshMediaLibrary},
      {"Music Media Library", 160, &CUISystem::OnMusicMediaLibrary},
      {"Music Mixer Device Left", 161, &CUISystem::OnMusicMixerDeviceLeft},
      {"Music Mixer Device Right", 162, &CUISystem::OnMusicMixerDeviceRight},
      {"Music Mixer Source Left", 164, &CUISystem::OnMusicMixerSourceLeft},
      {"Music Mixer Source Right", 165, &CUISystem::OnMusicMixerSourceRight},
      {"Music Copy", 166, &CUISystem::OnMusicCopy},
      {"Music_Filebrowsing_Complete", 167, &CUISystem::OnMusicFilebrowsingComplete},
      {"Music Album Art Path", 168, &CUISystem::OnMusicAlbumArtPath},
      {"Return from Visualization", 503, &CUISystem::OnReturnFromVisualization},
      {"Return from Settings", 504, &CUISystem::OnReturnFromSettings},
  };
  for (const auto& r : kActions) m_actions.Register(r.name, r.id, r.handler);
}
