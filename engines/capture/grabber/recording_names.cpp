#include "engines/capture/grabber/recording_names.h"

#include <cstdio>

namespace grabber {

namespace {

constexpr std::size_t kMaxComponentBytes = 200;

std::string Numbered(const std::string& name, int n) { return name + "(" + std::to_string(n) + ")"; }

}  // namespace

std::string SafePathComponent(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  for (const char c : name) {
    const auto u = static_cast<unsigned char>(c);
    out.push_back(c == '/' || c == '\\' || u < 0x20 || u == 0x7f ? '_' : c);
  }
  if (out.size() > kMaxComponentBytes) {
    std::size_t cut = kMaxComponentBytes;
    // Never split a UTF-8 sequence: back up over continuation bytes.
    while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80) --cut;
    out.resize(cut);
  }
  if (out.empty() || out == "." || out == "..") return "_";
  return out;
}

std::string RecordingBaseName(int inputKind, std::string_view channelName, std::string_view month,
                              const std::tm& now) {
  char text[512];
  const int day = now.tm_mday;
  const int mon = now.tm_mon + 1;
  const int year = now.tm_year + 1900;
  switch (inputKind) {
    case 0: {
      const std::string channel(channelName);
      const std::string abbreviation(month);
      std::snprintf(text, sizeof text, "%s_%s%02d%02d%02d", channel.c_str(), abbreviation.c_str(), day, now.tm_hour,
                    now.tm_min);
      break;
    }
    case 1:
      std::snprintf(text, sizeof text, "COMP_%02d%02d%4d_%02d%02d", day, mon, year, now.tm_hour, now.tm_min);
      break;
    case 2:
      std::snprintf(text, sizeof text, "SVID_%02d%02d%4d_%02d%02d", day, mon, year, now.tm_hour, now.tm_min);
      break;
    case 3:
      std::snprintf(text, sizeof text, "WCAM_%02d%02d%4d_%02d%02d", day, mon, year, now.tm_hour, now.tm_min);
      break;
    default:
      std::snprintf(text, sizeof text, "%02d%02d%4d_%02d%02d", day, mon, year, now.tm_hour, now.tm_min);
      break;
  }
  return SafePathComponent(text);
}

std::string UniqueRecordingName(const std::string& folder, const std::string& name, const std::string& extension,
                                const FileExists& exists) {
  if (!exists(JoinPath(folder, name + extension))) return name;
  for (int n = 1;; ++n) {
    const std::string candidate = Numbered(name, n);
    if (!exists(JoinPath(folder, candidate + extension))) return candidate;
  }
}

std::string UniqueNamedRecording(const std::string& folder, const std::string& name, const std::string& extension,
                                 const FileExists& exists) {
  if (!exists(JoinPath(folder, name + extension))) return name;
  for (int n = 0;; ++n) {
    const std::string candidate = Numbered(name, n);
    if (!exists(JoinPath(folder, candidate + extension))) return candidate;
  }
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string out(folder);
  for (char& c : out) {
    if (c == '\\') c = '/';
  }
  while (out.size() > 1 && out.back() == '/') out.pop_back();
  if (out.empty()) return std::string(name);
  if (out != "/") out += '/';
  out += name;
  return out;
}

}  // namespace grabber
