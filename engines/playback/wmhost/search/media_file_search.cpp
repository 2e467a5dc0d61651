#include "engines/playback/wmhost/search/media_file_search.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "engines/playback/wmhost/player/media_item.h"

namespace wmhost {

namespace {

// Kernel file systems: huge, endless or harmful to read.
bool IsVirtualSystemFolder(const std::string& folder) {
  for (const char* skipped : {"/proc", "/sys", "/dev"}) {
    const std::size_t length = std::char_traits<char>::length(skipped);
    if (folder.compare(0, length, skipped) == 0 && (folder.size() == length || folder[length] == '/')) return true;
  }
  return false;
}

// Folders of the system's own and temporary files: never entered from a
// folder above them (a root named inside one is still searched).
bool IsSystemOrTemporaryFolder(const std::string& folder) {
  for (const char* skipped : {"/run", "/tmp", "/var/tmp", "/var/cache", "/var/lib", "/var/log", "/usr", "/etc", "/boot",
                              "/snap", "/lost+found"}) {
    if (folder == skipped) return true;
  }
  if (const char* temporary = std::getenv("TMPDIR"); temporary && *temporary) {
    std::string own = temporary;
    while (own.size() > 1 && own.back() == '/') own.pop_back();
    if (folder == own) return true;
  }
  return false;
}

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

}  // namespace

MediaFileSearch::~MediaFileSearch() { stop(); }

void MediaFileSearch::start(const std::string& roots, const std::string& audioExtensions,
                            const std::string& playlistExtensions, unsigned phases, Notify notify) {
  stop();
  roots_.clear();
  std::size_t begin = 0;
  while (begin <= roots.size()) {
    const std::size_t end = std::min(roots.find(';', begin), roots.size());
    std::string root = roots.substr(begin, end - begin);
    while (root.size() > 1 && (root.back() == '/' || root.back() == '\\')) root.pop_back();
    if (!root.empty()) roots_.push_back(std::move(root));
    begin = end + 1;
  }
  audioExtensions_ = ToLowerAscii(audioExtensions);
  playlistExtensions_ = ToLowerAscii(playlistExtensions);
  phases_ = phases;
  notify_ = std::move(notify);
  results_.clear();
  visited_.clear();
  stopRequested_ = false;
  finished_ = false;
  worker_ = std::thread([this] { run(); });
}

void MediaFileSearch::stop() {
  stopRequested_ = true;
  if (worker_.joinable()) worker_.join();
}

bool MediaFileSearch::takes(const std::string& fileName, std::uint64_t size) const {
  const auto dot = fileName.find_last_of('.');
  if (dot == std::string::npos || dot == 0) return false;  // no extension
  const std::string key = ToLowerAscii(fileName.substr(dot)) + ";";
  if (audioExtensions_.find(key) != std::string::npos) return size > kMinimumAudioBytes;
  return playlistExtensions_.find(key) != std::string::npos;
}

void MediaFileSearch::run() {
  if (phases_ & kSearchPhaseWalk) {
    notify_(kSearchWalkStarted, 0, {});
    for (const std::string& root : roots_) {
      if (stopRequested_) break;
      walk(root);
    }
    notify_(kSearchWalkFinished, 0, {});
  }
  if (phases_ & kSearchPhaseList) {
    notify_(kSearchListStarted, results_.size(), {});
    for (std::size_t i = 0; i < results_.size() && !stopRequested_; ++i) notify_(kSearchListedFile, i, results_[i]);
    notify_(kSearchListEnded, 0, {});
  }
  finished_ = true;
}

void MediaFileSearch::walk(const std::string& folder) {
  if (stopRequested_ || IsVirtualSystemFolder(folder)) return;
  // O_NOFOLLOW|O_DIRECTORY: the folder itself is no link; fstat gives its identity.
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return;
  struct stat self {};
  if (::fstat(fd, &self) != 0) {
    ::close(fd);
    return;
  }
  const std::pair<std::uint64_t, std::uint64_t> identity{self.st_dev, self.st_ino};
  if (std::find(visited_.begin(), visited_.end(), identity) != visited_.end()) {
    ::close(fd);
    return;
  }
  visited_.push_back(identity);
  std::unique_ptr<DIR, DirCloser> dir(::fdopendir(fd));
  if (!dir) {
    ::close(fd);
    return;
  }
  notify_(kSearchEnteringFolder, 0, folder);
  const std::string prefix = folder == "/" ? folder : folder + "/";
  while (!stopRequested_) {
    const dirent* entry = ::readdir(dir.get());
    if (!entry) break;
    const std::string name = entry->d_name;
    // "." and "..", and hidden entries.
    if (name.empty() || name.front() == '.') continue;
    struct stat info {};
    if (::fstatat(::dirfd(dir.get()), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (S_ISLNK(info.st_mode)) {
      // A link to a file is taken as that file; a link to a folder is not followed.
      if (::fstatat(::dirfd(dir.get()), entry->d_name, &info, 0) != 0 || !S_ISREG(info.st_mode)) continue;
    }
    const std::string path = prefix + name;
    if (S_ISDIR(info.st_mode)) {
      if (!IsSystemOrTemporaryFolder(path)) walk(path);
    } else if (S_ISREG(info.st_mode) && takes(name, static_cast<std::uint64_t>(info.st_size))) {
      results_.push_back(path);
      notify_(kSearchFileFound, 0, path);
    }
  }
}

}  // namespace wmhost
