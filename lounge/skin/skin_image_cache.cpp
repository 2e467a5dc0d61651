#include "lounge/skin/skin_image_cache.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <mutex>
#include <system_error>
#include <unordered_map>

#include "lounge/skin/skin_file_stamp.h"
#include "lounge/skin/skin_paths.h"
#include "lounge/skin/skin_report.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/bmp_codec.h"
#include "platform/gdi/bmp_stretch.h"
#include "platform/gdi/image_loader.h"
#include "platform/gdi/objects.h"

namespace {

struct CachedImage {
  std::string file;  // the path as found on disk
  SkinFileStamp stamp;
  plat::SurfacePtr pixels;
  std::size_t bytes = 0;
  std::uint64_t used = 0;
};

class ImageCache {
 public:
  plat::SurfacePtr Get(const std::string& name) {
    if (name.empty()) return nullptr;
    // Pages name shared images through their own folders ("../../Img/..."):
    // one entry per file, whatever the way to it.
    const std::string path = std::filesystem::path(name).lexically_normal().string();
    std::lock_guard<std::mutex> guard(lock_);
    ++clock_;
    if (auto it = images_.find(path); it != images_.end()) {
      CachedImage& cached = it->second;
      const std::optional<SkinFileStamp> now = StampSkinFile(cached.file);
      if (now && *now == cached.stamp) {
        cached.used = clock_;
        return cached.pixels;
      }
      Forget(it);
    }
    return Decode(path);
  }

  bool Holds(const std::string& path) {
    std::lock_guard<std::mutex> guard(lock_);
    return images_.count(path) != 0;
  }

  std::size_t Bytes() {
    std::lock_guard<std::mutex> guard(lock_);
    return bytes_;
  }

  void Clear() {
    std::lock_guard<std::mutex> guard(lock_);
    images_.clear();
    bytes_ = 0;
  }

 private:
  using Map = std::unordered_map<std::string, CachedImage>;

  void Forget(Map::iterator it) {
    bytes_ -= it->second.bytes;
    images_.erase(it);
  }

  plat::SurfacePtr Decode(const std::string& path) {
    const std::string file = ResolveSkinPath(path);
    // A missing file is not handed to the decoder at all.
    std::error_code ec;
    const auto status = std::filesystem::status(file, ec);
    if (ec || !std::filesystem::is_regular_file(status)) {
      ReportSkinProblem("image", file, ec ? ec.message() : "not a regular file");
      return nullptr;
    }
    const std::optional<SkinFileStamp> stamp = StampSkinFile(file);
    const plat::HBITMAP bitmap = plat::LoadImageBitmap(file, 0, 0, plat::LR_LOADFROMFILE | plat::LR_CREATEDIBSECTION);
    plat::SurfacePtr pixels = bitmap ? plat::GetBitmapSurface(bitmap) : nullptr;
    if (bitmap) plat::DeleteObject(bitmap);
    if (!pixels) {
      ReportSkinProblem("image", file, "cannot be read as a picture");
      return nullptr;
    }
    const std::size_t bytes = static_cast<std::size_t>(pixels->width()) * static_cast<std::size_t>(pixels->height()) * 4;
    if (!stamp || bytes > kSkinImageCacheLargestBytes) return pixels;
    // A file changed while it was read, or so recently that a change within
    // the same clock tick would not show, is decoded again next time.
    if (const std::optional<SkinFileStamp> after = StampSkinFile(file); !after || !(*after == *stamp)) return pixels;
    if (!SkinFileSettled(*stamp)) return pixels;
    while (bytes_ + bytes > kSkinImageCacheBytes && !images_.empty()) {
      auto oldest = images_.begin();
      for (auto it = images_.begin(); it != images_.end(); ++it)
        if (it->second.used < oldest->second.used) oldest = it;
      Forget(oldest);
    }
    images_[path] = CachedImage{file, *stamp, pixels, bytes, clock_};
    bytes_ += bytes;
    return pixels;
  }

  std::mutex lock_;
  Map images_;
  std::size_t bytes_ = 0;
  std::uint64_t clock_ = 0;
};

// A file mapped for reading, unmapped when it goes.
class MappedFile {
 public:
  explicit MappedFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
      void* data = ::mmap(nullptr, static_cast<std::size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
      if (data != MAP_FAILED) {
        data_ = static_cast<const std::uint8_t*>(data);
        size_ = static_cast<std::size_t>(info.st_size);
      }
    }
    ::close(fd);
  }
  ~MappedFile() {
    if (data_) ::munmap(const_cast<std::uint8_t*>(data_), size_);
  }
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;
  std::span<const std::uint8_t> bytes() const { return {data_, size_}; }

 private:
  const std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
};

// Never destroyed: pages may still draw while the program's statics go.
ImageCache& Cache() {
  static ImageCache* cache = new ImageCache;
  return *cache;
}

}  // namespace

plat::SurfacePtr SharedSkinImage(const std::string& path) { return Cache().Get(path); }

bool DrawLargeSkinBitmap(const std::string& path, plat::HDC dc, const plat::RECT& rect) {
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (path.empty() || width <= 0 || height <= 0) return false;
  const std::string normal = std::filesystem::path(path).lexically_normal().string();
  if (Cache().Holds(normal)) return false;
  const MappedFile file(ResolveSkinPath(normal));
  const std::optional<plat::SIZE> size = plat::gdi::BmpFileSize(file.bytes());
  if (!size) return false;
  const std::size_t bytes = static_cast<std::size_t>(size->cx) * static_cast<std::size_t>(size->cy) * 4;
  if (bytes <= kSkinImageCacheLargestBytes) return false;
  return plat::gdi::StretchBmpFile(dc, rect.left, rect.top, width, height, file.bytes());
}

std::size_t SkinImageCacheBytes() { return Cache().Bytes(); }

void ClearSkinImageCache() { Cache().Clear(); }
