#include "lounge/pages/common/shell_files.h"

#include <dirent.h>
#include <fcntl.h>

#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <memory>
#include <optional>

#include "lounge/pages/common/file_facts.h"
#include "lounge/pages/common/file_paths.h"
#include "lounge/skin/skin_bitmaps.h"
#include "platform/sys/drive_table.h"

using file_list::FileKind;

namespace {

// The extension of a file name with its dot, as the filter writes it: from
// the last dot of the name on; "." when the name has none.
std::string_view ExtensionOf(std::string_view fileName) {
  const size_t dot = fileName.find_last_of('.');
  return dot == std::string_view::npos ? std::string_view(".") : fileName.substr(dot);
}

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

// One folder's matching files; its sub-folders' paths are returned for the
// caller to walk once this folder is closed, so that a deep tree never holds
// more than one folder open.
void CollectIn(const std::string& folder, const std::string& filter, std::vector<std::string>& files, bool recurse,
               std::vector<std::string>& pending) {
  DirHandle dir(opendir(folder.c_str()));
  if (!dir) return;
  const int fd = dirfd(dir.get());
  while (const dirent* d = readdir(dir.get())) {
    const std::string_view name(d->d_name);
    if (name.empty() || name[0] == '.') continue;  // hidden, "." and ".."
    FileKind kind = d->d_type == DT_DIR   ? FileKind::Folder
                    : d->d_type == DT_REG ? FileKind::File
                    : d->d_type == DT_LNK ? FileKind::Link
                    : d->d_type == DT_UNKNOWN ? file_list::ReadFileFacts(fd, d->d_name, false).kind
                                              : FileKind::Other;
    switch (kind) {
      case FileKind::Folder:
        if (recurse) pending.push_back(file_list::JoinPath(folder, name));
        break;
      case FileKind::File:
        if (PassesFilter(filter, name)) files.push_back(file_list::JoinPath(folder, name));
        break;
      case FileKind::Link: {
        // A linked file counts by its target; a linked folder is never
        // walked, so the walk cannot leave the tree or run in a loop.
        ShortcutTarget target;
        if (ResolveShortcut(file_list::JoinPath(folder, name), filter, target) && !target.isFolder)
          files.push_back(std::move(target.path));
        break;
      }
      default:
        break;
    }
  }
}

void CollectTree(const std::string& folder, const std::string& filter, std::vector<std::string>& files, bool recurse) {
  std::vector<std::string> pending;
  CollectIn(folder, filter, files, recurse, pending);
  // Sub-folders in enumeration order, each walked whole before the next.
  for (const std::string& sub : pending) CollectTree(sub, filter, files, recurse);
}

std::optional<plat::VolumeInfo> VolumeAtRoot(const std::string& path) {
  const bool driveForm = path.size() >= 2 && path.size() <= 3 && std::isalpha(static_cast<unsigned char>(path[0])) &&
                         path[1] == ':' && (path.size() == 2 || path[2] == '\\' || path[2] == '/');
  if (driveForm) return plat::FindVolume(path.substr(0, 2));
  const std::string normal = file_list::NormaliseFolder(path);
  for (const plat::VolumeInfo& v : plat::GetVolumes()) {
    if (!v.root.empty() && file_list::NormaliseFolder(v.root) == normal) return v;
  }
  return std::nullopt;
}

}  // namespace

bool PassesFilter(const std::string& filter, std::string_view fileName, bool lowerCase) {
  if (filter.empty()) return true;
  std::string key(ExtensionOf(fileName));
  if (lowerCase) {
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  key += '|';
  return filter.find(key) != std::string::npos;
}

int CollectFilesRecursive(const std::string& folder, const std::string& filter, std::vector<std::string>& files,
                          int recurse) {
  const std::string path = file_list::ResolveDrivePath(file_list::CutTrailingSlashes(folder));
  if (path.empty() && !recurse) {
    for (const plat::VolumeInfo& v : plat::GetVolumes()) {
      if (!v.root.empty()) CollectTree(v.root, filter, files, false);
    }
    return 1;
  }
  if (file_list::IsDriveForm(path) || file_list::ReadFileFacts(path, true).kind == FileKind::Missing) return 0;
  CollectTree(path, filter, files, recurse != 0);
  return 1;
}

int ResolveShortcut(const std::string& path, const std::string& filter, ShortcutTarget& target) {
  if (file_list::ReadFileFacts(path, false).kind != FileKind::Link) return 0;
  // realpath follows the whole chain; a dangling link or a loop fails here.
  std::unique_ptr<char, decltype(&std::free)> resolved(realpath(path.c_str(), nullptr), &std::free);
  if (!resolved) return 0;
  const std::string targetPath(resolved.get());
  const std::string targetName(file_list::FileNamePart(targetPath));
  if (file_list::IsHiddenName(targetName)) return 0;
  const file_list::FileFacts facts = file_list::ReadFileFacts(targetPath, false);
  if (facts.kind != FileKind::Folder && facts.kind != FileKind::File) return 0;
  const bool isFolder = facts.kind == FileKind::Folder;
  if (!isFolder && !PassesFilter(filter, targetName)) return 0;
  target.path = targetPath;
  target.name = targetName;
  target.creationTime = facts.creationTime;
  target.lastWriteTime = facts.lastWriteTime;
  target.isFolder = isFolder ? 1 : 0;
  return 1;
}

int GetMyComputerName(std::string& name) {
  name = "Computer";
  return 1;
}

int GetShellDisplayName(const std::string& path, std::string& name) {
  if (path.empty()) return GetMyComputerName(name);
  if (const auto volume = VolumeAtRoot(path)) {
    const std::string drive{volume->letter, ':'};
    name = volume->label.empty() ? drive : volume->label + " (" + drive + ")";
    return 1;
  }
  name = std::string(file_list::FileNamePart(file_list::CutTrailingSlashes(path)));
  if (name.empty()) name = path;
  return 1;
}

std::string ShellIconName(std::string_view path) {
  struct Kind {
    const char* name;
    const char* extensions;
  };
  static constexpr std::array<Kind, 3> kKinds{{
      {"video", "|.mpg|.mpe|.mpv|.avi|.asf|.asx|.mpeg|.div|.divx|.wm|.wmv|.m1v|.m2v|.m1s|.vro|.vob|"},
      {"audio", "|.mp3|.wav|.wma|.cda|"},
      {"picture", "|.jpg|.jpeg|.bmp|.png|.gif|"},
  }};
  const std::string_view fileName = file_list::FileNamePart(path);
  for (const Kind& kind : kKinds) {
    if (fileName.find('.') != std::string_view::npos && PassesFilter(kind.extensions, fileName))
      return std::string("Layout\\Img\\Common\\filetype-") + kind.name + ".bmp";
  }
  return "Layout\\Img\\Common\\filetype-file.bmp";
}

int DrawShellIcon(const std::string& path, plat::HDC dc, int left, int top, int right, int bottom, int stretch) {
  if (!dc) return 0;
  constexpr int kIconSize = 48;
  plat::RECT rect{left, top, right, bottom};
  if (!stretch) {
    const int x = left + (right - left - kIconSize) / 2;
    const int y = top + (bottom - top - kIconSize) / 2;
    rect = plat::RECT{x, y, x + kIconSize, y + kIconSize};
  }
  return DrawBitmapFile(file_list::ApplicationFile(ShellIconName(path)), dc, rect);
}

std::string FormatDuration(double seconds) {
  // Whole seconds; nothing negative or beyond reason reaches the format.
  const long long total =
      std::isfinite(seconds) && seconds > 0 ? static_cast<long long>(std::min(seconds, 3.6e9)) : 0;
  const long long hours = total / 3600;
  const long long minutes = (total / 60) % 60;
  const long long secs = total % 60;
  char text[48];
  if (total >= 3600)
    std::snprintf(text, sizeof text, "%.2lld:%.2lld:%.2lld", hours, minutes, secs);
  else
    std::snprintf(text, sizeof text, "%.2lld:%.2lld", minutes, secs);
  return text;
}
