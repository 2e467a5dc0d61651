#include "lounge/pages/video/video_devices.h"

#include <algorithm>

#include "corebridge/core/config.h"
#include "lounge/pages/common/file_paths.h"
#include "lounge/pages/video/video_lists.h"

namespace {

// The name a volume goes by: "<label> (D:)", or "D:" without a label.
std::string VolumeName(const plat::VolumeInfo& volume) {
  const std::string drive{volume.letter, ':'};
  return volume.label.empty() ? drive : volume.label + " (" + drive + ")";
}

}  // namespace

std::vector<VideoDevice> VideoDeviceList(const std::string& capturedFolder, bool capturedExists,
                                         const std::string& userVideosFolder, const std::vector<CDriveEntry>& optical,
                                         const std::vector<plat::VolumeInfo>& volumes, int vendor) {
  const bool vendor2 = vendor == 2;
  std::vector<VideoDevice> devices;
  auto add = [&](const std::string& folder, std::string label, const char* icon) {
    if (folder.empty()) return;
    const std::string key = file_list::CutTrailingSlashes(folder);
    if (std::any_of(devices.begin(), devices.end(),
                    [&](const VideoDevice& d) { return file_list::CutTrailingSlashes(d.folder) == key; }))
      return;
    devices.push_back({folder, std::move(label), icon});
  };
  if (capturedExists) {
    add(capturedFolder, video_lists::GetFileNameOfPath(file_list::CutTrailingSlashes(capturedFolder)),
        vendor2 ? "Layout\\Img\\Common\\sub-film-nofiles.bmp" : "Layout\\Img\\Common\\sub-files.bmp");
  }
  if (!userVideosFolder.empty()) {
    add(userVideosFolder, video_lists::GetFileNameOfPath(file_list::CutTrailingSlashes(userVideosFolder)),
        vendor2 ? "Layout\\Img\\Common\\sub-film-nofiles.bmp" : "Layout\\Img\\Common\\sub-files.bmp");
  }
  auto addVolumes = [&](plat::UINT type, const char* icon) {
    for (const plat::VolumeInfo& v : volumes) {
      if (v.type == type && !v.root.empty()) add(v.root, VolumeName(v), icon);
    }
  };
  addVolumes(plat::DRIVE_FIXED,
             vendor2 ? "Layout\\Img\\Common\\sub-film-nofiles1.bmp" : "Layout\\Img\\Common\\hard_disk.bmp");
  for (const CDriveEntry& drive : optical) {
    if (drive.nKind != 8) continue;  // only data discs hold video files
    add(drive.strRoot, drive.strDisplayName, "Layout\\Img\\Common\\sub-cdromdata.BMP");
  }
  addVolumes(plat::DRIVE_REMOVABLE, "Layout\\Img\\Common\\sub-cardreader.BMP");
  addVolumes(plat::DRIVE_REMOTE,
             vendor2 ? "Layout\\Img\\Common\\sub-film-nofiles1.bmp" : "Layout\\Img\\Common\\remote_drive.bmp");
  return devices;
}
