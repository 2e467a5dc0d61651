// The folder thumbnail cache of the Video page: one folder per video folder
// under $XDG_CACHE_HOME/Marivel/VideoThumbnails/<hash of the folder path>/,
// one PNG per video keyed by its file name, last-write time (ns) and size,
// so that a changed file misses. Files are written atomically. Every error
// (an unwritable cache, a damaged entry) counts as "not cached".
#pragma once

#include <string>

#include "platform/core/types.h"

class CVideoThumbnailCache {
 public:
  // `root` empty: the default location above.
  explicit CVideoThumbnailCache(std::string root = {});

  const std::string& Root() const { return m_root; }

  // A new bitmap of the cached picture of the file as it is now, or null.
  plat::HBITMAP Read(const std::string& path) const;
  // Removes every entry of the file's name.
  void Delete(const std::string& path) const;
  // Stores the bitmap's picture for the file as it is now, replacing older
  // entries of its name. Nothing happens when the file is gone.
  void Store(const std::string& path, plat::HBITMAP bitmap) const;

  // Whether a cached picture may be shown: one larger than 96 pixels in
  // either direction (or of unreadable size) is kept; a smaller one is an
  // icon-sized leftover to be made again.
  static bool IsUsable(plat::HBITMAP bitmap);

  // The default root: $XDG_CACHE_HOME (or ~/.cache) + "/Marivel/VideoThumbnails".
  static std::string DefaultRoot();

 private:
  // Tells the first failed store of the process, with its cause.
  static void ReportStoreFailure(const std::string& what);

  std::string m_root;
};
