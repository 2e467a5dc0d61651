// The action table: action names to ids, and ids to handlers. Names compare
// exactly (case-sensitive). Handlers sit in a hash table of 17 buckets made
// on the first insertion; an id's bucket is (id >> 4) % 17.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

class CUISystem;
using ActionHandler = int (CUISystem::*)(std::intptr_t a, std::intptr_t b);

class CActionTable {
 public:
  static constexpr int kBuckets = 17;

  // Registering a name again overwrites its id; an id again, its handler.
  void Register(const std::string& name, int id, ActionHandler handler);
  void Clear();

  std::optional<int> FindId(const char* name) const;
  // Null when the id is negative, the table has no buckets or no entry.
  ActionHandler FindHandler(int id) const;

  std::size_t NameCount() const { return names_.size(); }
  std::size_t HandlerCount() const;
  std::size_t Registrations() const { return registrations_; }
  const std::map<std::string, int>& Names() const { return names_; }

 private:
  struct Entry {
    int id;
    ActionHandler handler;
  };
  std::map<std::string, int> names_;
  std::vector<std::vector<Entry>> buckets_;
  std::size_t registrations_ = 0;
};
