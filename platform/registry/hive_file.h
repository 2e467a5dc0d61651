// One hive kept in step with its file. Reads check the file's identity
// (device, inode, size, times) and reload when another process saved it.
// Changes run under an advisory lock on "<hive>.lock" as read-modify-write
// on the latest file content and are saved at once, atomically: the text goes
// to "<hive>.tmp", is flushed to disk and renamed over the hive. A hive that
// fails to parse is renamed aside to "<hive>.bad" (never overwritten) and an
// empty hive takes its place. Not thread-safe: the registry serialises calls.
#pragma once

#include <sys/types.h>

#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry/hive_text.h"
#include "platform/registry/hive_tree.h"

namespace plat::reg {

struct FileStamp {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  timespec modified{};
  timespec changed{};
  bool operator==(const FileStamp& o) const;
};

class HiveFile {
 public:
  // `roots`: the section-header roots the file may use; the first is the one
  // written.
  HiveFile(std::string path, std::vector<HiveRoot> roots);

  const std::string& path() const { return path_; }

  // Brings the tree up to date with the file; cheap when nothing changed.
  void Refresh();
  const Key& root() const { return tree_; }

  // Runs `change` on the latest content under the file lock and saves the
  // result when it differs. `change` returns an error code and leaves the
  // tree untouched when it fails. Failing to lock, read or save the hive
  // gives ERROR_ACCESS_DENIED, with a message on stderr.
  LONG Modify(const std::function<LONG(Key&)>& change);

 private:
  struct Snapshot {
    bool exists = false;
    FileStamp stamp;
    std::string text;
    std::string error;  // non-empty when the file exists but cannot be read
  };

  Snapshot Read() const;
  // Takes the content of `snap` as the tree when it parses; otherwise moves
  // the file aside (the lock must be held when `locked`). False when the file
  // could neither be parsed nor be moved aside.
  bool Adopt(const Snapshot& snap, bool locked);
  bool SetAside(const ParseError& error);
  void Forget();

  std::string path_;
  std::vector<HiveRoot> roots_;
  Key tree_;
  // The file text the tree was read from or saved as; meaningful when synced_.
  std::string text_;
  bool synced_ = false;
  // The identity last seen (nullopt: no file); meaningful when checked_.
  std::optional<FileStamp> stamp_;
  bool checked_ = false;
};

}  // namespace plat::reg
