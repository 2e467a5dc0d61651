// Keeps a file that cannot be used out of the way without losing it: the file
// is renamed to the first free name of "<path>.bad", "<path>.bad.1",
// "<path>.bad.2", ..., so a file kept aside earlier is never replaced, not
// even by another process doing the same at the same moment.
#pragma once

#include <optional>
#include <string>

namespace plat {

struct KeptAside {
  std::string path;  // where the file went; empty on failure
  int error = 0;     // errno of the failure, 0 on success
  explicit operator bool() const { return error == 0; }
};

KeptAside KeepAside(const std::string& path);

}  // namespace plat
