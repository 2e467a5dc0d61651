#include "lounge/pages/music/music_page_paths.h"

#include "corebridge/core/config.h"

std::string MusicPagePath(int id, int vendorId, int activeModule) {
  const bool vendor4 = vendorId == 4;
  switch (id) {
    case 1: case 6: case 13: case 15: case 16: case 17: case 18:
      return "Music\\Tracks";
    case 2: case 19:
      if (vendor4) return activeModule == MODULE_MUSIC ? "Music\\MusicAudioCD" : "Music\\MusicRecordList";
      return "Music\\AudioCD\\Tracks";
    case 3:
      return "Music\\MusicFileEditing";
    case 4:
      return "Music\\MusicDevice";
    case 8:
      return "Music\\MusicCapture";
    case 9: case 10: case 11: case 12:
      return vendor4 ? "Music\\Tracks" : "Music\\SourceType";
    case 14:
      return "Music\\Settings\\MusicSetting";
    case 20:
      return "Music\\Settings\\VisualizationSetting";
    case 21:
      return "Music\\MediaSearch";
    case 22:
      return "Music\\MusicFolderSelector";
    case 23:
      return vendor4 ? "Music\\MusicRipping" : "Music\\AudioCD\\RipCDTrackSel";
    case 24:
      return "Music\\VisualizationDisplay";
    case 25: case 26:
      return vendor4 ? "Music\\MusicRipping" : "Music\\AudioCD\\RipCDNow";
    case 27:
      return "Music\\Burnning\\SelectSourceType";
    case 28:
      return "Music\\Burnning\\SelectTracks";
    case 29:
      return "Music\\Burnning\\Preview";
    default:
      return {};
  }
}

std::string MusicListTypeKey(int id) {
  switch (id) {
    case 8: return "MUSIC_AUDIOCAPTURE";
    case 13: return "MUSIC_ALLAUDIO";
    case 15: return "MUSIC_ALBUM";
    case 10: case 16: return "MUSIC_ARTIST";
    case 11: case 17: return "MUSIC_GENRE";
    case 12: case 18: return "MUSIC_PLAYLIST";
    default: return {};
  }
}
