#include "lounge/pages/video/video_thumbnail_filing.h"

#include <algorithm>

#include "platform/gdi/objects.h"

namespace {

void Free(plat::HBITMAP& bitmap) {
  if (bitmap) plat::DeleteObject(bitmap);
  bitmap = nullptr;
}

}  // namespace

void FreeFolderPreviews(std::vector<VideoFolderPreview>& previews) {
  for (auto& record : previews) {
    for (auto& bitmap : record.bitmaps) Free(bitmap);
  }
  previews.clear();
}

void FreeThumbnails(std::vector<plat::HBITMAP>& thumbnails) {
  for (auto& bitmap : thumbnails) Free(bitmap);
  thumbnails.clear();
}

void PutThumbnail(std::vector<plat::HBITMAP>& thumbnails, std::size_t index, plat::HBITMAP bitmap) {
  if (index >= thumbnails.size()) thumbnails.resize(index + 1, nullptr);
  if (thumbnails[index] != bitmap) Free(thumbnails[index]);
  thumbnails[index] = bitmap;
}

std::vector<FiledThumbnail> FileThumbnails(std::vector<VideoThumbnailRequest> done,
                                           const std::vector<std::string>& list,
                                           std::vector<plat::HBITMAP>& thumbnails,
                                           std::vector<VideoFolderPreview>& previews) {
  std::vector<FiledThumbnail> filed;
  for (auto& request : done) {
    if (!request.bitmap) continue;
    if (request.kind == 1) {
      const auto found = std::find(list.begin(), list.end(), request.path);
      if (found == list.end()) {
        Free(request.bitmap);
        continue;
      }
      const auto index = static_cast<std::size_t>(found - list.begin());
      PutThumbnail(thumbnails, index, request.bitmap);
      filed.push_back({request.entry, 1, static_cast<int>(index), request.path, request.bitmap});
      continue;
    }
    // A folder preview: the record named by the request when it still holds
    // the path there, else whichever record and slot hold it now.
    int where = -1;
    const int record = request.index / 9;
    const int slot = request.index % 9;
    if (request.index >= 0 && record < static_cast<int>(previews.size()) &&
        previews[record].paths[slot] == request.path) {
      where = request.index;
    }
    for (int r = 0; where < 0 && r < static_cast<int>(previews.size()); ++r) {
      for (int s = 0; s < 9; ++s) {
        if (previews[r].paths[s] == request.path) {
          where = r * 9 + s;
          break;
        }
      }
    }
    if (where < 0) {
      Free(request.bitmap);
      continue;
    }
    plat::HBITMAP& target = previews[where / 9].bitmaps[where % 9];
    if (target != request.bitmap) Free(target);
    target = request.bitmap;
    filed.push_back({request.entry, 0, where, request.path, request.bitmap});
  }
  return filed;
}
