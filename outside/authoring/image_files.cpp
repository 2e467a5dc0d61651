#include "outside/authoring/image_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/sys/atomic_file.h"

namespace authoring {
namespace {
bool IsCue(const std::filesystem::path& p) {
  std::string ext = p.extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext == ".cue";
}
}  // namespace

PendingImage::PendingImage(std::string target) : target_(std::move(target)) {
  const std::filesystem::path t(target_);
  std::error_code ec;
  const std::filesystem::path dir = t.parent_path().empty() ? std::filesystem::path(".") : t.parent_path();
  std::filesystem::create_directories(dir, ec);
  if (!std::filesystem::is_directory(dir, ec)) return;
  // The writer's pid in the name lets the next process remove what a kill
  // left behind.
  path_ = plat::PartialFileName((dir / t.filename()).string());
  std::filesystem::remove(path_, ec);
}

PendingImage::~PendingImage() {
  if (!committed_ && !path_.empty()) {
    std::error_code ec;
    std::filesystem::remove(path_, ec);
  }
}

bool PendingImage::Commit() {
  if (path_.empty()) return false;
  const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  const int syncError = errno;
  ::close(fd);
  if (!synced || std::rename(path_.c_str(), target_.c_str()) != 0) {
    std::fprintf(stderr, "disc image: cannot save \"%s\": %s\n", target_.c_str(),
                 plat::WriteFailureCause(synced ? errno : syncError).c_str());
    return false;
  }
  committed_ = true;
  return true;
}

bool SameBytes(const std::string& a, const std::string& b) {
  std::ifstream x(a, std::ios::binary);
  std::ifstream y(b, std::ios::binary);
  if (!x || !y) return false;
  std::vector<char> bx(1 << 20);
  std::vector<char> by(1 << 20);
  for (;;) {
    x.read(bx.data(), static_cast<std::streamsize>(bx.size()));
    y.read(by.data(), static_cast<std::streamsize>(by.size()));
    if (x.gcount() != y.gcount()) return false;
    if (x.gcount() == 0) return x.eof() && y.eof();
    if (!std::equal(bx.begin(), bx.begin() + x.gcount(), by.begin())) return false;
  }
}

CueBinPaths CueBinFor(const std::string& writerPath) {
  std::filesystem::path p(writerPath);
  CueBinPaths paths;
  if (IsCue(p)) {
    paths.cue = writerPath;
    paths.bin = std::filesystem::path(p).replace_extension(".bin").string();
  } else {
    paths.bin = writerPath;
    paths.cue = std::filesystem::path(p).replace_extension(".cue").string();
  }
  return paths;
}

}  // namespace authoring
