// The entries of "Video Device Browser": where videos can be browsed from.
#pragma once

#include <string>
#include <vector>

#include "platform/sys/drive_table.h"

struct CDriveEntry;

struct VideoDevice {
  std::string folder;
  std::string label;
  std::string icon;  // relative to the application folder
};

// In this order: the captured folder (when `capturedExists`), the user's own
// videos folder (when not empty), the hard disks, the optical drives holding
// a data disc (kind 8), the removable drives and the network drives of the
// drive table. Volumes without a mounted root and folders listed already are
// left out. `vendor` picks the icons.
std::vector<VideoDevice> VideoDeviceList(const std::string& capturedFolder, bool capturedExists,
                                         const std::string& userVideosFolder, const std::vector<CDriveEntry>& optical,
                                         const std::vector<plat::VolumeInfo>& volumes, int vendor);
