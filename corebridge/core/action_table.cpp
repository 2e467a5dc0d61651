#include "corebridge/core/action_table.h"

void CActionTable::Register(const std::string& name, int id, ActionHandler handler) {
  ++registrations_;
  names_[name] = id;
  if (buckets_.empty()) buckets_.resize(kBuckets);
  auto& bucket = buckets_[static_cast<unsigned>(id >> 4) % kBuckets];
  for (auto& entry : bucket) {
    if (entry.id == id) {
      entry.handler = handler;
      return;
    }
  }
  bucket.push_back({id, handler});
}

void CActionTable::Clear() {
  names_.clear();
  buckets_.clear();
  registrations_ = 0;
}

std::optional<int> CActionTable::FindId(const char* name) const {
  if (!name) return std::nullopt;
  const auto it = names_.find(name);
  if (it == names_.end()) return std::nullopt;
  return it->second;
}

ActionHandler CActionTable::FindHandler(int id) const {
  if (id < 0 || buckets_.empty()) return nullptr;
  for (const auto& entry : buckets_[static_cast<unsigned>(id >> 4) % kBuckets]) {
    if (entry.id == id) return entry.handler;
  }
  return nullptr;
}

std::size_t CActionTable::HandlerCount() const {
  std::size_t n = 0;
  for (const auto& bucket : buckets_) n += bucket.size();
  return n;
}
