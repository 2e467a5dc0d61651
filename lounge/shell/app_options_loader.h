// Reading the program's start-up options from the registry, and the sound and
// on-screen-display options that land in the configuration root once the
// system core is bound.
#pragma once

#include "lounge/shell/app_options.h"

class CConfig;

// Reads HKEY_LOCAL_MACHINE "SoftWare\Kestrovia\Marivel": the feature-set
// words (absent ones stay -1), the outside programs' keys and names, the
// Video and Photo program paths (each value names a key under
// HKEY_LOCAL_MACHINE whose default value is the path, taken as read),
// "OpenFolderUpperbound" and "PlaybackTooltipHeight"; then HKEY_CURRENT_USER
// "WebLinkStatus" (kept only when >= 0) and runs the web-link query without
// storing its status, keeping its result and build. The vendor id is the one
// DetectVendor found. A missing product key leaves every default.
AppOptions LoadFeatureOptions();

// Copies the sound files (each only when its bit of the general feature
// word is set, which also switches that sound on) and the on-screen-display
// flags of HKEY_LOCAL_MACHINE "SoftWare\Kestrovia\Marivel" into `config`.
// A flag whose value is absent keeps the configuration's default.
void LoadSoundAndOsdOptions(const AppOptions& options, CConfig& config);
