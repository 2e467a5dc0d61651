#include "lounge/pages/music/music_file_delete.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// A folder's own entry, not through a link.
bool IsRealFolder(const fs::path& path) {
  std::error_code ec;
  return fs::symlink_status(path, ec).type() == fs::file_type::directory;
}

void AddOwnerWrite(const fs::path& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) ::chmod(path.c_str(), st.st_mode | S_IWUSR);
}

}  // namespace

int DeleteMusicFile(const std::string& path) {
  if (::unlink(path.c_str()) == 0) return 1;
  AddOwnerWrite(path);
  return ::unlink(path.c_str()) == 0 ? 1 : 0;
}

int EmptyMusicFolderTree(const std::string& folder) {
  int result = 1;
  // A folder without write permission keeps its entries: open it first.
  AddOwnerWrite(folder);
  std::error_code ec;
  std::vector<fs::path> entries;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) entries.push_back(it->path());
  for (const fs::path& entry : entries) {
    if (IsRealFolder(entry)) {
      EmptyMusicFolderTree(entry.string());
      ::rmdir(entry.c_str());
    } else {
      result = DeleteMusicFile(entry.string());
    }
  }
  return result;
}

void DeleteChosenMusicPaths(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    if (IsRealFolder(path)) {
      EmptyMusicFolderTree(path);
      ::rmdir(path.c_str());
    } else {
      DeleteMusicFile(path);
    }
  }
}
