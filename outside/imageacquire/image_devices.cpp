#include "outside/imageacquire/image_devices.h"
#include "outside/imageacquire/library_allocations.h"
#include "outside/imageacquire/resident_drivers.h"

// The platform header goes first: the C libraries define TRUE and FALSE as macros.
#include "platform/registry/registry.h"

#include <gphoto2/gphoto2-camera.h>
#include <gphoto2/gphoto2-port-info-list.h>
#include <sane/sane.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <mutex>

namespace imageacquire {
namespace {

std::string QueryString(plat::HKEY key, const char* value) {
  char buffer[1024] = {};
  plat::DWORD size = sizeof(buffer);
  plat::DWORD type = 0;
  if (plat::RegQueryValueExA(key, value, nullptr, &type, reinterpret_cast<plat::BYTE*>(buffer), &size) !=
          plat::ERROR_SUCCESS ||
      type != plat::REG_SZ)
    return {};
  buffer[sizeof(buffer) - 1] = 0;
  return buffer;
}

}  // namespace

std::vector<ImageDevice> ReadVirtualImageDevices() {
  std::vector<ImageDevice> devices;
  plat::HKEY key = nullptr;
  if (plat::RegOpenKeyExA(plat::HKEY_LOCAL_MACHINE, kVirtualImageDevicesKey, 0, plat::KEY_READ, &key) !=
      plat::ERROR_SUCCESS)
    return devices;
  for (plat::DWORD index = 0;; ++index) {
    char name[256] = {};
    plat::DWORD nameSize = sizeof(name);
    if (plat::RegEnumKeyExA(key, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != plat::ERROR_SUCCESS)
      break;
    plat::HKEY sub = nullptr;
    if (plat::RegOpenKeyExA(key, name, 0, plat::KEY_READ, &sub) != plat::ERROR_SUCCESS) continue;
    const std::string kind = QueryString(sub, "Kind");
    ImageDevice device;
    device.name = name;
    if (kind == "camera") {
      const std::string folder = QueryString(sub, "Path");
      if (!folder.empty()) {
        device.identifier = "disk:" + folder;
        device.model = kFolderCameraModel;
        device.type = 3;
      }
    } else if (kind == "scanner") {
      device.identifier = QueryString(sub, "Device");
      device.type = 1;
    }
    plat::RegCloseKey(sub);
    if (device.type != 0 && !device.identifier.empty()) devices.push_back(std::move(device));
  }
  plat::RegCloseKey(key);
  return devices;
}

std::vector<ImageDevice> DetectCameras() {
  std::vector<ImageDevice> devices;
  LibraryAllocationsIgnored scope;
  GPContext* context = gp_context_new();
  CameraList* list = nullptr;
  if (gp_list_new(&list) == GP_OK) {
    const bool detected = gp_camera_autodetect(list, context) >= GP_OK;
    KeepLoadedDriversResident();
    if (detected) {
      for (int i = 0; i < gp_list_count(list); ++i) {
        const char* model = nullptr;
        const char* port = nullptr;
        gp_list_get_name(list, i, &model);
        gp_list_get_value(list, i, &port);
        if (!model || !port) continue;
        // The folder driver answers for every mounted disk: those are drives, not cameras.
        if (std::string(port).rfind("disk:", 0) == 0) continue;
        devices.push_back(ImageDevice{model, port, model, 2});
      }
    }
    gp_list_free(list);
  }
  gp_context_unref(context);
  return devices;
}

void PrepareSaneConfiguration() {
  static std::once_flag once;
  std::call_once(once, [] {
    if (getenv("SANE_CONFIG_DIR")) return;  // the user's own choice stands
    std::error_code ec;
    const auto dir = std::filesystem::temp_directory_path(ec) / ("marivel-sane-" + std::to_string(::getuid()));
    std::filesystem::create_directories(dir, ec);
    std::ofstream(dir / "dll.conf") << "test\n";
    // A trailing separator keeps the system's folders after ours.
    setenv("SANE_CONFIG_DIR", (dir.string() + ":").c_str(), 0);
  });
}

std::vector<ImageDevice> DetectScanners() {
  std::vector<ImageDevice> devices;
  LibraryAllocationsIgnored scope;
  PrepareSaneConfiguration();
  SANE_Int version = 0;
  if (sane_init(&version, nullptr) != SANE_STATUS_GOOD) return devices;
  const SANE_Device** list = nullptr;
  // Local devices only: a network search can take seconds.
  const bool listed = sane_get_devices(&list, SANE_TRUE) == SANE_STATUS_GOOD;
  KeepLoadedDriversResident();
  if (listed && list) {
    for (int i = 0; list[i]; ++i) {
      const std::string device = list[i]->name ? list[i]->name : "";
      // The test backend's own devices are offered only when declared.
      if (device.empty() || device.rfind("test:", 0) == 0) continue;
      const std::string name = std::string(list[i]->vendor ? list[i]->vendor : "") + " " +
                               (list[i]->model ? list[i]->model : "");
      devices.push_back(ImageDevice{name, device, {}, 1});
    }
  }
  sane_exit();
  return devices;
}

}  // namespace imageacquire
