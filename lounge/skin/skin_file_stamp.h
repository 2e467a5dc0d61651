// What identifies one version of a skin file cheaply: its inode, size and
// times. A version is trusted only once it is older than the coarse clock
// that stamps files, so that a file rewritten within the same clock tick as
// it was read is never mistaken for the version read.
#pragma once

#include <sys/types.h>

#include <ctime>
#include <optional>
#include <string>

struct SkinFileStamp {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  timespec modified{};
  timespec changed{};
  bool operator==(const SkinFileStamp& other) const;
};

// The stamp of the file at `path` (following links); empty when there is
// none.
std::optional<SkinFileStamp> StampSkinFile(const std::string& path);

// Whether a later change to the file must show in its stamp: true when the
// file was last changed well before now.
bool SkinFileSettled(const SkinFileStamp& stamp);
