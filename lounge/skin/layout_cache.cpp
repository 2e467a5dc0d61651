#include "lounge/skin/layout_cache.h"

#include <map>
#include <mutex>
#include <optional>
#include <utility>

#include "lounge/skin/skin_file_stamp.h"
#include "lounge/skin/skin_paths.h"

namespace {

// A skin has a few dozen pages; far more means folders come and go (tests),
// and the oldest layouts are not worth keeping.
constexpr std::size_t kMaxLayouts = 512;

struct CachedLayout {
  std::string file;
  SkinFileStamp stamp;
  std::shared_ptr<const CLayoutReader> layout;
};

class LayoutCache {
 public:
  LayoutLoad Get(const std::string& pagePath) {
    const std::filesystem::path base = SkinBaseFolder();
    std::string key = base.string();
    key += '\0';
    key += pagePath;
    std::lock_guard<std::mutex> guard(lock_);
    if (auto it = layouts_.find(key); it != layouts_.end()) {
      const std::optional<SkinFileStamp> now = StampSkinFile(it->second.file);
      if (now && *now == it->second.stamp) return LayoutLoad{it->second.layout, it->second.file, {}};
      layouts_.erase(it);
    }
    auto reader = std::make_shared<CLayoutReader>(pagePath, base);
    const std::string file = ResolveSkinPath(reader->LayoutFile());
    // Stamped after the read: a change during it shows in the next look.
    const std::optional<SkinFileStamp> stamp = StampSkinFile(file);
    if (!reader->LoadAll()) return LayoutLoad{nullptr, file, reader->LoadError()};
    reader->ReleaseDocument();
    // A layout written within the clock tick of its read may change unseen:
    // it is kept only once settled.
    if (stamp && SkinFileSettled(*stamp)) {
      if (layouts_.size() >= kMaxLayouts) layouts_.clear();
      layouts_[std::move(key)] = CachedLayout{file, *stamp, reader};
    }
    return LayoutLoad{std::move(reader), file, {}};
  }

  void Clear() {
    std::lock_guard<std::mutex> guard(lock_);
    layouts_.clear();
  }

 private:
  std::mutex lock_;
  std::map<std::string, CachedLayout> layouts_;
};

// Never destroyed: pages may still load while the program's statics go.
LayoutCache& Cache() {
  static LayoutCache* cache = new LayoutCache;
  return *cache;
}

}  // namespace

LayoutLoad SharedLayout(const std::string& pagePath) { return Cache().Get(pagePath); }

void ClearLayoutCache() { Cache().Clear(); }
