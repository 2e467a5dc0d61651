// The shell functions the browsing pages use beside their file list sources:
// the extension filter, collecting the matching files of a folder tree,
// resolving a symbolic link (the shortcut of this system), display names of
// paths, file-type icons and play-time texts.
//
// A filter lists extensions, each with its dot and followed by a bar, opened
// by a bar and closed by a second bar: "|.mp3|.wav|.wma||". An empty filter
// lets every file pass.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/core/file_time.h"
#include "platform/core/types.h"

// The file's extension with its dot (".|" for none) followed by a bar, found
// in the filter. `lowerCase` lower-cases the extension first; without it
// the extension is compared as written.
bool PassesFilter(const std::string& filter, std::string_view fileName, bool lowerCase = true);

// Appends the full paths of the matching files under `folder` (a path or a
// drive "D:"). Hidden names and entries that are neither files nor folders
// are skipped; with `recurse` set sub-folders are walked. A link to a file is
// appended by its target when the target passes the filter; a link to a
// folder is neither walked nor listed, so no walk leaves the tree or loops.
// An empty folder with `recurse` clear lists the top of every volume.
// 0 when the folder does not exist; else 1.
int CollectFilesRecursive(const std::string& folder, const std::string& filter, std::vector<std::string>& files,
                          int recurse);

struct ShortcutTarget {
  std::string path;  // fully resolved target
  std::string name;  // the target's file name
  plat::FILETIME creationTime;
  plat::FILETIME lastWriteTime;
  int isFolder = 0;
};

// Resolves the symbolic link `path`. Fails (0) when the path is not a link,
// when the link dangles or loops, when the target is hidden or neither a file
// nor a folder, or when a file target does not pass the (lower-cased) filter.
// On success fills `target` and returns 1.
int ResolveShortcut(const std::string& path, const std::string& filter, ShortcutTarget& target);

// The name of the place above the drives: "Computer".
int GetMyComputerName(std::string& name);
// The display name of a path: "" gives GetMyComputerName; a volume root
// (its drive "D:" or its mount point) gives "<label> (D:)" ("D:" alone when
// the volume has no label); any other path its file name. Returns 1.
int GetShellDisplayName(const std::string& path, std::string& name);

// The skin bitmap (relative to the application folder) that stands for the
// type of the file: "Layout\Img\Common\filetype-<kind>.bmp" with kind
// "video", "audio", "picture", "playlist" or "file".
std::string ShellIconName(std::string_view path);
// Draws the type icon of the path: stretched over the rectangle, or 48 x 48
// centred in it. 0 when the device context is missing or the bitmap cannot
// be drawn.
int DrawShellIcon(const std::string& path, plat::HDC dc, int left, int top, int right, int bottom, int stretch);

// Whole seconds as "MM:SS", or "HH:MM:SS" from an hour on.
std::string FormatDuration(double seconds);
