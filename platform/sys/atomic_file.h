// Replaces a file's content so that a crash leaves either the old or the new
// content, never a torn file: the data goes to a uniquely named temporary
// file in the same folder, is flushed to disk and renamed over the target,
// then the folder is flushed so the rename itself survives a crash. Used for
// every file the program saves in place (settings, registry hives,
// bookmarks).
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

namespace plat {

struct AtomicWriteResult {
  int error = 0;      // 0 on success, else the errno of the failed step
  std::string what;   // the failed step and path, for messages; empty on success
  explicit operator bool() const { return error == 0; }
};

// On failure the target is untouched and the temporary file is gone. A
// folder that cannot be flushed after the rename reports its error, though
// the new content is in place.
AtomicWriteResult WriteFileAtomically(const std::string& path, std::string_view content, mode_t mode = 0666);

}  // namespace plat
