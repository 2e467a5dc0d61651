// Which configuration section answers a playback-bar button, and the rules
// the bar adds on top of the sections' own queries (the volume buttons, the
// Music fast-forward of vendor 3, the Movie module's strictness about names
// it does not know).
#pragma once

#include <string_view>

class CConfig;

// The state of bar button `action` from the configuration root. Outputs come
// preset by the caller (shown 1, enabled 1, checked 0) and only what a rule
// is about is written. Returns the section query's result; for a name no
// section knows: 0 while the Movie module is active, else 1 with the outputs
// untouched.
int QueryPlaybackBarActionState(const CConfig& config, int vendor, std::string_view action, int& shown,
                                int& enabled, int& checked);
