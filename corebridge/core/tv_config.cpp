#include "corebridge/core/tv_config.h"

#include "corebridge/core/settings_fields.h"
#include "corebridge/core/xml_settings.h"

CTVConfig::CTVConfig(CConfig* root) : m_pConfig(root) {}

CTVConfig::~CTVConfig() = default;

int CTVConfig::TVConfigLoad(CXmlSettings& xml) {
  if (!xml.Root()) return 0;
  xml.XmlGetString("PROFILE_NAME", m_strProfileName, kSection);
  xml.XmlGetString("WORKING_FOLDER", m_strWorkingFolder, kSection);
  xml.XmlGetString("SNAPSHOT_FOLDER", m_strSnapshotFolder, kSection);
  xml.XmlGetString("VIDEO_DEVICE", m_strVideoDevice, kSection);
  xml.XmlGetString("AUDIO_DEVICE", m_strAudioDevice, kSection);
  using namespace settings_fields;
  ReadInt(xml, "COUNTRY_INDEX", m_nCountryIndex, kSection, kIndexOrNone);
  ReadInt(xml, "VIDEO_SOURCE", m_nVideoSource, kSection, kAny);
  ReadInt(xml, "TUNER_TYPE", m_nTunerType, kSection, kAny);
  ReadInt(xml, "CHANNEL", m_nChannel, kSection, kNonNegative);
  ReadInt(xml, "SNAPSHOT_FORMAT", m_nSnapshotFormat, kSection, kAny);
  m_signalChannels.clear();
  m_channelEnable.clear();
  xml.XmlGetUIntArray("SIGNAL_CHANNEL", m_signalChannels, kSection);
  xml.XmlGetBooleanArray("CHANNEL_ENABLE", m_channelEnable, kSection);
  return 1;
}

int CTVConfig::TVConfigSave(CXmlSettings& xml) {
  xml.XmlSetString("PROFILE_NAME", m_strProfileName, kSection);
  xml.XmlSetString("WORKING_FOLDER", m_strWorkingFolder, kSection);
  xml.XmlSetString("SNAPSHOT_FOLDER", m_strSnapshotFolder, kSection);
  xml.XmlSetString("VIDEO_DEVICE", m_strVideoDevice, kSection);
  xml.XmlSetString("AUDIO_DEVICE", m_strAudioDevice, kSection);
  xml.XmlSetInt("COUNTRY_INDEX", m_nCountryIndex, kSection);
  xml.XmlSetInt("VIDEO_SOURCE", m_nVideoSource, kSection);
  xml.XmlSetInt("TUNER_TYPE", m_nTunerType, kSection);
  xml.XmlSetInt("CHANNEL", m_nChannel, kSection);
  xml.XmlSetInt("SNAPSHOT_FORMAT", m_nSnapshotFormat, kSection);
  xml.XmlSetUIntArray("SIGNAL_CHANNEL", m_signalChannels, kSection);
  xml.XmlSetBooleanArray("CHANNEL_ENABLE", m_channelEnable, kSection);
  return 1;
}

void CTVConfig::AddTVChannel(std::uint32_t number, const std::string& name) { m_channelNames[number] = name; }

void CTVConfig::ConstructTVWallCells(int count) {
  if (count > 0) m_tvWallCells.resize(m_tvWallCells.size() + static_cast<std::size_t>(count));
}
