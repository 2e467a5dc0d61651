#include "lounge/pages/record/record_file_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace {

// Closes a descriptor when it goes out of scope.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() { Close(); }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  // The result of close(2); 0 when already closed.
  int Close() {
    if (fd_ < 0) return 0;
    const int result = ::close(fd_);
    fd_ = -1;
    return result;
  }

 private:
  int fd_;
};

ssize_t ReadSome(int fd, char* buffer, std::size_t size) {
  for (;;) {
    const ssize_t n = ::read(fd, buffer, size);
    if (n >= 0 || errno != EINTR) return n;
  }
}

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

FileCopyOutcome Failed(int error) { return FileCopyOutcome{FileCopyResult::kFailed, error}; }

}  // namespace

FileCopyOutcome CopyFileWithProgress(const std::string& source, const std::string& target,
                                     const FileCopyProgress& progress, const std::atomic<int>& cancel) {
  if (cancel.load()) return FileCopyOutcome{FileCopyResult::kCancelled, 0};
  FileDescriptor in(::open(source.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  if (!in.valid()) return Failed(errno);
  struct stat info {};
  if (::fstat(in.get(), &info) != 0) return Failed(errno);
  if (!S_ISREG(info.st_mode)) return Failed(EINVAL);

  // O_EXCL refuses an existing target, a symbolic link included.
  FileDescriptor out(::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
  if (!out.valid()) return Failed(errno);

  // From here on the target is ours: every way out but success removes it.
  auto discard = [&](FileCopyOutcome outcome) {
    out.Close();
    ::unlink(target.c_str());
    return outcome;
  };

  const std::uint64_t total = static_cast<std::uint64_t>(info.st_size);
  std::uint64_t copied = 0;
  if (progress) progress(total, copied);
  std::vector<char> buffer(kFileCopyChunkBytes);
  for (;;) {
    if (cancel.load()) return discard(FileCopyOutcome{FileCopyResult::kCancelled, 0});
    const ssize_t n = ReadSome(in.get(), buffer.data(), buffer.size());
    if (n < 0) return discard(Failed(errno));
    if (n == 0) break;
    if (!WriteAll(out.get(), buffer.data(), static_cast<std::size_t>(n))) return discard(Failed(errno));
    copied += static_cast<std::uint64_t>(n);
    if (progress) progress(total, copied);
  }
  if (cancel.load()) return discard(FileCopyOutcome{FileCopyResult::kCancelled, 0});

  const struct timespec times[2] = {info.st_atim, info.st_mtim};
  ::futimens(out.get(), times);  // a file system without times still gets the data
  if (out.Close() != 0) {
    const int error = errno;
    ::unlink(target.c_str());
    return Failed(error);
  }
  return FileCopyOutcome{FileCopyResult::kCopied, 0};
}

std::int32_t SizeInKiB(std::uint64_t bytes) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(bytes >> 10));
}

bool PassesExtensionFilter(const std::string& fileName, const std::string& filter) {
  if (filter.empty()) return true;
  const std::size_t dot = fileName.rfind('.');
  std::string extension = dot == std::string::npos ? std::string() : fileName.substr(dot);
  for (char& c : extension)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return filter.find("|" + extension + "|") != std::string::npos;
}
