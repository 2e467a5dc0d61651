#include "lounge/skin/skin_paths.h"

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

namespace {

fs::path& BaseOverride() {
  static fs::path folder;
  return folder;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

// The entry of `folder` whose name equals `name` without regard to case, or
// an empty string.
std::string FindEntryIgnoringCase(const fs::path& folder, const std::string& name) {
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  if (ec) return {};
  std::string match;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    std::string entry = it->path().filename().string();
    if (EqualsIgnoringCase(entry, name)) {
      // Directory order is arbitrary; take the smallest name so that the
      // choice among several case variants is stable.
      if (match.empty() || entry < match) match = entry;
    }
  }
  return match;
}

}  // namespace

fs::path ExecutableFolder() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return fs::current_path(ec);
  return exe.parent_path();
}

fs::path SkinBaseFolder() {
  const fs::path& folder = BaseOverride();
  return folder.empty() ? ExecutableFolder() : folder;
}

void SetSkinBaseFolder(const fs::path& folder) { BaseOverride() = folder; }

std::string SkinNameToPosix(std::string_view name) {
  std::string out(name);
  std::replace(out.begin(), out.end(), '\\', '/');
  return out;
}

std::string LayoutFolderOf(const fs::path& base, std::string_view pagePath) {
  return JoinSkinFile((base / "Layout" / "XML").string(), pagePath);
}

std::string JoinSkinFile(std::string_view folder, std::string_view name) {
  std::string out(folder);
  if (!out.empty() && out.back() != '/') out.push_back('/');
  std::string_view rest = name;
  // A leading separator would make the name absolute; skin names are always
  // relative to their folder.
  while (!rest.empty() && (rest.front() == '\\' || rest.front() == '/')) rest.remove_prefix(1);
  out += SkinNameToPosix(rest);
  return out;
}

std::string ResolveSkinPath(const std::string& path) {
  std::error_code ec;
  if (path.empty() || fs::exists(path, ec)) return path;
  fs::path input(path);
  fs::path resolved = input.root_path();
  for (const fs::path& part : input.relative_path()) {
    fs::path candidate = resolved / part;
    std::string name = part.string();
    if (name == "." || name == ".." || fs::exists(candidate, ec)) {
      resolved = candidate;
      continue;
    }
    std::string match = FindEntryIgnoringCase(resolved.empty() ? fs::path(".") : resolved, name);
    if (match.empty()) return path;
    resolved /= match;
  }
  return resolved.string();
}
