// The station presets of the outside radio component: twenty doubles (0-5
// FM in MHz, 10-15 AM in kHz, the rest kept as given) in the text file
// "RadioPresets.txt" of the folder the component was opened with. Saved
// atomically; a file that does not read back is kept aside and the presets
// start empty.
#pragma once

#include <array>
#include <optional>
#include <string>

namespace radiotuner {

inline constexpr const char* kPresetFileName = "RadioPresets.txt";
using Presets = std::array<double, 20>;

std::string FormatPresets(const Presets& presets);
// None when the text is not a presets file.
std::optional<Presets> ParsePresets(const std::string& text);

// Zeros when there is no file; a corrupt file is kept aside.
Presets LoadPresetFile(const std::string& folder);
bool StorePresetFile(const std::string& folder, const Presets& presets);

}  // namespace radiotuner
