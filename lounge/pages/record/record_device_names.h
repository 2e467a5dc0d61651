// Display names of the record page's devices, from the drive table: a
// volume's label with its drive letter ("CAMERA (K:)"), or the drive letter
// alone ("K:") when the volume has no label.
#pragma once

#include <string>

// The display name of the volume whose root is `root` (a mount point or a
// drive-letter form such as "K:\"); empty when the drive table has no such
// volume.
std::string DriveDisplayName(const std::string& root);
// The 0-based drive number (A = 0) of that volume, or -1.
int DriveNumberOf(const std::string& root);
