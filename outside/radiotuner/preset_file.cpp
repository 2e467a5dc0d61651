#include "outside/radiotuner/preset_file.h"

#include <charconv>
#include <cstdio>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/sys/atomic_file.h"
#include "platform/sys/kept_aside.h"

namespace radiotuner {
namespace {

constexpr const char* kHeader = "Marivel radio presets 1";

std::string PathIn(const std::string& folder) { return (std::filesystem::path(folder) / kPresetFileName).string(); }

}  // namespace

std::string FormatPresets(const Presets& presets) {
  std::string text = std::string(kHeader) + "\n";
  for (const double value : presets) {
    // Numbers in files are always written in the C locale.
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    text.append(buffer, ec == std::errc() ? end : buffer);
    text += '\n';
  }
  return text;
}

std::optional<Presets> ParsePresets(const std::string& text) {
  std::istringstream in(text);
  std::string line;
  if (!std::getline(in, line) || line != kHeader) return std::nullopt;
  Presets presets{};
  for (double& value : presets) {
    if (!std::getline(in, line) || line.empty()) return std::nullopt;
    const auto [end, ec] = std::from_chars(line.data(), line.data() + line.size(), value);
    if (ec != std::errc() || end != line.data() + line.size() || !std::isfinite(value) || value < 0) {
      return std::nullopt;
    }
  }
  while (std::getline(in, line)) {
    if (!line.empty()) return std::nullopt;
  }
  return presets;
}

Presets LoadPresetFile(const std::string& folder) {
  const std::string path = PathIn(folder);
  std::error_code ec;
  if (folder.empty()) return Presets{};
  // Read once as the radio opens: the moment to clear what saves killed in
  // an earlier run left behind.
  plat::RemoveStaleTemporaryFiles(path);
  if (!std::filesystem::is_regular_file(path, ec)) return Presets{};
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  if (auto presets = ParsePresets(text.str())) return *presets;
  // Unreadable: kept for the user, never overwritten by the next save.
  plat::KeepAside(path);
  return Presets{};
}

bool StorePresetFile(const std::string& folder, const Presets& presets) {
  if (folder.empty()) return false;
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  const plat::AtomicWriteResult saved = plat::WriteFileAtomically(PathIn(folder), FormatPresets(presets));
  // Said once, with its cause: the caller only hears that it failed.
  if (!saved) std::fprintf(stderr, "radio presets: %s\n", saved.what.c_str());
  return static_cast<bool>(saved);
}

}  // namespace radiotuner
