// File and folder names the rip makes from a disc's texts.
#pragma once

#include <string>
#include <vector>

namespace music {

// One safe path component from a track or disc title: '/', '\\', NUL and
// control characters become '_'; ".", ".." and empty become `fallback`; cut
// to at most 255 bytes without splitting a UTF-8 sequence.
std::string SafeComponent(const std::string& title, const std::string& fallback);

// `name` made unique among `taken` (compared without case) by " (2)",
// " (3)", ...; the result is added to `taken`.
std::string UniqueName(const std::string& name, std::vector<std::string>& taken);

}  // namespace music
