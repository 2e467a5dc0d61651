// The rows of the Music device page: the Music controller's source list
// (MusicSources) with the text and icon each row shows, so "Music ClickList"
// with row k opens what row k shows.
#pragma once

#include <string>
#include <vector>

#include "corebridge/core/music_sources.h"

class CConfig;

struct MusicDeviceRow {
  MusicSource::Kind kind = MusicSource::DefaultFolder;
  std::string path;  // folder or drive root; empty for the media library
  std::string name;  // the text the row shows
  std::string icon;  // skin bitmap, relative to the application folder
};

// The rows for the configuration, the application flag word and the vendor.
std::vector<MusicDeviceRow> MusicDeviceRows(const CConfig& config, int appFlags, int vendorId);
