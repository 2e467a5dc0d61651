// Where the skin files lie and how their names become file-system paths.
//
// Skin files lie below the executable's folder. Page paths ("Music\Tracks")
// and file names inside skin files keep their backslash form as identifiers
// and are converted to POSIX paths here, at the file boundary. Skin files are
// found without regard to letter case, since skins mix ".BMP" and ".bmp".
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// The folder of the running executable (from /proc/self/exe).
std::filesystem::path ExecutableFolder();

// The folder below which the skin files lie: the executable's folder unless a
// test has pointed it elsewhere.
std::filesystem::path SkinBaseFolder();
// Points the skin base folder elsewhere; an empty path restores the default.
void SetSkinBaseFolder(const std::filesystem::path& folder);

// A skin-relative name with backslashes turned into slashes.
std::string SkinNameToPosix(std::string_view name);

// The folder of a page's layout: <base>/Layout/XML/<page path>.
std::string LayoutFolderOf(const std::filesystem::path& base, std::string_view pagePath);

// A file named inside a layout, taken relative to the page folder even when it
// looks absolute.
std::string JoinSkinFile(std::string_view folder, std::string_view name);

// The path as it exists on disk: each component that does not exist as
// written is matched against its folder's entries without regard to ASCII
// letter case. Returns the path unchanged when nothing matches, so that
// callers see the ordinary "file not found".
std::string ResolveSkinPath(const std::string& path);
