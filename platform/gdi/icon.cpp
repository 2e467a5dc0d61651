#include "platform/gdi/icon.h"

#include <memory>
#include <mutex>
#include <unordered_map>

#include "platform/gdi/image_loader.h"

namespace plat {
namespace {

// Icons are looked up in a table so that a destroyed or made-up handle is
// refused instead of being dereferenced.
struct IconTable {
  std::mutex mutex;
  std::unordered_map<HICON, std::unique_ptr<Surface>> icons;
};

IconTable& Icons() {
  static IconTable table;
  return table;
}

}  // namespace

HICON LoadIconFile(const std::string& path) {
  std::optional<Surface> picture = gdi::DecodeImageFile(path);
  if (!picture || picture->empty()) return nullptr;
  auto owned = std::make_unique<Surface>(std::move(*picture));
  // The handle is the address of the picture: unique while the icon lives.
  HICON handle = reinterpret_cast<HICON>(owned.get());
  IconTable& table = Icons();
  std::lock_guard lock(table.mutex);
  table.icons.emplace(handle, std::move(owned));
  return handle;
}

Surface GetIconPicture(HICON icon) {
  IconTable& table = Icons();
  std::lock_guard lock(table.mutex);
  auto it = table.icons.find(icon);
  return it == table.icons.end() ? Surface() : *it->second;
}

BOOL DestroyIcon(HICON icon) {
  IconTable& table = Icons();
  std::lock_guard lock(table.mutex);
  return table.icons.erase(icon) ? TRUE : FALSE;
}

}  // namespace plat
