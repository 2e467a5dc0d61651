#include "lounge/pages/video/video_lists.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <ctime>
#include <iomanip>
#include <memory>
#include <sstream>

#include "lounge/pages/common/file_facts.h"

namespace video_lists {

namespace {

// Each extension followed by '|', so ".mp" cannot match the start of ".mpg".
constexpr std::string_view kVideoFilter =
    "|.mpg|.mpe|.mpv|.avi|.asf|.asx|.mpeg|.div|.divx|.wm|.wmv|.m1v|.m2v|.m1s|.vro||";

std::size_t LastSeparator(std::string_view path) { return path.find_last_of("/\\"); }

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

}  // namespace

bool IsSelectedVideo(const std::vector<std::string>& selected, const std::string& path) {
  return std::find(selected.begin(), selected.end(), path) != selected.end();
}

bool ToggleSelectedVideo(std::vector<std::string>& selected, const std::string& path) {
  const auto found = std::find(selected.begin(), selected.end(), path);
  if (found != selected.end()) {
    selected.erase(found);
    return false;
  }
  selected.push_back(path);
  return true;
}

bool HasVideoExtension(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return false;
  std::string key(name.substr(dot));
  for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  key += '|';
  return kVideoFilter.find("|" + key) != std::string_view::npos;
}

std::vector<std::string> CollectFolderVideos(const std::string& folder) {
  std::vector<std::string> names;
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return names;
  std::unique_ptr<DIR, DirCloser> dir(fdopendir(fd));
  if (!dir) {
    close(fd);
    return names;
  }
  while (names.size() < kFolderPreviewCount) {
    const dirent* entry = readdir(dir.get());
    if (!entry) break;
    const std::string name = entry->d_name;
    if (name == "." || name == ".." || file_list::IsHiddenName(name)) continue;
    if (!HasVideoExtension(name)) continue;
    if (file_list::ReadFileFacts(dirfd(dir.get()), name.c_str(), false).kind != file_list::FileKind::File) continue;
    names.push_back(name);
  }
  return names;
}

std::string GetFolderOfPath(std::string_view path) {
  const std::size_t sep = LastSeparator(path);
  if (sep == std::string_view::npos) return {};
  std::string folder(path.substr(0, sep + 1));
  if (folder.size() > 2 && folder[folder.size() - 2] != ':') folder.pop_back();
  return folder;
}

std::string GetFileNameOfPath(std::string_view path) {
  const std::size_t sep = LastSeparator(path);
  return std::string(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

std::string GetFileTitleOfPath(std::string_view path) {
  std::string name = GetFileNameOfPath(path);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

std::string GetFileDateText(const std::string& path, const std::locale& locale) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return {};
  std::tm local{};
  const std::time_t when = st.st_mtim.tv_sec;
  if (!localtime_r(&when, &local)) return {};
  std::ostringstream out;
  out.imbue(locale);
  out << std::put_time(&local, "%x");
  return out.str();
}

std::array<plat::RECT, 4> FolderPreviewCells(const plat::RECT& rect, int top, int bottom, int side) {
  const int w = rect.right - rect.left;
  const int h = rect.bottom - rect.top;
  const int gx = w / 40;
  const int gy = h / 40;
  const int left = rect.left + side;
  const int right = rect.right - side;
  const int upper = rect.top + top;
  const int lower = rect.bottom - bottom;
  const int midX = (left + right) / 2;
  const int midY = (upper + lower) / 2;
  return {plat::RECT{left + gx, upper + gy, midX - gx, midY - gy}, plat::RECT{midX + gx, upper + gy, right - gx, midY - gy},
          plat::RECT{left + gx, midY + 2 * gy, midX - gx, lower - gy},
          plat::RECT{midX + gx, midY + 2 * gy, right - gx, lower - gy}};
}

plat::RECT HighlightGridCell(const plat::RECT& rect, int column, int row) {
  const int w = rect.right - rect.left;
  const int h = rect.bottom - rect.top;
  return {rect.left + w * column / 3 + w / 60, rect.top + h * row / 3 + h / 60,
          rect.left + w * (column + 1) / 3 - w / 60, rect.top + h * (row + 1) / 3 - h / 60};
}

}  // namespace video_lists
