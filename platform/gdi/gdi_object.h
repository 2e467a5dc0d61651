// The objects behind drawing handles and the table that owns them. Every
// handle given out is registered here, so a handle that was never created or
// has been freed is recognised and refused instead of dereferenced.
//
// Internal to the drawing layer; other code goes through the public calls.
#pragma once

#include <memory>
#include <mutex>
#include <unordered_map>

#include "platform/gdi/dc_object.h"
#include "platform/gdi/gdi_types.h"
#include "platform/gdi/region.h"
#include "platform/gdi/surface.h"

namespace plat::gdi {

class FontInstance;

struct BitmapObject final : HBITMAP__ {
  SurfacePtr surface;
  bool dib_section = false;  // created as a DIB section: bits reachable by pointer
};

struct BrushObject final : HBRUSH__ {
  UINT style = BS_SOLID;
  COLORREF color = 0;
};

struct PenObject final : HPEN__ {
  UINT style = PS_SOLID;
  int width = 1;
  COLORREF color = 0;
};

struct FontObject final : HFONT__ {
  LOGFONTA logfont;  // as given (face name in UTF-8)
  std::shared_ptr<FontInstance> instance;
};

struct RegionObject final : HRGN__ {
  Region region;
};

// Owns every live object and device context. Lookups are by address and
// never dereference an unknown handle.
class ObjectTable {
 public:
  static ObjectTable& Get();

  template <class T>
  T* Add(std::unique_ptr<T> object, bool stock = false) {
    T* raw = object.get();
    std::lock_guard lock(mutex_);
    objects_[raw] = Entry{std::move(object), 0, false, stock};
    return raw;
  }

  // The object if `handle` is a live object of type T, else null.
  template <class T>
  T* Find(const void* handle) {
    if (!handle) return nullptr;
    std::lock_guard lock(mutex_);
    auto it = objects_.find(handle);
    if (it == objects_.end()) return nullptr;
    return dynamic_cast<T*>(it->second.object.get());
  }
  HGDIOBJ FindAny(const void* handle);

  // Deletes at once when not selected anywhere; otherwise marks the object
  // to be freed when its last selection ends. Stock objects are kept.
  bool Delete(const void* handle);
  void Selected(HGDIOBJ object);
  void Deselected(HGDIOBJ object);
  bool IsStock(const void* handle);

  HDC AddDC(std::unique_ptr<HDC__> dc);
  HDC__* FindDC(const void* handle);
  std::unique_ptr<HDC__> RemoveDC(const void* handle);

 private:
  struct Entry {
    std::unique_ptr<HGDIOBJ__> object;
    int selections = 0;
    bool delete_pending = false;
    bool stock = false;
  };
  std::mutex mutex_;
  std::unordered_map<const void*, Entry> objects_;
  std::unordered_map<const void*, std::unique_ptr<HDC__>> dcs_;
};

template <class T>
T* Find(const void* handle) {
  return ObjectTable::Get().Find<T>(handle);
}

}  // namespace plat::gdi
