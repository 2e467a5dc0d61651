#include "platform/gdi/gdi_object.h"

namespace plat::gdi {

ObjectTable& ObjectTable::Get() {
  static ObjectTable table;
  return table;
}

HGDIOBJ ObjectTable::FindAny(const void* handle) {
  if (!handle) return nullptr;
  std::lock_guard lock(mutex_);
  auto it = objects_.find(handle);
  return it == objects_.end() ? nullptr : it->second.object.get();
}

bool ObjectTable::Delete(const void* handle) {
  std::unique_ptr<HGDIOBJ__> doomed;  // freed after the lock is released
  {
    std::lock_guard lock(mutex_);
    auto it = objects_.find(handle);
    if (it == objects_.end()) return false;
    if (it->second.stock) return true;
    if (it->second.selections > 0) {
      it->second.delete_pending = true;
      return true;
    }
    doomed = std::move(it->second.object);
    objects_.erase(it);
  }
  return true;
}

void ObjectTable::Selected(HGDIOBJ object) {
  std::lock_guard lock(mutex_);
  auto it = objects_.find(object);
  if (it != objects_.end()) ++it->second.selections;
}

void ObjectTable::Deselected(HGDIOBJ object) {
  std::unique_ptr<HGDIOBJ__> doomed;
  {
    std::lock_guard lock(mutex_);
    auto it = objects_.find(object);
    if (it == objects_.end()) return;
    if (it->second.selections > 0) --it->second.selections;
    if (it->second.selections == 0 && it->second.delete_pending) {
      doomed = std::move(it->second.object);
      objects_.erase(it);
    }
  }
}

bool ObjectTable::IsStock(const void* handle) {
  std::lock_guard lock(mutex_);
  auto it = objects_.find(handle);
  return it != objects_.end() && it->second.stock;
}

HDC ObjectTable::AddDC(std::unique_ptr<HDC__> dc) {
  HDC raw = dc.get();
  std::lock_guard lock(mutex_);
  dcs_[raw] = std::move(dc);
  return raw;
}

HDC__* ObjectTable::FindDC(const void* handle) {
  if (!handle) return nullptr;
  std::lock_guard lock(mutex_);
  auto it = dcs_.find(handle);
  return it == dcs_.end() ? nullptr : it->second.get();
}

std::unique_ptr<HDC__> ObjectTable::RemoveDC(const void* handle) {
  std::lock_guard lock(mutex_);
  auto it = dcs_.find(handle);
  if (it == dcs_.end()) return nullptr;
  std::unique_ptr<HDC__> dc = std::move(it->second);
  dcs_.erase(it);
  return dc;
}

HDC__* FindDC(HDC hdc) { return ObjectTable::Get().FindDC(hdc); }

}  // namespace plat::gdi
