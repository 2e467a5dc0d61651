#include "outside/imageacquire/resident_drivers.h"

#include <dlfcn.h>
#include <link.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace plat::gdi {
void KeepFontLeakSuppression();
}

namespace imageacquire {
namespace {

// The folders the libraries load their drivers from, as pkg-config gave
// them at build time.
const std::vector<std::filesystem::path>& DriverFolders() {
  static const std::vector<std::filesystem::path> folders = [] {
    std::vector<std::filesystem::path> out;
    for (const char* dir : {MARIVEL_SANE_BACKEND_DIR, MARIVEL_GPHOTO_CAMLIB_DIR, MARIVEL_GPHOTO_IOLIB_DIR}) {
      std::error_code ec;
      auto canonical = std::filesystem::canonical(dir, ec);
      out.push_back(ec ? std::filesystem::path(dir) : canonical);
    }
    return out;
  }();
  return folders;
}

bool IsDriver(const std::filesystem::path& module) {
  std::error_code ec;
  auto canonical = std::filesystem::canonical(module, ec);
  const auto folder = (ec ? module : canonical).parent_path();
  for (const auto& driverFolder : DriverFolders()) {
    if (folder == driverFolder) return true;
  }
  return false;
}

}  // namespace

void KeepLoadedDriversResident() {
  // The suppressions that name the drivers live with the font suppressions:
  // one definition per program, linked wherever the drivers are.
  plat::gdi::KeepFontLeakSuppression();
  std::vector<std::string> loaded;
  dl_iterate_phdr(
      [](dl_phdr_info* info, std::size_t, void* data) {
        if (info->dlpi_name && *info->dlpi_name) static_cast<std::vector<std::string>*>(data)->push_back(info->dlpi_name);
        return 0;
      },
      &loaded);
  // dlopen outside the iteration, which holds the loader's lock.
  for (const auto& module : loaded) {
    if (!IsDriver(module)) continue;
    // NOLOAD finds the module already there; NODELETE keeps it when its
    // library closes it. The extra reference is given back at once.
    if (void* handle = dlopen(module.c_str(), RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE)) dlclose(handle);
  }
}

}  // namespace imageacquire
