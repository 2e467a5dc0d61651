// A temporary folder tree for the file list tests: files, folders, links and
// fifos made on request, removed with the object. Volumes are faked with a
// FakeVolumeSource that the object installs and takes out again.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/sys/drive_table.h"

inline plat::VolumeInfo Volume(char letter, std::string root, std::string label = {}) {
  plat::VolumeInfo v;
  v.letter = letter;
  v.type = plat::DRIVE_FIXED;
  v.root = std::move(root);
  v.label = std::move(label);
  return v;
}

class FileTree {
 public:
  FileTree() {
    std::string pattern = (std::filesystem::temp_directory_path() / "marivel-files-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
  }
  ~FileTree() {
    plat::SetVolumeSource(nullptr);
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  FileTree(const FileTree&) = delete;
  FileTree& operator=(const FileTree&) = delete;

  const std::string& root() const { return root_; }
  std::string operator/(const std::string& relative) const { return root_ + "/" + relative; }

  std::string File(const std::string& relative, const std::string& content = "x") const {
    const std::string path = *this / relative;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }
  std::string Folder(const std::string& relative) const {
    const std::string path = *this / relative;
    std::filesystem::create_directories(path);
    return path;
  }
  // A symbolic link at `relative` holding `target` as written.
  std::string Link(const std::string& relative, const std::string& target) const {
    const std::string path = *this / relative;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::filesystem::create_symlink(target, path);
    return path;
  }
  std::string Fifo(const std::string& relative) const {
    const std::string path = *this / relative;
    if (mkfifo(path.c_str(), 0600) != 0) throw std::runtime_error("mkfifo failed");
    return path;
  }
  // Sets the last-write time to `seconds` after 1970.
  void Touch(const std::string& relative, long seconds) const {
    std::filesystem::last_write_time(*this / relative,
                                     std::filesystem::file_time_type::clock::from_sys(
                                         std::chrono::sys_seconds(std::chrono::seconds(seconds))));
  }

  // Installs a fake drive table with the given volumes.
  void Volumes(std::vector<plat::VolumeInfo> volumes) const {
    auto source = std::make_shared<plat::FakeVolumeSource>();
    source->volumes = std::move(volumes);
    plat::SetVolumeSource(source);
  }

 private:
  std::string root_;
};
