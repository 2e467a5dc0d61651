#include "platform/registry/hive_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <thread>
#include <utility>

#include "platform/registry/registry.h"
#include "platform/sys/atomic_file.h"
#include "platform/sys/kept_aside.h"

namespace plat::reg {
namespace {

// No hive comes near this; a bigger file is refused rather than read.
constexpr off_t kMaxHiveBytes = 64 << 20;
// A lock holder is another process in the middle of a save; waiting longer
// than this means something is stuck.
constexpr auto kLockTimeout = std::chrono::seconds(10);

void Report(const std::string& text) { std::fprintf(stderr, "registry: %s\n", text.c_str()); }

std::string ErrnoText(int error) { return std::strerror(error); }

class UniqueFd {
 public:
  explicit UniqueFd(int fd = -1) : fd_(fd) {}
  UniqueFd(UniqueFd&& o) noexcept : fd_(o.fd_) { o.fd_ = -1; }
  UniqueFd& operator=(UniqueFd&& o) noexcept {
    std::swap(fd_, o.fd_);
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

FileStamp StampOf(const struct stat& st) {
  return FileStamp{st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
}

// Holds the hive's advisory lock while alive; the lock file stays in place
// (removing it would let two processes lock different files).
class HiveLock {
 public:
  // Returns 0 or the errno of the failure (ETIMEDOUT when the wait ran out).
  int Acquire(const std::string& lockPath) {
    // Read access is enough for flock, so a lock file made by another user
    // still serves.
    UniqueFd fd(::open(lockPath.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0644));
    if (fd.get() < 0) return errno;
    auto deadline = std::chrono::steady_clock::now() + kLockTimeout;
    auto pause = std::chrono::microseconds(200);
    while (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
      if (errno != EWOULDBLOCK && errno != EINTR) return errno;
      if (std::chrono::steady_clock::now() >= deadline) return ETIMEDOUT;
      std::this_thread::sleep_for(pause);
      pause = std::min(pause * 2, std::chrono::microseconds(10000));
    }
    fd_ = std::move(fd);
    return 0;
  }

 private:
  UniqueFd fd_;  // closing it releases the lock
};

}  // namespace

bool FileStamp::operator==(const FileStamp& o) const {
  return device == o.device && inode == o.inode && size == o.size && modified.tv_sec == o.modified.tv_sec &&
         modified.tv_nsec == o.modified.tv_nsec && changed.tv_sec == o.changed.tv_sec &&
         changed.tv_nsec == o.changed.tv_nsec;
}

HiveFile::HiveFile(std::string path, std::vector<HiveRoot> roots) : path_(std::move(path)), roots_(std::move(roots)) {
  // A hive is opened once per process: the moment to clear what saves killed
  // in an earlier run left behind.
  RemoveStaleTemporaryFiles(path_);
}

HiveFile::Snapshot HiveFile::Read() const {
  Snapshot snap;
  UniqueFd fd(::open(path_.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) {
    if (errno != ENOENT && errno != ENOTDIR) snap.error = ErrnoText(errno);
    return snap;
  }
  snap.exists = true;
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) {
    snap.error = ErrnoText(errno);
    return snap;
  }
  snap.stamp = StampOf(st);
  if (!S_ISREG(st.st_mode)) {
    snap.error = "not a regular file";
    return snap;
  }
  if (st.st_size > kMaxHiveBytes) {
    snap.error = "too large for a hive";
    return snap;
  }
  char buffer[16384];
  while (true) {
    ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      snap.error = ErrnoText(errno);
      return snap;
    }
    if (n == 0) break;
    snap.text.append(buffer, static_cast<std::size_t>(n));
    if (snap.text.size() > static_cast<std::size_t>(kMaxHiveBytes)) {
      snap.error = "too large for a hive";
      return snap;
    }
  }
  return snap;
}

void HiveFile::Forget() {
  tree_ = Key();
  text_.clear();
  synced_ = false;
  checked_ = false;
}

bool HiveFile::Adopt(const Snapshot& snap, bool locked) {
  stamp_ = snap.exists ? std::optional(snap.stamp) : std::nullopt;
  checked_ = true;
  if (synced_ && snap.text == text_) return true;
  Key parsed;
  auto error = ParseHiveText(snap.text, roots_, parsed);
  if (!error) {
    tree_ = std::move(parsed);
    text_ = snap.text;
    synced_ = true;
    return true;
  }
  tree_ = Key();
  synced_ = false;
  if (locked) return SetAside(*error);
  HiveLock lock;
  int lockError = lock.Acquire(path_ + ".lock");
  if (lockError) {
    Report(path_ + " line " + std::to_string(error->line) + ": " + error->reason + "; cannot lock it (" +
           ErrnoText(lockError) + "), so it stays as it is, reads see an empty hive and changes are refused");
    return false;
  }
  // Another process may have replaced the file before the lock was ours.
  Snapshot again = Read();
  if (!again.error.empty()) {
    Report("cannot read " + path_ + ": " + again.error + "; reads see an empty hive and changes are refused");
    return false;
  }
  return Adopt(again, true);
}

bool HiveFile::SetAside(const ParseError& error) {
  const std::string where = path_ + " line " + std::to_string(error.line) + ": " + error.reason;
  // Files kept aside earlier are never replaced.
  const KeptAside kept = KeepAside(path_);
  if (!kept) {
    Report(where + "; cannot move it aside (" + ErrnoText(kept.error) +
           "), so it stays as it is, reads see an empty hive and changes are refused");
    return false;
  }
  Report(where + "; kept it as " + kept.path + " and started an empty hive");
  tree_ = Key();
  text_.clear();
  synced_ = true;
  stamp_.reset();
  checked_ = true;
  return true;
}

void HiveFile::Refresh() {
  struct stat st {};
  std::optional<FileStamp> now;
  if (::stat(path_.c_str(), &st) == 0) {
    now = StampOf(st);
  } else if (int error = errno; error != ENOENT && error != ENOTDIR) {
    if (checked_ && !stamp_ && !synced_) return;  // already reported
    Report("cannot look at " + path_ + ": " + ErrnoText(error) + "; reads see an empty hive");
    tree_ = Key();
    synced_ = false;
    stamp_.reset();
    checked_ = true;
    return;
  }
  if (checked_ && now == stamp_) return;
  Snapshot snap = Read();
  if (!snap.error.empty()) {
    Report("cannot read " + path_ + ": " + snap.error + "; reads see an empty hive and changes are refused");
    tree_ = Key();
    synced_ = false;
    stamp_ = now;  // report once, not on every read
    checked_ = true;
    return;
  }
  Adopt(snap, false);
}

LONG HiveFile::Modify(const std::function<LONG(Key&)>& change) {
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), ec);
  if (ec) {
    Report("cannot save " + path_ + ": " + ec.message());
    return ERROR_ACCESS_DENIED;
  }
  HiveLock lock;
  if (int error = lock.Acquire(path_ + ".lock")) {
    Report("cannot lock " + path_ + ": " + ErrnoText(error));
    return ERROR_ACCESS_DENIED;
  }
  Snapshot snap = Read();
  if (!snap.error.empty()) {
    Report("cannot read " + path_ + " before saving: " + snap.error);
    checked_ = false;
    return ERROR_ACCESS_DENIED;
  }
  if (!Adopt(snap, true)) return ERROR_ACCESS_DENIED;
  // The save replaces the file by rename, which a read-only hive would not
  // stop; honour its mode as the platform honours a key's permissions.
  if (stamp_ && ::faccessat(AT_FDCWD, path_.c_str(), W_OK, AT_EACCESS) != 0) {
    Report("cannot save " + path_ + ": " + ErrnoText(errno));
    return ERROR_ACCESS_DENIED;
  }

  if (LONG result = change(tree_); result != ERROR_SUCCESS) return result;
  std::string text = WriteHiveText(tree_, roots_.front().name);
  if (snap.exists && text == text_) return ERROR_SUCCESS;

  struct stat st {};
  mode_t mode = snap.exists && ::stat(path_.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
  if (const AtomicWriteResult saved = WriteFileAtomically(path_, text, mode); !saved) {
    Report("cannot save " + path_ + ": " + ErrnoText(saved.error));
    Forget();  // the tree holds an unsaved change; read the file again
    return ERROR_ACCESS_DENIED;
  }
  text_ = std::move(text);
  synced_ = true;
  checked_ = true;
  stamp_ = ::stat(path_.c_str(), &st) == 0 ? std::optional(StampOf(st)) : std::nullopt;
  return ERROR_SUCCESS;
}

}  // namespace plat::reg
