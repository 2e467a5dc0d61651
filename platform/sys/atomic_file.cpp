#include "platform/sys/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <random>
#include <set>

namespace plat {
namespace {

AtomicWriteResult failure(const std::string& what, const std::string& path, int error) {
  return AtomicWriteResult{error, what + " \"" + path + "\": " + WriteFailureCause(error)};
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

std::string WriteFailureCause(int error) {
  switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return "no space left on the disk";
    case EACCES:
    case EPERM:
      return "permission denied";
    case EROFS:
      return "the disk is read-only";
    default:
      return std::strerror(error);
  }
}

AtomicWriteResult WriteFileAtomically(const std::string& path, std::string_view content, mode_t mode) {
  const std::filesystem::path target(path);
  if (target.filename().empty()) return AtomicWriteResult{EINVAL, "Cannot save \"" + path + "\": no file name"};
  RemoveStaleTemporaryFilesOnce(target.parent_path().string());

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

namespace {

// Removes the regular files of `folder` whose names `writerOf` maps to a
// process that no longer runs.
template <typename WriterOf>
int removeLeftovers(const std::string& folder, WriterOf writerOf) {
  const int dirFd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd < 0) return 0;
  DIR* dir = ::fdopendir(dirFd);
  if (!dir) {
    ::close(dirFd);
    return 0;
  }
  int removed = 0;
  while (const dirent* entry = ::readdir(dir)) {
    const pid_t writer = writerOf(std::string_view(entry->d_name));
    if (writer == 0 || writer == ::getpid() || processRuns(writer)) continue;
    struct stat st {};
    if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) continue;
    if (::unlinkat(dirFd, entry->d_name, 0) == 0) ++removed;
  }
  ::closedir(dir);
  return removed;
}

// The decimal number at the start of `text`, its end in *rest.
pid_t leadingNumber(std::string_view text, std::string_view* rest) {
  pid_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc{} || value <= 0) return 0;
  *rest = text.substr(static_cast<std::size_t>(end - text.data()));
  return value;
}

bool allDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

int RemoveStaleTemporaryFiles(const std::string& path) {
  const std::filesystem::path target(path);
  const std::string fileName = target.filename().string();
  if (fileName.empty()) return 0;
  return removeLeftovers(target.parent_path().string(),
                         [&](std::string_view name) { return TemporaryFileWriter(name, fileName); });
}

pid_t LeftoverWriter(std::string_view name) {
  if (name.size() < 4 || name.front() != '.') return 0;
  if (name.ends_with(".tmp")) {
    // ".<target>.<pid>-<counter>-<random>.tmp": the target may hold dots, the
    // numbers do not.
    name.remove_suffix(4);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot <= 1) return 0;  // an empty target
    std::string_view rest;
    const pid_t pid = leadingNumber(name.substr(dot + 1), &rest);
    if (pid == 0 || rest.empty() || rest.front() != '-') return 0;
    rest.remove_prefix(1);
    const std::size_t dash = rest.find('-');
    if (dash == std::string_view::npos || !allDigits(rest.substr(0, dash)) || !allDigits(rest.substr(dash + 1)))
      return 0;
    return pid;
  }
  if (name.ends_with(".part")) {
    // ".<target>.<pid>.<counter>.part"
    name.remove_suffix(5);
    const std::size_t counterDot = name.rfind('.');
    if (counterDot == std::string_view::npos || !allDigits(name.substr(counterDot + 1))) return 0;
    name = name.substr(0, counterDot);
    const std::size_t pidDot = name.rfind('.');
    if (pidDot == std::string_view::npos || pidDot <= 1 || !allDigits(name.substr(pidDot + 1))) return 0;
    std::string_view rest;
    return leadingNumber(name.substr(pidDot + 1), &rest);
  }
  return 0;
}

int RemoveStaleTemporaryFilesIn(const std::string& folder) { return removeLeftovers(folder, LeftoverWriter); }

void RemoveStaleTemporaryFilesOnce(const std::string& folder) {
  static std::mutex mutex;
  static std::set<std::string> swept;
  std::error_code ec;
  std::string key = std::filesystem::weakly_canonical(folder.empty() ? "." : folder, ec).string();
  if (ec) key = folder;
  {
    const std::lock_guard lock(mutex);
    if (!swept.insert(key).second) return;
  }
  RemoveStaleTemporaryFilesIn(folder);
}

std::string PartialFileName(const std::string& target) {
  static std::atomic<unsigned> counter{0};
  const std::filesystem::path path(target);
  const std::filesystem::path folder = path.parent_path().empty() ? "." : path.parent_path();
  RemoveStaleTemporaryFilesOnce(folder.string());
  return (folder / ("." + path.filename().string() + "." + std::to_string(::getpid()) + "." +
                    std::to_string(counter.fetch_add(1)) + ".part"))
      .string();
}

}  // namespace plat
