// The Video page's list helpers: the burn and edit selection, the first
// videos of a folder for its preview, and the path texts the page and the
// thumbnail worker draw. Pure functions on the UI thread.
#pragma once

#include <array>
#include <locale>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/types.h"

namespace video_lists {

// How many videos a folder preview shows.
inline constexpr std::size_t kFolderPreviewCount = 9;

// True when `selected` holds `path` (exact comparison).
bool IsSelectedVideo(const std::vector<std::string>& selected, const std::string& path);
// Removes the first entry equal to `path` and returns false, or appends the
// path and returns true.
bool ToggleSelectedVideo(std::vector<std::string>& selected, const std::string& path);

// True when the extension of `name`, lower-cased, is one of the video
// extensions (".mpg", ".avi", ".wmv", ...).
bool HasVideoExtension(std::string_view name);

// Up to nine names of video files in `folder`, in the order the folder lists
// them. Folders, hidden names (a leading "."), links and anything that is not
// a regular file are passed over.
std::vector<std::string> CollectFolderVideos(const std::string& folder);

// The folder part of a path: "/a/b/c.avi" gives "/a/b", "/c.avi" gives "/",
// "D:\c.avi" gives "D:\"; a path without a separator gives "".
std::string GetFolderOfPath(std::string_view path);
// The name with its extension.
std::string GetFileNameOfPath(std::string_view path);
// The name without its extension.
std::string GetFileTitleOfPath(std::string_view path);
// The file's last-write date (date only) in the conventions of `locale`, or
// "" when the file is not found.
std::string GetFileDateText(const std::string& path, const std::locale& locale);

// The four preview cells of a folder picture `rect` (width W, height H)
// with the given top, bottom and side margins: the area inside is split at
// its middles, each cell keeping W/40 from the sides and the middle and H/40
// from the top, the middle and the bottom (the lower row starts 2 x H/40
// below the middle). Order: top left, top right, bottom left, bottom right.
std::array<plat::RECT, 4> FolderPreviewCells(const plat::RECT& rect, int top, int bottom, int side);

// Cell (column, row) of the 3 x 3 grid of the edit page in a still image
// `rect`: a third of the width and height each, W/60 and H/60 in from the
// cell's edges.
plat::RECT HighlightGridCell(const plat::RECT& rect, int column, int row);

}  // namespace video_lists
