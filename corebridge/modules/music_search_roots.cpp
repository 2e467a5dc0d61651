#include "corebridge/modules/music_search_roots.h"

#include <algorithm>

namespace {

bool IsBelow(const std::string& path, const std::string& folder) {
  return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 && path[folder.size()] == '/';
}

bool IsMountedMedia(const std::string& root) {
  return IsBelow(root, "/media") || IsBelow(root, "/run/media") || IsBelow(root, "/mnt");
}

}  // namespace

std::string MediaSearchRoots(const std::vector<plat::VolumeInfo>& volumes, const std::string& musicFolder) {
  std::vector<std::string> roots;
  auto add = [&roots](const std::string& root) {
    if (!root.empty() && std::find(roots.begin(), roots.end(), root) == roots.end()) roots.push_back(root);
  };
  for (const plat::VolumeInfo& volume : volumes) {
    if (volume.type != plat::DRIVE_FIXED || volume.root.empty()) continue;
    if (volume.root == "/") {
      add(musicFolder);
    } else if (volume.isVirtual || IsMountedMedia(volume.root)) {
      add(volume.root);
    }
  }
  std::string joined;
  for (const std::string& root : roots) joined += (joined.empty() ? "" : ";") + root;
  return joined;
}
