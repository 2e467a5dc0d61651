#include "corebridge/core/movie_config.h"

#include <algorithm>
#include <array>

#include "corebridge/core/config.h"
#include "corebridge/core/registry_key.h"
#include "corebridge/core/settings_fields.h"
#include "corebridge/core/xml_settings.h"
#include "platform/registry/registry.h"

namespace {

std::vector<std::string> SplitAtComma(std::string_view text) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    parts.emplace_back(text.substr(start, comma - start));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return parts;
}

bool IsKnownRating(std::uint32_t rating) {
  constexpr std::array<std::uint32_t, 6> kRatings{1, 3, 4, 5, 7, 15};
  return std::find(kRatings.begin(), kRatings.end(), rating) != kRatings.end();
}

}  // namespace

CMovieConfig::CMovieConfig(CConfig* root)
    : m_arrSpeedList1(SplitAtComma("1.5,2,3,4,8,16,32,1")),
      m_arrSpeedList2(SplitAtComma("1,1.5,2,3,4,8,16,32,0")),
      m_pRoot(root) {
  ReadDefaultColorProfile();
  ReadRegistryDefaults();
}

CMovieConfig::~CMovieConfig() = default;

int CMovieConfig::ReadDefaultColorProfile() {
  CRegistryKey key(plat::HKEY_LOCAL_MACHINE);
  if (!key.OpenAllAccess(plat::HKEY_LOCAL_MACHINE, CConfig::kRegistryKey)) return 0;
  plat::DWORD value = 0;
  if (key.QueryDword("DefaultColorProfile", value) && value >= 1 && value <= 5) {
    m_nColorProfile = static_cast<int>(value);
  } else {
    m_nColorProfile = kDefaultColorProfile;
  }
  return 1;
}

void CMovieConfig::ReadRegistryDefaults() {
  CRegistryKey key(plat::HKEY_LOCAL_MACHINE);
  if (!key.Open(plat::HKEY_LOCAL_MACHINE, CConfig::kRegistryKey, true)) return;
  std::string vendor;
  if (key.QueryString("Vendor", vendor) && vendor == "Vadu") m_nAudioSpeakerIdx = 1;
  plat::DWORD dxva = 0;
  if (key.QueryDword("DefaultDXVA", dxva)) m_bUseDxva = dxva != 0 ? 1 : 0;
}

int CMovieConfig::MovieConfigLoad(CXmlSettings& xml) {
  if (!xml.Root()) return 0;
  using namespace settings_fields;
  ReadInt(xml, "MOVIE_DRIVEIDX", m_nDriveIndex, kSection, kNonNegative);

  // Keys read "into a zero first": a missing key reads as 0 and that 0 is
  // then subject to the key's rule like a value read.
  ReadIntOr(xml, "MOVIE_ISUSEDXVA", m_bUseDxva, kSection, 0, Between(0, 1));
  // 1 letterbox, 2 pan and scan, 3 fill; 0 is what a missing key gives.
  if (m_pRoot) ReadUIntAsIntOr(xml, "MOVIE_WIDESCREENMODE", m_pRoot->m_nWideScreenMode, kSection, 0, Between(0, 3));
  ReadUIntAsIntOr(xml, "MOVIE_COLORPROFILE", m_nColorProfile, kSection, 0, kNonNegative);

  ReadInt(xml, "MOVIE_AUDIOSPEAKERIDX", m_nAudioSpeakerIdx, kSection, kNonNegative);
  ReadInt(xml, "MOVIE_AUDIOPROFILEIDX", m_nAudioProfileIdx, kSection, kNonNegative);
  ReadInt(xml, "MOVIE_AUDIOCHANNELEXPANDERIDX", m_nAudioChannelExpanderIdx, kSection, kNonNegative);
  ReadInt(xml, "MOVIE_SUBTITLEPROFILEIDX", m_nSubtitleProfileIdx, kSection, kNonNegative);
  ReadUIntAsIntOr(xml, "MOVIE_CLOSEDCAPTIONON", m_bClosedCaptionOn, kSection, 0, kAny);
  ReadInt(xml, "MOVIE_LANGUAGEPROFILEIDX", m_nLanguageProfileIdx, kSection, kNonNegative);
  xml.XmlGetString("MOVIE_PCPASSWORD", m_strParentalPassword, kSection);

  std::uint32_t rating = 0;
  if (xml.XmlGetUInt("MOVIE_RATING", rating, kSection) && IsKnownRating(rating)) {
    m_nRating = static_cast<int>(rating);
  }
  return 1;
}

int CMovieConfig::MovieConfigSave(CXmlSettings& xml) {
  xml.XmlSetInt("MOVIE_DRIVEIDX", m_nDriveIndex, kSection);
  xml.XmlSetInt("MOVIE_ISUSEDXVA", m_bUseDxva, kSection);
  xml.XmlSetUInt("MOVIE_WIDESCREENMODE", static_cast<std::uint32_t>(m_pRoot ? m_pRoot->m_nWideScreenMode : 0),
                 kSection);
  xml.XmlSetUInt("MOVIE_COLORPROFILE", static_cast<std::uint32_t>(m_nColorProfile), kSection);
  xml.XmlSetInt("MOVIE_AUDIOSPEAKERIDX", m_nAudioSpeakerIdx, kSection);
  xml.XmlSetInt("MOVIE_AUDIOPROFILEIDX", m_nAudioProfileIdx, kSection);
  xml.XmlSetInt("MOVIE_AUDIOCHANNELEXPANDERIDX", m_nAudioChannelExpanderIdx, kSection);
  xml.XmlSetInt("MOVIE_SUBTITLEPROFILEIDX", m_nSubtitleProfileIdx, kSection);
  xml.XmlSetUInt("MOVIE_CLOSEDCAPTIONON", static_cast<std::uint32_t>(m_bClosedCaptionOn), kSection);
  xml.XmlSetInt("MOVIE_LANGUAGEPROFILEIDX", m_nLanguageProfileIdx, kSection);
  xml.XmlSetString("MOVIE_PCPASSWORD", m_strParentalPassword, kSection);
  xml.XmlSetUInt("MOVIE_RATING", static_cast<std::uint32_t>(m_nRating), kSection);
  return 1;
}

int CMovieConfig::MovieKeyPlaying(int& enabled) const {
  enabled = IsPlaying() ? 1 : 0;
  return 1;
}

int CMovieConfig::PlayingWithCap(std::uint32_t cap, int& enabled) const {
  enabled = (IsPlaying() && (m_dwDiscCaps & cap) != 0) ? 1 : 0;
  return 1;
}

int CMovieConfig::MovieKeyPrevChapter(int& enabled) const { return PlayingWithCap(MOVIE_CAP_PREV_CHAPTER, enabled); }
int CMovieConfig::MovieKeyNextChapter(int& enabled) const { return PlayingWithCap(MOVIE_CAP_NEXT_CHAPTER, enabled); }
int CMovieConfig::MovieKeyFastForward(int& enabled) const { return PlayingWithCap(MOVIE_CAP_FAST_FORWARD, enabled); }
int CMovieConfig::MovieKeyRewind(int& enabled) const { return PlayingWithCap(MOVIE_CAP_REWIND, enabled); }
