// Where finished thumbnails go on the UI thread. A result is filed by its
// path, looked up in the current list or folder record, never by the index
// it was requested with: a sort or a new folder between request and result
// would otherwise put the picture on the wrong video. Results with no place
// any more are freed.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "lounge/pages/video/video_thumbnail_worker.h"
#include "platform/core/types.h"

// The preview of one folder of the grid: up to nine of its videos.
struct VideoFolderPreview {
  std::string folder;
  std::array<plat::HBITMAP, 9> bitmaps{};  // owned; freed by FreeFolderPreviews
  bool scanned = false;
  std::array<std::string, 9> paths;
};

void FreeFolderPreviews(std::vector<VideoFolderPreview>& previews);
// Frees every bitmap of the list and empties it.
void FreeThumbnails(std::vector<plat::HBITMAP>& thumbnails);

// Puts `bitmap` at `index`, growing the array with nulls; a bitmap already
// there is freed.
void PutThumbnail(std::vector<plat::HBITMAP>& thumbnails, std::size_t index, plat::HBITMAP bitmap);

struct FiledThumbnail {
  int entry = 0;
  int kind = 1;
  int index = 0;  // where it went now: list index, or record * 9 + slot
  std::string path;
  plat::HBITMAP bitmap = nullptr;  // now owned by the list or record
};

// Files done requests: kind 1 into `thumbnails` at the path's index in
// `list`, kind 0 into the record and slot that hold the path. Requests
// without bitmap or without a place are dropped (their bitmaps freed).
std::vector<FiledThumbnail> FileThumbnails(std::vector<VideoThumbnailRequest> done,
                                           const std::vector<std::string>& list,
                                           std::vector<plat::HBITMAP>& thumbnails,
                                           std::vector<VideoFolderPreview>& previews);
