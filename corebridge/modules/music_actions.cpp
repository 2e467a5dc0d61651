// The Music module's action names and the two "Return from" names, with their ids and
// handlers. Names whose handler the controller has not taken over yet go to
// MusicAction, which answers as an absent controller does (0).
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
      {"Music Play", 101, &CUISystem::MusicAction},
      {"Music Pause", 102, &CUISystem::MusicAction},
      {"Music Stop", 103, &CUISystem::OnMusicStop},
      {"Music Previous Track", 104, &CUISystem::OnMusicPreviousTrack},
      {"Music Next Track", 105, &CUISystem::OnMusicNextTrack},
      {"Music Fastforward", 106, &CUISystem::OnMusicFastforward},
      {"Music Rewind", 107, &CUISystem::OnMusicRewind},
      {"Music Previous Effect", 108, &CUISystem::OnMusicPreviousEffect},
      {"Music Next Effect", 109, &CUISystem::OnMusicNextEffect},
      {"Music Menu", 110, &CUISystem::MusicAction},
      {"Music TagFiles", 111, &CUISystem::MusicAction},
      {"Music TagFolders", 112, &CUISystem::MusicAction},
      {"Music Delete Files", 113, &CUISystem::MusicAction},
      {"Music Play On Control Panel", 114, &CUISystem::MusicAction},
      {"Music Play On Control Panel Focus", 115, &CUISystem::MusicAction},
      {"Music Play Pause", 116, &CUISystem::OnMusicPlayPause},
      {"Music Pause Play", 117, &CUISystem::MusicAction},
      {"Music Record Stop", 118, &CUISystem::OnMusicStop},
      {"Music Playlist", 119, &CUISystem::MusicAction},
      {"Music Repeat All", 120, &CUISystem::MusicAction},
      {"Music Repeat All Focus", 121, &CUISystem::MusicAction},
      {"Music Shuffle", 122, &CUISystem::MusicAction},
      {"Music Shuffle Focus", 123, &CUISystem::MusicAction},
      {"Music Sort By Name", 124, &CUISystem::MusicAction},
      {"Music Sort By Name Focus", 125, &CUISystem::MusicAction},
      {"Music Sort By Date", 126, &CUISystem::MusicAction},
      {"Music Sort By Date Focus", 127, &CUISystem::MusicAction},
      {"Music Browse By Path", 128, &CUISystem::MusicAction},
      {"Music Browse By Album", 129, &CUISystem::MusicAction},
      {"Music Browse By Artist", 130, &CUISystem::MusicAction},
      {"Music Browse By Song", 131, &CUISystem::MusicAction},
      {"Music Album", 132, &CUISystem::MusicAction},
      {"Music Genre", 133, &CUISystem::MusicAction},
      {"Music Artist", 134, &CUISystem::MusicAction},
      {"Music Select All", 135, &CUISystem::MusicAction},
      {"Music Clear All", 136, &CUISystem::MusicAction},
      {"Music Rip CD", 137, &CUISystem::MusicAction},
      {"Music ClickList", 138, &CUISystem::MusicAction},
      {"Music Visualization", 139, &CUISystem::MusicAction},
      {"Music Visualization Focus", 140, &CUISystem::MusicAction},
      {"Music Visualization Plus Selection", 141, &CUISystem::MusicAction},
      {"Music Back", 142, &CUISystem::OnMusicBack},
      {"Music Settings", 143, &CUISystem::MusicAction},
      {"Music Show Song Information Left", 144, &CUISystem::MusicAction},
      {"Music Show Song Information Right", 145, &CUISystem::MusicAction},
      {"Music Select Visualization Enter", 146, &CUISystem::MusicAction},
      {"Music Rip Now", 147, &CUISystem::MusicAction},
      {"Music Resume Ripping", 148, &CUISystem::MusicAction},
      {"Music Ripping Format Left", 149, &CUISystem::MusicAction},
      {"Music Ripping Format Right", 150, &CUISystem::MusicAction},
      {"Music Select Default Folder", 151, &CUISystem::MusicAction},
      {"Music Select Default Folder Return", 152, &CUISystem::MusicAction},
      {"Music Defualt Setting Enter", 153, &CUISystem::MusicAction},
      {"Music Resize", 154, &CUISystem::MusicAction},
      {"Music Stop Ripping", 155, &CUISystem::OnMusicStopRipping},
      {"Music start Media Search", 156, &CUISystem::MusicAction},
      {"Music stop Media Search", 157, &CUISystem::OnMusicStopMediaSearch},
      {"Music Close Search", 158, &CUISystem::MusicAction},
      {"Music Refresh Media Library", 159, &CUISystem::MusicAction},
      {"Music Media Library", 160, &CUISystem::MusicAction},
      {"Music Mixer Device Left", 161, &CUISystem::MusicAction},
      {"Music Mixer Device Right", 162, &CUISystem::MusicAction},
      {"Music Mixer Source Left", 164, &CUISystem::MusicAction},
      {"Music Mixer Source Right", 165, &CUISystem::MusicAction},
      {"Music Mixer Source Right", 165, &CUISystem::MusicAction},
      {"Music Copy", 166, &CUISystem::MusicAction},
      {"Music_Filebrowsing_Complete", 167, &CUISystem::MusicAction},
      {"Music Album Art Path", 168, &CUISystem::OnMusicAlbumArtPath},
      {"Return from Visualization", 503, &CUISystem::MusicAction},
      {"Return from Settings", 504, &CUISystem::MusicAction},
  };
  for (const auto& r : kActions) m_actions.Register(r.name, r.id, r.handler);
}
