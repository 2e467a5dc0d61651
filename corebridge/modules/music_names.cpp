// Safe and unique names for ripped files: disc texts never become paths
// outside the output folder, and two tracks of one title never share a file.
#include "corebridge/modules/music_names.h"

#include <strings.h>

namespace music {

namespace {
constexpr std::size_t kMaxComponentBytes = 255;
// Bytes reserved for a " (NN)" suffix and the extension.
constexpr std::size_t kReservedBytes = 16;
}  // namespace

std::string SafeComponent(const std::string& title, const std::string& fallback) {
  std::string safe;
  safe.reserve(title.size());
  for (const char c : title) {
    const auto byte = static_cast<unsigned char>(c);
    safe += (c == '/' || c == '\\' || byte < 0x20 || byte == 0x7F) ? '_' : c;
  }
  const std::size_t limit = kMaxComponentBytes - kReservedBytes;
  if (safe.size() > limit) {
    std::size_t cut = limit;
    // Step back over UTF-8 continuation bytes so no character is split.
    while (cut > 0 && (static_cast<unsigned char>(safe[cut]) & 0xC0) == 0x80) --cut;
    safe.resize(cut);
  }
  if (safe.empty() || safe == "." || safe == "..") return fallback;
  return safe;
}

std::string UniqueName(const std::string& name, std::vector<std::string>& taken) {
  auto used = [&taken](const std::string& candidate) {
    for (const std::string& t : taken) {
      if (strcasecmp(t.c_str(), candidate.c_str()) == 0) return true;
    }
    return false;
  };
  std::string result = name;
  for (int n = 2; used(result); ++n) result = name + " (" + std::to_string(n) + ")";
  taken.push_back(result);
  return result;
}

}  // namespace music
