#include "corebridge/core/music_config.h"

#include <algorithm>

#include "corebridge/core/config.h"
#include "corebridge/core/section_text.h"
#include "corebridge/core/settings_fields.h"
#include "corebridge/core/xml_settings.h"

CMusicConfig::CMusicConfig(CConfig* root)
    : m_pRoot(root),
      m_pMixerProfiles1(std::make_unique<CAudioProfileList>()),
      m_pMixerProfiles2(std::make_unique<CAudioProfileList>()) {}

CMusicConfig::~CMusicConfig() = default;

int CMusicConfig::MusicConfigLoad(CXmlSettings& xml) {
  if (!xml.Root()) return 0;
  using namespace settings_fields;
  ReadInt(xml, "MUSIC_ORDERING", m_nOrdering, kSection, kAny);
  ReadInt(xml, "MUSIC_RIPPING_FORMAT", m_nRippingFormat, kSection, kAny);
  xml.XmlGetInt("MUSIC_WITH_SONG_INFO", m_bWithSongInfo, kSection);
  xml.XmlGetInt("MUSIC_REPEAT_ALL", m_bRepeatAll, kSection);
  xml.XmlGetInt("MUSIC_SHUFFLE", m_bShuffle, kSection);

  std::vector<std::string> ids;
  std::vector<std::string> names;
  std::vector<int> selected;
  std::vector<std::uint32_t> numbers;
  xml.XmlGetStringArray("MUSIC_VISUAL_EFFECT_STRID", ids, kSection);
  xml.XmlGetStringArray("MUSIC_VISUAL_EFFECT_LNAME", names, kSection);
  xml.XmlGetBooleanArray("MUSIC_VISUAL_EFFECT_SELECT", selected, kSection);
  xml.XmlGetUIntArray("MUSIC_VISUAL_EFFECT_UINTID", numbers, kSection);
  // The four lists describe one entry per index; a file whose lists differ
  // in length gives only the entries that every list holds.
  const std::size_t count = std::min({ids.size(), names.size(), selected.size(), numbers.size()});
  m_arrVisualEffects.clear();
  for (std::size_t i = 0; i < count; ++i) {
    m_arrVisualEffects.push_back(MusicVisualEffect{selected[i], ids[i], names[i], numbers[i]});
  }

  xml.XmlGetString("MUSIC_BROWSEFOLDER", m_strBrowseFolder, kSection);
  if (!section_text::FolderExists(m_strBrowseFolder) && m_pRoot) m_strBrowseFolder = m_pRoot->m_strMusicFolder;
  return 1;
}

int CMusicConfig::MusicConfigSave(CXmlSettings& xml) {
  xml.XmlSetInt("MUSIC_ORDERING", m_nOrdering, kSection);
  xml.XmlSetInt("MUSIC_RIPPING_FORMAT", m_nRippingFormat, kSection);
  xml.XmlSetInt("MUSIC_WITH_SONG_INFO", m_bWithSongInfo, kSection);
  xml.XmlSetInt("MUSIC_REPEAT_ALL", m_bRepeatAll, kSection);
  xml.XmlSetInt("MUSIC_SHUFFLE", m_bShuffle, kSection);

  std::vector<std::string> ids;
  std::vector<std::string> names;
  std::vector<int> selected;
  std::vector<std::uint32_t> numbers;
  for (const MusicVisualEffect& effect : m_arrVisualEffects) {
    ids.push_back(effect.strId);
    names.push_back(effect.strLongName);
    selected.push_back(effect.bSelected);
    numbers.push_back(effect.nId);
  }
  xml.XmlSetStringArray("MUSIC_VISUAL_EFFECT_STRID", ids, kSection);
  xml.XmlSetStringArray("MUSIC_VISUAL_EFFECT_LNAME", names, kSection);
  xml.XmlSetBooleanArray("MUSIC_VISUAL_EFFECT_SELECT", selected, kSection);
  xml.XmlSetUIntArray("MUSIC_VISUAL_EFFECT_UINTID", numbers, kSection);
  xml.XmlSetString("MUSIC_BROWSEFOLDER", m_strBrowseFolder, kSection);
  return 1;
}

void CMusicConfig::PushMusicPage(int page) { m_arrPageHistory.push_back(page); }

int CMusicConfig::PeekMusicPage(int& page) const {
  if (m_arrPageHistory.empty()) return 0;
  page = m_arrPageHistory.back();
  return 1;
}

int CMusicConfig::PopMusicPage(int& page) {
  if (m_arrPageHistory.empty()) return 0;
  page = m_arrPageHistory.back();
  m_arrPageHistory.pop_back();
  return 1;
}

int CMusicConfig::PushMusicListPosition(int a, int b, int position) {
  m_arrListPositions.push_back(MusicListPosition{a, b, position});
  return 1;
}

int CMusicConfig::PeekMusicListPosition(int& position) const {
  if (m_arrListPositions.empty()) return 0;
  position = m_arrListPositions.back().nPosition;
  return position >= 0 ? 1 : 0;
}

int CMusicConfig::PopMusicListPosition(MusicListPosition& entry) {
  if (m_arrListPositions.empty()) return 0;
  entry = m_arrListPositions.back();
  m_arrListPositions.pop_back();
  return 1;
}

int CMusicConfig::CountCheckedVisualEffects(int& count) const {
  count = static_cast<int>(std::count_if(m_arrVisualEffects.begin(), m_arrVisualEffects.end(),
                                         [](const MusicVisualEffect& e) { return e.bSelected != 0; }));
  return 1;
}

int CMusicConfig::CountCheckedMusicItems(int& count) const {
  count = static_cast<int>(std::count_if(m_vecCurrentList.begin(), m_vecCurrentList.end(),
                                         [](const MusicItem& item) { return item.bChecked != 0; }));
  return 1;
}

int CMusicConfig::CountTracksInState1() const {
  return static_cast<int>(std::count_if(m_vecLibraryTracks.begin(), m_vecLibraryTracks.end(),
                                        [](const MusicRecord& track) { return track.bChecked == 1; }));
}

int CMusicConfig::CountTracksInState8() const {
  return static_cast<int>(std::count_if(m_vecLibraryTracks.begin(), m_vecLibraryTracks.end(),
                                        [](const MusicRecord& track) { return track.bChecked == 8; }));
}

bool CMusicConfig::MusicTrackIndexValid(int index) const {
  return index >= 0 && static_cast<std::size_t>(index) < m_vecPlayList.size();
}

int CMusicConfig::ClearMusicLists() {
  m_vecPlayList.clear();
  m_vecCurrentList.clear();
  return 1;
}

int CMusicConfig::IsMusicBrowseState(int& answer) const {
  answer = (m_nMusicState >= MUSIC_PAUSED && m_nMusicState <= MUSIC_REWIND) ? 1 : 0;
  return 1;
}

int CMusicConfig::MusicNotStopped(int& answer) const {
  answer = m_nMusicState != MUSIC_STOPPED ? 1 : 0;
  return 1;
}

int CMusicConfig::MusicNoAnswer(int&) const { return 1; }

int CMusicConfig::MusicCanRewind(int& answer) const {
  const int loungeState = m_pRoot ? m_pRoot->m_nLoungeState : 0;
  answer = (m_bCanRewind != 0 && loungeState != 1) ? 1 : 0;
  return 1;
}

int CMusicConfig::MusicCanFastForward(int& answer) const {
  answer = (m_bCanFastForward != 0 && m_nMusicState != MUSIC_STOPPED && m_nMusicState != MUSIC_FAST_FORWARD) ? 1 : 0;
  return 1;
}

int CMusicConfig::GetVisualizationSelection(int& answer) const {
  if (m_nMusicState == MUSIC_STOPPED) {
    answer = 0;
    return 1;
  }
  int selected = 0;
  CountCheckedVisualEffects(selected);
  answer = (selected > 0 && m_nVisualizationSel >= 0) ? 1 : 0;
  return 1;
}

int CMusicConfig::MusicQueryVisualizationPlus(int& answer) const {
  int page = 0;
  if (!PeekMusicPage(page) || page != kVisualizationPage) {
    answer = 0;
    return 1;
  }
  return GetVisualizationSelection(answer);
}

int CMusicConfig::MusicQueryPlayPause(int& first, int& second) const {
  first = m_nMusicState == MUSIC_STOPPED ? 1 : 0;
  int page = 0;
  if (PeekMusicPage(page) && page == kFolderBrowsePage) second = m_vecPlayList.empty() ? 0 : 1;
  return 1;
}
