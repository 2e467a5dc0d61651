#include "corebridge/core/section_text.h"

#include <sys/stat.h>

#include <algorithm>

namespace section_text {
namespace {

unsigned char FoldAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c; }

bool IsUtf8Continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

}  // namespace

int CompareNoCase(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char ca = FoldAscii(static_cast<unsigned char>(a[i]));
    const unsigned char cb = FoldAscii(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool EqualNoCase(std::string_view a, std::string_view b) { return CompareNoCase(a, b) == 0; }

std::string TruncateUtf8(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return std::string(text);
  std::size_t cut = maxBytes;
  // Step back over continuation bytes so the cut falls before a lead byte.
  while (cut > 0 && IsUtf8Continuation(static_cast<unsigned char>(text[cut]))) --cut;
  return std::string(text.substr(0, cut));
}

std::string FileNameOf(std::string_view path) {
  const std::size_t slash = path.find_last_of('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string FileStemOf(std::string_view path) {
  std::string name = FileNameOf(path);
  const std::size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

bool PathExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::lstat(path.c_str(), &st) == 0;
}

bool FolderExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::optional<std::int64_t> LastWriteTimeOf(const std::string& path) {
  struct stat st {};
  if (path.empty() || ::lstat(path.c_str(), &st) != 0) return std::nullopt;
  return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
}

}  // namespace section_text
