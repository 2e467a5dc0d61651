// Replaces a file's content so that a crash leaves either the old or the new
// content, never a torn file: the data goes to a uniquely named temporary
// file in the same folder, is flushed to disk and renamed over the target,
// then the folder is flushed so the rename itself survives a crash. Used for
// every file the program saves in place (settings, registry hives,
// bookmarks, presets, rotated pictures, thumbnails).
//
// Files written over a long time (disc images, ripped tracks) go to a
// partial file named by PartialFileName and are renamed when complete.
//
// Temporary and partial names carry the writer's process id, so that what a
// killed writer left behind is told from a save in progress: the first save
// of a process into a folder removes the leftovers of ended processes there,
// and the system clears its own folders at start the same way.
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

// Why a write failed, in words for the user: "no space left on the disk",
// "permission denied", "the disk is read-only", else the system's text.
std::string WriteFailureCause(int error);

// On failure the target is untouched and the temporary file is gone. A
// folder that cannot be flushed after the rename reports its error, though
// the new content is in place.
AtomicWriteResult WriteFileAtomically(const std::string& path, std::string_view content, mode_t mode = 0666);

// Removes the temporary files that saves of `path` left behind when they were
// killed: those in its folder named as WriteFileAtomically names them, whose
// writing process no longer runs. Files of a running process (this one
// included) are left alone. Returns how many were removed.
int RemoveStaleTemporaryFiles(const std::string& path);

// The process id in the name of a temporary file of `target`'s saves, or 0
// when `name` is not such a name.
pid_t TemporaryFileWriter(std::string_view name, std::string_view target);

// The process id in a temporary name of WriteFileAtomically or a partial
// name of PartialFileName, whatever file it stands for; 0 for other names.
pid_t LeftoverWriter(std::string_view name);

// Removes, in `folder`, every temporary and partial file whose writing
// process no longer runs. Returns how many were removed.
int RemoveStaleTemporaryFilesIn(const std::string& folder);

// As RemoveStaleTemporaryFilesIn, once per folder and process.
void RemoveStaleTemporaryFilesOnce(const std::string& folder);

// A fresh name for the partial file of `target`, in its folder:
// ".<name>.<pid>.<counter>.part". Leftovers of ended writers in that folder
// are removed on the process's first use of it.
std::string PartialFileName(const std::string& target);

}  // namespace plat
