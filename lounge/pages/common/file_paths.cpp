#include "lounge/pages/common/file_paths.h"

#include <cctype>
#include <filesystem>

#include "lounge/skin/skin_paths.h"
#include "platform/sys/drive_table.h"

namespace file_list {
namespace {

bool IsSlash(char c) { return c == '/' || c == '\\'; }

}  // namespace

bool IsDriveForm(const std::string& path) {
  return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
         (path.size() == 2 || IsSlash(path[2]));
}

std::string CutTrailingSlashes(std::string path) {
  while (path.size() > 1 && IsSlash(path.back())) path.pop_back();
  if (path == "\\") path = "/";
  return path;
}

std::string ResolveDrivePath(const std::string& path) {
  if (!IsDriveForm(path)) return path;
  const auto volume = plat::FindVolume(path.substr(0, 2));
  if (!volume || volume->root.empty()) return path;
  std::string rest = path.substr(2);
  for (char& c : rest)
    if (c == '\\') c = '/';
  rest = CutTrailingSlashes(rest);
  const std::string root = CutTrailingSlashes(volume->root);
  if (rest.empty() || rest == "/") return root;
  return JoinPath(root, rest[0] == '/' ? std::string_view(rest).substr(1) : std::string_view(rest));
}

std::string NormaliseFolder(const std::string& path) {
  if (path.empty()) return path;
  const std::string resolved = ResolveDrivePath(path);
  if (IsDriveForm(resolved)) return CutTrailingSlashes(resolved);
  std::string normal = std::filesystem::path(resolved).lexically_normal().string();
  return CutTrailingSlashes(normal.empty() ? resolved : normal);
}

bool IsVolumeRoot(const std::string& folder) {
  const std::string normal = NormaliseFolder(folder);
  if (normal == "/") return true;
  for (const plat::VolumeInfo& v : plat::GetVolumes()) {
    if (!v.root.empty() && NormaliseFolder(v.root) == normal) return true;
  }
  return false;
}

std::string_view FileNamePart(std::string_view path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string ParentFolder(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return std::string();
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string ApplicationFolder() {
  std::string folder = SkinBaseFolder().string();
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

std::string ApplicationFile(std::string_view relative) {
  return ResolveSkinPath(ApplicationFolder() + SkinNameToPosix(relative));
}

std::string JoinPath(const std::string& folder, std::string_view name) {
  std::string joined = folder;
  if (joined.empty() || joined.back() != '/') joined += '/';
  joined += name;
  return joined;
}

}  // namespace file_list
