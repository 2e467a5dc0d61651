#include "platform/com/module_path.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

namespace plat::com_detail {
namespace fs = std::filesystem;

std::string ExecutableDirectory() {
  std::error_code error;
  const fs::path exe = fs::read_symlink("/proc/self/exe", error);
  if (error) return ".";
  return exe.parent_path().string();
}

std::string ModulePathOf(const void* address) {
  Dl_info info{};
  if (!dladdr(address, &info) || !info.dli_fname) return {};
  std::error_code error;
  const fs::path canonical = fs::canonical(info.dli_fname, error);
  return error ? std::string(info.dli_fname) : canonical.string();
}

std::string RegistrationPathFor(const std::string& libraryPath) {
  std::error_code error;
  const fs::path library = fs::canonical(libraryPath, error);
  if (error) return libraryPath;
  const fs::path exeDir = fs::canonical(ExecutableDirectory(), error);
  if (!error && library.parent_path() == exeDir) return library.filename().string();
  return library.string();
}

}  // namespace plat::com_detail
