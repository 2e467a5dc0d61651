// Reads an ISO image back with libisofs (Rock Ridge names): every file's
// path and bytes, and the symbolic links' targets.
#pragma once

#include <map>
#include <string>

namespace authoring_test {

struct IsoContents {
  bool ok = false;
  std::string volumeId;
  std::map<std::string, std::string> files;     // "dir/name" -> bytes
  std::map<std::string, std::string> symlinks;  // "dir/name" -> target
};

IsoContents ReadIso(const std::string& path);

}  // namespace authoring_test
