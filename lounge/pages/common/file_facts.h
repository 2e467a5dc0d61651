// What the file list needs to know of one directory entry, read with statx:
// its kind and its two times. Linux meanings: a name starting with "." is
// hidden; anything neither a regular file nor a folder (device, fifo,
// socket) is left out of every list, as system and device files are.
#pragma once

#include <fcntl.h>

#include <string>

#include "platform/core/file_time.h"

namespace file_list {

enum class FileKind { Missing, Folder, File, Link, Other };

struct FileFacts {
  FileKind kind = FileKind::Missing;
  plat::FILETIME creationTime;   // birth time where the file system keeps it, else the last write
  plat::FILETIME lastWriteTime;
};

// Facts of `name` relative to the open folder `folderFd` (or of a path with
// AT_FDCWD). Without `follow` a symbolic link reports itself (kind Link).
FileFacts ReadFileFacts(int folderFd, const char* name, bool follow);
inline FileFacts ReadFileFacts(const std::string& path, bool follow) {
  return ReadFileFacts(AT_FDCWD, path.c_str(), follow);
}

inline bool IsHiddenName(const std::string& name) { return !name.empty() && name[0] == '.'; }

}  // namespace file_list
