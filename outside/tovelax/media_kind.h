// Tells what a path holds: a DVD (disc, folder, image), a video or audio CD,
// a recording, or a video file. The result is a MediaBits set.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tovelax {

// nullopt when the path does not exist; 0 when it holds nothing playable.
std::optional<std::uint32_t> ClassifyMedia(const std::string& path);

// Finds a child of `folder` by name regardless of case; empty when absent.
std::string FindChildNoCase(const std::string& folder, const std::string& name);

}  // namespace tovelax
