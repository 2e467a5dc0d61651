#include "platform/win/file_dialog.h"

#include <filesystem>
#include <mutex>

namespace plat {

namespace {

std::mutex& ChooserMutex() {
  static std::mutex mutex;
  return mutex;
}

FileChooser& Chooser() {
  static FileChooser chooser;
  return chooser;
}

}  // namespace

void SetFileChooser(FileChooser chooser) {
  std::lock_guard lock(ChooserMutex());
  Chooser() = std::move(chooser);
}

bool GetOpenFileNames(const OpenFileRequest& request, std::vector<std::string>& paths) {
  paths.clear();
  FileChooser chooser;
  {
    std::lock_guard lock(ChooserMutex());
    chooser = Chooser();
  }
  if (!chooser) return false;
  std::vector<std::string> answer;
  if (!chooser(request, answer) || answer.empty()) return false;
  if (!(request.flags & OFN_ALLOWMULTISELECT)) answer.resize(1);
  if (request.flags & OFN_FILEMUSTEXIST) {
    for (const std::string& path : answer) {
      std::error_code ec;
      if (path.empty() || !std::filesystem::is_regular_file(path, ec)) return false;
    }
  }
  paths = std::move(answer);
  return true;
}

}  // namespace plat
