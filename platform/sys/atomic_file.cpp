#include "platform/sys/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <random>

namespace plat {
namespace {

AtomicWriteResult failure(const std::string& what, const std::string& path, int error) {
  return AtomicWriteResult{error, what + " \"" + path + "\": " + std::strerror(error)};
}

// Closes the descriptor and, unless released, removes the temporary file.
class TempFile {
 public:
  TempFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~TempFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  int fd() const { return fd_; }
  const std::string& path() const { return path_; }
  // Closes the file, reporting the error a delayed write may surface here.
  int close() {
    const int rc = ::close(fd_);
    fd_ = -1;
    return rc == 0 ? 0 : errno;
  }
  void release() { path_.clear(); }

 private:
  int fd_;
  std::string path_;
};

// A name unique to this process and call; O_EXCL catches the rare clash
// with another process, and a few retries get past it.
std::string temporaryName(const std::filesystem::path& target) {
  static std::atomic<unsigned> counter{0};
  thread_local std::mt19937 random{std::random_device{}()};
  std::string name = ".";
  name.append(target.filename().string()).append(".").append(std::to_string(::getpid()));
  name.append("-").append(std::to_string(counter++)).append("-").append(std::to_string(random())).append(".tmp");
  return target.parent_path() / name;
}

// Whether a process with this id runs (one that we may not signal runs too).
bool processRuns(pid_t pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

int writeAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

int syncFolder(const std::filesystem::path& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  const int rc = ::fsync(fd) == 0 ? 0 : errno;
  ::close(fd);
  // Some file systems cannot flush a folder; the rename stands regardless.
  return rc == EINVAL ? 0 : rc;
}

}  // namespace

AtomicWriteResult WriteFileAtomically(const std::string& path, std::string_view content, mode_t mode) {
  const std::filesystem::path target(path);
  if (target.filename().empty()) return AtomicWriteResult{EINVAL, "Cannot save \"" + path + "\": no file name"};

  std::string tempPath;
  int fd = -1;
  for (int attempt = 0; attempt < 8 && fd < 0; ++attempt) {
    tempPath = temporaryName(target);
    fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return failure("Cannot create a temporary file beside", path, errno);
  TempFile temp(fd, tempPath);

  if (int error = writeAll(temp.fd(), content)) return failure("Cannot write", temp.path(), error);
  if (::fsync(temp.fd()) != 0) return failure("Cannot flush", temp.path(), errno);
  if (int error = temp.close()) return failure("Cannot close", temp.path(), error);
  if (::rename(temp.path().c_str(), path.c_str()) != 0) return failure("Cannot replace", path, errno);
  temp.release();

  if (int error = syncFolder(target.parent_path()))
    return failure("Saved, but cannot flush the folder of", path, error);
  return AtomicWriteResult{};
}

pid_t TemporaryFileWriter(std::string_view name, std::string_view target) {
  // ".<target>.<pid>-<counter>-<random>.tmp"
  constexpr std::string_view kSuffix = ".tmp";
  if (target.empty() || name.size() < target.size() + 2 + kSuffix.size() || name.front() != '.') return 0;
  name.remove_prefix(1);
  if (!name.starts_with(target) || name[target.size()] != '.' || !name.ends_with(kSuffix)) return 0;
  name.remove_prefix(target.size() + 1);
  name.remove_suffix(kSuffix.size());
  pid_t pid = 0;
  const auto [end, ec] = std::from_chars(name.data(), name.data() + name.size(), pid);
  if (ec != std::errc{} || pid <= 0 || end == name.data() + name.size() || *end != '-') return 0;
  return pid;
}

int RemoveStaleTemporaryFiles(const std::string& path) {
  const std::filesystem::path target(path);
  const std::string fileName = target.filename().string();
  if (fileName.empty()) return 0;
  const std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
  const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd < 0) return 0;
  DIR* dir = ::fdopendir(dirFd);
  if (!dir) {
    ::close(dirFd);
    return 0;
  }
  int removed = 0;
  while (const dirent* entry = ::readdir(dir)) {
    const pid_t writer = TemporaryFileWriter(entry->d_name, fileName);
    if (writer == 0 || writer == ::getpid() || processRuns(writer)) continue;
    struct stat st {};
    if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) continue;
    if (::unlinkat(dirFd, entry->d_name, 0) == 0) ++removed;
  }
  ::closedir(dir);
  return removed;
}

}  // namespace plat
