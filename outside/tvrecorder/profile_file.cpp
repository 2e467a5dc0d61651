#include "outside/tvrecorder/profile_file.h"

#include <charconv>
#include <cstdio>
#include <cstring>

namespace tvrec {

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

bool ParseInt(std::string_view text, std::int32_t& out) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
  return ec == std::errc() && end == text.data() + text.size();
}

bool ParseFloat(std::string_view text, float& out) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
  return ec == std::errc() && end == text.data() + text.size();
}

template <std::size_t N>
bool CopyField(char (&field)[N], std::string_view text) {
  if (text.size() >= N) return false;
  std::memset(field, 0, N);
  std::memcpy(field, text.data(), text.size());
  return true;
}

bool SetKey(ProfileEntry& e, std::string_view key, std::string_view value) {
  EncoderBlock& b = e.block;
  if (key == "Name") return !value.empty() && CopyField(e.name, value);
  if (key == "Gop") return CopyField(b.gop, value);
  if (key == "FrameRate") return ParseFloat(value, b.frameRate) && b.frameRate > 0;
  std::int32_t* field = nullptr;
  if (key == "Format") field = &b.format;
  else if (key == "VideoBitRate") field = &b.videoBitRate;
  else if (key == "Width") field = &b.width;
  else if (key == "Height") field = &b.height;
  else if (key == "AudioBitRate") field = &b.audioBitRate;
  if (!field) return false;
  return ParseInt(value, *field) && *field >= 0;
}

}  // namespace

ProfileEntry DefaultProfileEntry(const char* kind, const char* name, bool ntsc) {
  ProfileEntry e{};
  std::snprintf(e.kind, sizeof e.kind, "%s", kind);
  std::snprintf(e.name, sizeof e.name, "%s", name);
  e.field1280 = 1;
  EncoderBlock& b = e.block;
  b.format = 2;
  b.videoBitRate = 8000000;
  b.width = ntsc ? 320 : 352;
  b.height = ntsc ? 240 : 288;
  b.frameRate = ntsc ? 29.97f : 25.0f;
  std::snprintf(b.gop, sizeof b.gop, "%s", "IBBPBBPBBPBBPBBP");
  b.field364 = 1;
  b.field372 = 2;
  b.field376 = 1;
  b.audioBitRate = 224;
  b.field384 = 1;
  return e;
}

std::optional<std::vector<ProfileEntry>> ParseProfileFile(std::string_view text) {
  std::vector<ProfileEntry> entries;
  bool open = false;
  while (!text.empty()) {
    const std::size_t eol = text.find('\n');
    std::string_view line = Trim(text.substr(0, eol));
    text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
    if (line.empty() || line.front() == '#' || line.front() == ';') continue;
    if (line.front() == '[') {
      if (open && entries.back().name[0] == '\0') return std::nullopt;
      if (line != "[Record]" && line != "[Replay]") return std::nullopt;
      const std::string kind(line.substr(1, line.size() - 2));
      entries.push_back(DefaultProfileEntry(kind.c_str(), "", false));
      open = true;
      continue;
    }
    const std::size_t eq = line.find('=');
    if (!open || eq == std::string_view::npos) return std::nullopt;
    if (!SetKey(entries.back(), Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)))) return std::nullopt;
  }
  if (open && entries.back().name[0] == '\0') return std::nullopt;
  return entries;
}

}  // namespace tvrec
