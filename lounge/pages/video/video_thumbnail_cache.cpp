#include "lounge/pages/video/video_thumbnail_cache.h"

#include <sys/stat.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "lounge/pages/video/video_lists.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/png_codec.h"
#include "platform/sys/atomic_file.h"

namespace fs = std::filesystem;

namespace {

std::string Hex64(std::string_view text) {
  std::uint64_t hash = 1469598103934665603ull;  // FNV-1a
  for (unsigned char c : text) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  char out[17];
  std::snprintf(out, sizeof out, "%016llx", static_cast<unsigned long long>(hash));
  return out;
}

// The entry names of a file: "<hash of its name>-" is the prefix every entry
// of that name shares; the full name adds the time and size it was made for.
struct EntryNames {
  std::string folder;
  std::string prefix;
  std::string current;  // empty when the file is not there
};

EntryNames NamesOf(const std::string& root, const std::string& path) {
  EntryNames names;
  names.folder = root + "/" + Hex64(video_lists::GetFolderOfPath(path));
  names.prefix = Hex64(video_lists::GetFileNameOfPath(path)) + "-";
  struct stat st {};
  if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
    const long long ns = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    names.current = names.prefix + std::to_string(ns) + "-" + std::to_string(static_cast<long long>(st.st_size)) +
                    ".png";
  }
  return names;
}

void RemoveEntries(const EntryNames& names, const std::string& keep) {
  std::error_code ec;
  for (fs::directory_iterator it(names.folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.rfind(names.prefix, 0) == 0 && name != keep) fs::remove(it->path(), ec);
  }
}

}  // namespace

CVideoThumbnailCache::CVideoThumbnailCache(std::string root) : m_root(root.empty() ? DefaultRoot() : std::move(root)) {}

std::string CVideoThumbnailCache::DefaultRoot() {
  std::string base;
  if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && *xdg == '/') {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = std::string(home) + "/.cache";
  } else {
    base = "/tmp";
  }
  return base + "/Marivel/VideoThumbnails";
}

plat::HBITMAP CVideoThumbnailCache::Read(const std::string& path) const {
  const EntryNames names = NamesOf(m_root, path);
  if (names.current.empty()) return nullptr;
  std::ifstream in(names.folder + "/" + names.current, std::ios::binary);
  if (!in) return nullptr;
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
  std::optional<plat::Surface> surface = plat::gdi::DecodePng(bytes);
  if (!surface || surface->width() <= 0 || surface->height() <= 0) return nullptr;
  return plat::CreateBitmapFromSurface(std::make_shared<plat::Surface>(std::move(*surface)), true);
}

bool CVideoThumbnailCache::IsUsable(plat::HBITMAP bitmap) {
  const plat::SurfacePtr surface = plat::GetBitmapSurface(bitmap);
  if (!surface) return true;
  return surface->width() > 96 || surface->height() > 96;
}

void CVideoThumbnailCache::Delete(const std::string& path) const { RemoveEntries(NamesOf(m_root, path), {}); }

void CVideoThumbnailCache::Store(const std::string& path, plat::HBITMAP bitmap) const {
  const EntryNames names = NamesOf(m_root, path);
  const plat::SurfacePtr surface = plat::GetBitmapSurface(bitmap);
  if (names.current.empty() || !surface) return;
  const std::vector<std::uint8_t> png = plat::gdi::EncodePng(*surface, false);
  if (png.empty()) return;
  std::error_code ec;
  fs::create_directories(names.folder, ec);
  if (ec) {
    ReportStoreFailure("cannot make \"" + names.folder + "\": " + plat::WriteFailureCause(ec.value()));
    return;
  }
  RemoveEntries(names, names.current);
  const plat::AtomicWriteResult saved = plat::WriteFileAtomically(
      names.folder + "/" + names.current, std::string_view(reinterpret_cast<const char*>(png.data()), png.size()));
  if (!saved) ReportStoreFailure(saved.what);
}

void CVideoThumbnailCache::ReportStoreFailure(const std::string& what) {
  // A full or read-only disk fails every thumbnail alike: said once.
  static std::atomic<bool> reported{false};
  if (reported.exchange(true)) return;
  std::fprintf(stderr, "video thumbnails: %s\n", what.c_str());
}
