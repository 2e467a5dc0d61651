// Load plus save of a full Config.xml: every section with realistic content
// (station and channel lists, recent files), read back through the getters
// and written again through the setters, as start and stop do. Figures:
// - load only (parse and read every value);
// - load plus save into a RAM-backed folder (all work but the disk flush);
// - load plus save into the temporary folder (with the flush of the atomic
//   save, which depends on the disk).
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "corebridge/core/config.h"
#include "corebridge/core/xml_settings.h"

namespace {

struct FullSettings {
  std::vector<std::string> fmNames, amNames, tvNames, recent;
  std::vector<std::uint32_t> fmFreq, amFreq, fmPreset, amPreset, tvChannels;
  std::vector<int> fmSelect, amSelect, tvEnabled;
};

FullSettings MakeSettings() {
  FullSettings s;
  for (int i = 0; i < 100; ++i) {
    s.fmNames.push_back("FM Station " + std::to_string(i) + " – Klassik & Jazz");
    s.fmFreq.push_back(87500000u + static_cast<std::uint32_t>(i) * 200000u);
    s.fmSelect.push_back(i % 3 == 0);
    s.fmPreset.push_back(i < 20 ? static_cast<std::uint32_t>(i) : 0xFFFFFFFFu);
  }
  for (int i = 0; i < 50; ++i) {
    s.amNames.push_back("AM " + std::to_string(i));
    s.amFreq.push_back(531000000u + static_cast<std::uint32_t>(i) * 9000000u);
    s.amSelect.push_back(i % 2);
    s.amPreset.push_back(0xFFFFFFFFu);
  }
  for (int i = 0; i < 125; ++i) {
    s.tvNames.push_back("Channel " + std::to_string(i));
    s.tvChannels.push_back(static_cast<std::uint32_t>(i + 1));
    s.tvEnabled.push_back(1);
  }
  for (int i = 0; i < 20; ++i) s.recent.push_back("/home/user/Videos/Holiday " + std::to_string(i) + ".mpg");
  return s;
}

void WriteSections(CXmlSettings& xml, const FullSettings& s) {
  const char* movieKeys[] = {"MOVIE_DRIVEIDX", "MOVIE_ISUSEDXVA", "MOVIE_AUDIOSPEAKERIDX", "MOVIE_AUDIOPROFILEIDX",
                             "MOVIE_AUDIOCHANNELEXPANDERIDX", "MOVIE_SUBTITLEPROFILEIDX",
                             "MOVIE_LANGUAGEPROFILEIDX"};
  for (const char* key : movieKeys) xml.XmlSetInt(key, 1, "MOVIECONFIG");
  for (const char* key : {"MOVIE_WIDESCREENMODE", "MOVIE_COLORPROFILE", "MOVIE_CLOSEDCAPTIONON", "MOVIE_RATING"})
    xml.XmlSetUInt(key, 3, "MOVIECONFIG");
  xml.XmlSetString("MOVIE_PCPASSWORD", "1234", "MOVIECONFIG");
  xml.XmlSetStringArray("RECENT_FILES", s.recent, "VIDEOCONFIG");
  for (const char* key : {"SORT_MODE", "SCREEN_MODE_4X3", "SCREEN_MODE_16X9", "DV_PROFILE"})
    xml.XmlSetInt(key, 1, "VIDEOCONFIG");
  for (const char* key : {"PHOTO_DURATION", "PHOTO_TRANSITION", "PHOTO_ISPLAYBGMUSIC", "PHOTO_BGMUSICTYPE"})
    xml.XmlSetInt(key, 2, "PHOTOCONFIG");
  xml.XmlSetWString("PHOTO_BROWSEFOLDER", "/home/user/Pictures/Urlaub 2025", "PHOTOCONFIG");
  xml.XmlSetWString("PHOTO_ACQUIREDIMAGEFOLDER", "/home/user/Pictures/Camera", "PHOTOCONFIG");
  for (const char* key : {"MUSIC_ORDERING", "MUSIC_RIPPING_FORMAT", "MUSIC_WITH_SONG_INFO", "MUSIC_REPEAT_ALL",
                          "MUSIC_SHUFFLE"})
    xml.XmlSetInt(key, 1, "MUSICCONFIG");
  xml.XmlSetStringArray("TV_CHANNELNAME", s.tvNames, "TVCONFIG");
  xml.XmlSetUIntArray("TV_CHANNELNUMBER", s.tvChannels, "TVCONFIG");
  xml.XmlSetBooleanArray("TV_CHANNELENABLE", s.tvEnabled, "TVCONFIG");
  for (const char* key : {"RADIO_RECORDFORMAT", "RADIO_RECORDTO", "RADIO_RECORDDISCFORMAT", "RADIO_CURAREA",
                          "RADIO_CURBAND"})
    xml.XmlSetInt(key, 1, "RADIOCONFIG");
  for (const char* key : {"RADIO_CURFMFREQUENCY", "RADIO_CURAMFREQUENCY", "RADIO_FMFINETUNESCALE",
                          "RADIO_FMAUTOSCANSCALE", "RADIO_AMFINETUNESCALE", "RADIO_AMAUTOSCANSCALE"})
    xml.XmlSetUInt(key, 101700000u, "RADIOCONFIG");
  xml.XmlSetStringArray("RADIO_FMSTATIONNAME", s.fmNames, "RADIOCONFIG");
  xml.XmlSetUIntArray("RADIO_FMSTATIONFREQ", s.fmFreq, "RADIOCONFIG");
  xml.XmlSetBooleanArray("RADIO_FMSTATIONSELECT", s.fmSelect, "RADIOCONFIG");
  xml.XmlSetUIntArray("RADIO_FMSTATIONPRESETID", s.fmPreset, "RADIOCONFIG");
  xml.XmlSetStringArray("RADIO_AMSTATIONNAME", s.amNames, "RADIOCONFIG");
  xml.XmlSetUIntArray("RADIO_AMSTATIONFREQ", s.amFreq, "RADIOCONFIG");
  xml.XmlSetBooleanArray("RADIO_AMSTATIONSELECT", s.amSelect, "RADIOCONFIG");
  xml.XmlSetUIntArray("RADIO_AMSTATIONPRESETID", s.amPreset, "RADIOCONFIG");
}

void ReadSections(const CXmlSettings& xml, FullSettings& s) {
  int i = 0;
  std::uint32_t u = 0;
  std::string text;
  for (const char* key : {"MOVIE_DRIVEIDX", "MOVIE_ISUSEDXVA", "MOVIE_AUDIOSPEAKERIDX", "MOVIE_AUDIOPROFILEIDX",
                          "MOVIE_AUDIOCHANNELEXPANDERIDX", "MOVIE_SUBTITLEPROFILEIDX", "MOVIE_LANGUAGEPROFILEIDX"})
    xml.XmlGetInt(key, i, "MOVIECONFIG");
  for (const char* key : {"MOVIE_WIDESCREENMODE", "MOVIE_COLORPROFILE", "MOVIE_CLOSEDCAPTIONON", "MOVIE_RATING"})
    xml.XmlGetUInt(key, u, "MOVIECONFIG");
  xml.XmlGetString("MOVIE_PCPASSWORD", text, "MOVIECONFIG");
  xml.XmlGetStringArray("RECENT_FILES", s.recent, "VIDEOCONFIG");
  for (const char* key : {"SORT_MODE", "SCREEN_MODE_4X3", "SCREEN_MODE_16X9", "DV_PROFILE"})
    xml.XmlGetInt(key, i, "VIDEOCONFIG");
  for (const char* key : {"PHOTO_DURATION", "PHOTO_TRANSITION", "PHOTO_ISPLAYBGMUSIC", "PHOTO_BGMUSICTYPE"})
    xml.XmlGetInt(key, i, "PHOTOCONFIG");
  xml.XmlGetWString("PHOTO_BROWSEFOLDER", text, "PHOTOCONFIG");
  xml.XmlGetWString("PHOTO_ACQUIREDIMAGEFOLDER", text, "PHOTOCONFIG");
  for (const char* key : {"MUSIC_ORDERING", "MUSIC_RIPPING_FORMAT", "MUSIC_WITH_SONG_INFO", "MUSIC_REPEAT_ALL",
                          "MUSIC_SHUFFLE"})
    xml.XmlGetInt(key, i, "MUSICCONFIG");
  xml.XmlGetStringArray("TV_CHANNELNAME", s.tvNames, "TVCONFIG");
  xml.XmlGetUIntArray("TV_CHANNELNUMBER", s.tvChannels, "TVCONFIG");
  xml.XmlGetBooleanArray("TV_CHANNELENABLE", s.tvEnabled, "TVCONFIG");
  for (const char* key : {"RADIO_RECORDFORMAT", "RADIO_RECORDTO", "RADIO_RECORDDISCFORMAT", "RADIO_CURAREA",
                          "RADIO_CURBAND"})
    xml.XmlGetInt(key, i, "RADIOCONFIG");
  for (const char* key : {"RADIO_CURFMFREQUENCY", "RADIO_CURAMFREQUENCY", "RADIO_FMFINETUNESCALE",
                          "RADIO_FMAUTOSCANSCALE", "RADIO_AMFINETUNESCALE", "RADIO_AMAUTOSCANSCALE"})
    xml.XmlGetUInt(key, u, "RADIOCONFIG");
  xml.XmlGetStringArray("RADIO_FMSTATIONNAME", s.fmNames, "RADIOCONFIG");
  xml.XmlGetUIntArray("RADIO_FMSTATIONFREQ", s.fmFreq, "RADIOCONFIG");
  xml.XmlGetBooleanArray("RADIO_FMSTATIONSELECT", s.fmSelect, "RADIOCONFIG");
  xml.XmlGetUIntArray("RADIO_FMSTATIONPRESETID", s.fmPreset, "RADIOCONFIG");
  xml.XmlGetStringArray("RADIO_AMSTATIONNAME", s.amNames, "RADIOCONFIG");
  xml.XmlGetUIntArray("RADIO_AMSTATIONFREQ", s.amFreq, "RADIOCONFIG");
  xml.XmlGetBooleanArray("RADIO_AMSTATIONSELECT", s.amSelect, "RADIOCONFIG");
  xml.XmlGetUIntArray("RADIO_AMSTATIONPRESETID", s.amPreset, "RADIOCONFIG");
}

// A private folder for the benchmark's files and folders.
std::string BenchFolder() {
  static const std::string folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "settings-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    ::setenv("HOME", pattern.c_str(), 1);
    ::setenv("XDG_DATA_HOME", (pattern + "/data").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (pattern + "/config").c_str(), 1);
    ::setenv("MARIVEL_REGISTRY_DIR", pattern.c_str(), 1);
    return pattern;
  }();
  return folder;
}

// Writes the starting file into `folder`; its path.
std::string PrepareFile(CConfig& config, const FullSettings& settings, const std::string& folder) {
  std::filesystem::create_directories(folder);
  const std::string path = folder + "/" + CConfig::kFileName;
  CXmlSettings xml;
  xml.XmlSettingsOpen();
  WriteSections(xml, settings);
  config.ConfigSave(xml);
  if (!xml.XmlSettingsSave(path)) std::abort();
  return path;
}

void LoadOnce(benchmark::State& state, CConfig& config, FullSettings& settings, const std::string& path) {
  CXmlSettings reader;
  if (!reader.XmlSettingsLoadFile(path)) state.SkipWithError("load failed");
  ReadSections(reader, settings);
  config.ConfigLoad(reader);
}

void SaveOnce(benchmark::State& state, CConfig& config, const FullSettings& settings, const std::string& path) {
  CXmlSettings writer;
  writer.XmlSettingsOpen();
  WriteSections(writer, settings);
  config.ConfigSave(writer);
  if (!writer.XmlSettingsSave(path)) state.SkipWithError("save failed");
}

std::string RamFolder() {
  return std::filesystem::is_directory("/dev/shm") ? "/dev/shm/settings-bench-" + std::to_string(::getpid())
                                                   : BenchFolder() + "/ram";
}

void BM_LoadFullConfig(benchmark::State& state) {
  BenchFolder();
  CConfig config;
  FullSettings settings = MakeSettings();
  const std::string path = PrepareFile(config, settings, BenchFolder() + "/load");
  for (auto _ : state) LoadOnce(state, config, settings, path);
  state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(path));
}
BENCHMARK(BM_LoadFullConfig)->Unit(benchmark::kMillisecond);

void BM_LoadAndSaveFullConfigInRam(benchmark::State& state) {
  BenchFolder();
  CConfig config;
  FullSettings settings = MakeSettings();
  const std::string folder = RamFolder();
  const std::string path = PrepareFile(config, settings, folder);
  for (auto _ : state) {
    LoadOnce(state, config, settings, path);
    SaveOnce(state, config, settings, path);
  }
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_LoadAndSaveFullConfigInRam)->Unit(benchmark::kMillisecond);

void BM_LoadAndSaveFullConfigOnDisk(benchmark::State& state) {
  BenchFolder();
  CConfig config;
  FullSettings settings = MakeSettings();
  const std::string path = PrepareFile(config, settings, BenchFolder() + "/disk");
  for (auto _ : state) {
    LoadOnce(state, config, settings, path);
    SaveOnce(state, config, settings, path);
  }
}
BENCHMARK(BM_LoadAndSaveFullConfigOnDisk)->Unit(benchmark::kMillisecond);

}  // namespace
