#include "outside/authoring/work_folder.h"

#include <unistd.h>

#include <atomic>
#include <filesystem>

namespace authoring {
namespace {
std::atomic<unsigned> g_jobs{0};
}

JobFolder::JobFolder(const std::string& workFolder) {
  std::error_code ec;
  std::filesystem::create_directories(workFolder, ec);
  const std::filesystem::path path = std::filesystem::path(workFolder) /
                                     ("job-" + std::to_string(::getpid()) + "-" + std::to_string(g_jobs.fetch_add(1)));
  std::filesystem::remove_all(path, ec);
  if (std::filesystem::create_directory(path, ec)) path_ = path.string();
}

JobFolder::~JobFolder() {
  if (path_.empty()) return;
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::int64_t JobFolder::FreeBytes() const {
  std::error_code ec;
  const auto space = std::filesystem::space(path_, ec);
  return ec ? -1 : static_cast<std::int64_t>(space.available);
}

}  // namespace authoring
