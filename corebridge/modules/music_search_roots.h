// Where the media-library search looks. It is meant to cover the fixed
// drives, but a drive here may be the system's whole file system: its root
// gives way to the user's music folder. Other fixed file systems are taken
// when they are mounted media (below /media, /run/media or /mnt) or drives
// the user declared.
#pragma once

#include <string>
#include <vector>

#include "platform/sys/drive_table.h"

// The roots joined by ";", each once, in the order of the drives.
std::string MediaSearchRoots(const std::vector<plat::VolumeInfo>& volumes, const std::string& musicFolder);
