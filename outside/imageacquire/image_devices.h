// The cameras and scanners acquisition can reach: the virtual devices the
// registry declares (a folder served as a camera by libgphoto2's "Directory
// Browse" driver; a SANE device such as the test backend's "test:0"), the
// cameras libgphoto2 detects and the scanners SANE lists.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace imageacquire {

struct ImageDevice {
  std::string name;        // what the user sees
  std::string identifier;  // "disk:<folder>", a camera port, or a SANE device name
  std::string model;       // the camera driver's model name
  std::int32_t type = 0;   // scanner 1, camera 2, folder camera 3
};

inline constexpr const char* kVirtualImageDevicesKey = "SoftWare\\Kestrovia\\Marivel\\VirtualImageDevices";
inline constexpr const char* kFolderCameraModel = "Directory Browse";

std::vector<ImageDevice> ReadVirtualImageDevices();
std::vector<ImageDevice> DetectCameras();
std::vector<ImageDevice> DetectScanners();

// Points SANE at a generated configuration that loads the test backend
// beside the system's; called before SANE starts, once per process.
void PrepareSaneConfiguration();

}  // namespace imageacquire
