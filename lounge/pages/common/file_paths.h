// Path texts of the file list. Folders are POSIX paths; a path may also come
// in drive form ("D:", "D:\Movies"), which names the lettered volume's root
// (its mount point) and what lies below it.
#pragma once

#include <string>
#include <string_view>

namespace file_list {

// "D:" or "D:" followed by a slash or backslash and more.
bool IsDriveForm(const std::string& path);

// Trailing slashes (and backslashes) cut; "/" stays "/".
std::string CutTrailingSlashes(std::string path);

// A drive-form path turned into the volume's root followed by the rest with
// slashes; any other path, or a drive without a volume or medium, unchanged.
std::string ResolveDrivePath(const std::string& path);

// Drive form resolved, "." and ".." folded and trailing slashes cut, so that
// "/media/x/", "/media/x/sub/.." and "/media/x" compare equal.
std::string NormaliseFolder(const std::string& path);

// True when the folder is "/" or the root of a lettered volume.
bool IsVolumeRoot(const std::string& folder);

// The last component of the path (after the last slash or backslash).
std::string_view FileNamePart(std::string_view path);

// The containing folder of a normalised path ("/a/b" gives "/a", "/a" gives "/").
std::string ParentFolder(const std::string& path);

// The application folder (where the skin lies: the executable's folder, or
// the one a test set), ending in a slash.
std::string ApplicationFolder();
// A skin file given relative to the application folder with backslashes
// ("Layout\Img\Common\sub-files.bmp") as a path on disk.
std::string ApplicationFile(std::string_view relative);

// folder + "/" + name, without doubling the slash after "/".
std::string JoinPath(const std::string& folder, std::string_view name);

}  // namespace file_list
