// How recordings are named: by source and local time, made one safe path
// component, and made unique in their folder.
#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <string_view>

namespace grabber {

// `name` as one path component: no separators, no control characters, not
// empty, "." or "..", at most 200 bytes (whole UTF-8 sequences).
std::string SafePathComponent(std::string_view name);

// The name of a recording started at `now` from input `inputKind`: a tuner
// recording is named after the channel and the month's abbreviation
// ("%s_%s%02d%02d%02d": channel, month, day, hour, minute), the other inputs
// by a prefix and the date ("COMP_", "SVID_", "WCAM_", or none).
std::string RecordingBaseName(int inputKind, std::string_view channelName, std::string_view month,
                              const std::tm& now);

using FileExists = std::function<bool(const std::string& path)>;

// `name`, or the first of "name(1)", "name(2)" ... for which folder/name +
// extension does not exist.
std::string UniqueRecordingName(const std::string& folder, const std::string& name, const std::string& extension,
                                const FileExists& exists);

// A recording to a given name: when folder/name + extension exists, the first
// free of "name(0)", "name(1)" ...
std::string UniqueNamedRecording(const std::string& folder, const std::string& name, const std::string& extension,
                                 const FileExists& exists);

// folder + "/" + name, with the caller's backslashes read as separators.
std::string JoinPath(std::string_view folder, std::string_view name);

}  // namespace grabber
