// Shared by the record page and copy worker tests: a temporary folder tree
// with files of chosen sizes, a drive table of chosen volumes, and a capture
// of the debug output.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/sys/debug_output.h"
#include "platform/sys/drive_table.h"

namespace record_test {

namespace fs = std::filesystem;

class TempTree {
 public:
  TempTree() {
    std::string pattern = (fs::temp_directory_path() / "marivel-record-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
  }
  ~TempTree() {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  const fs::path& root() const { return root_; }
  std::string Path(const std::string& relative) const { return (root_ / relative).string(); }

  // A file of `size` bytes whose content depends on its name and offset.
  std::string File(const std::string& relative, std::size_t size) const {
    const fs::path file = root_ / relative;
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    for (std::size_t i = 0; i < size; ++i) out.put(static_cast<char>((i * 31 + relative.size()) & 0xFF));
    return file.string();
  }
  // A file of `size` bytes that takes no disk space (all holes).
  std::string SparseFile(const std::string& relative, off_t size) const {
    const fs::path file = root_ / relative;
    fs::create_directories(file.parent_path());
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || ::ftruncate(fd, size) != 0) throw std::runtime_error("sparse file");
    ::close(fd);
    return file.string();
  }
  std::string Folder(const std::string& relative) const {
    fs::create_directories(root_ / relative);
    return (root_ / relative).string();
  }

 private:
  fs::path root_;
};

inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Files below `folder`, as relative paths, sorted.
inline std::vector<std::string> ListTree(const fs::path& folder) {
  std::vector<std::string> files;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    if (it->is_regular_file()) files.push_back(fs::relative(it->path(), folder).string());
  std::sort(files.begin(), files.end());
  return files;
}

// Installs a drive table of the given volumes for the test's length.
class VolumeTable {
 public:
  explicit VolumeTable(std::vector<plat::VolumeInfo> volumes) {
    auto source = std::make_shared<plat::FakeVolumeSource>();
    source->volumes = std::move(volumes);
    plat::SetVolumeSource(source);
  }
  ~VolumeTable() { plat::SetVolumeSource(nullptr); }
  VolumeTable(const VolumeTable&) = delete;
  VolumeTable& operator=(const VolumeTable&) = delete;
};

inline plat::VolumeInfo Volume(char letter, plat::UINT type, const std::string& root, const std::string& label) {
  plat::VolumeInfo v;
  v.letter = letter;
  v.type = type;
  v.root = root;
  v.label = label;
  return v;
}

// Collects the debug output lines (from any thread) for the test's length.
class DebugLog {
 public:
  DebugLog() {
    plat::SetDebugOutputListener([this](const std::string& line) {
      std::lock_guard lock(mutex_);
      lines_.push_back(line);
    });
  }
  ~DebugLog() { plat::SetDebugOutputListener(nullptr); }
  DebugLog(const DebugLog&) = delete;
  DebugLog& operator=(const DebugLog&) = delete;

  int CountContaining(const std::string& text) const {
    std::lock_guard lock(mutex_);
    int n = 0;
    for (const std::string& line : lines_) n += line.find(text) != std::string::npos;
    return n;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> lines_;
};

}  // namespace record_test
