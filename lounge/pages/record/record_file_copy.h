// One-file copy for the record page's copy worker: the source is read and
// the target written in chunks, a progress routine sees every chunk, a cancel
// flag stops the copy between chunks, and the target must not exist yet (it
// is created exclusively, so nothing the user already has is overwritten).
// A copy that is cancelled or fails removes what it wrote: no partial file
// is ever left behind. Symbolic links are never followed, neither at the
// source nor at the target.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

// Called after the copy opened both files (copied 0) and after each chunk
// written: the source's size in bytes and the bytes written so far.
using FileCopyProgress = std::function<void(std::uint64_t total, std::uint64_t copied)>;

enum class FileCopyResult {
  kCopied,
  kCancelled,
  kFailed,
};

struct FileCopyOutcome {
  FileCopyResult result = FileCopyResult::kFailed;
  int error = 0;  // errno of the step that failed (kFailed only)
};

// Bytes moved per read and write; the cancel flag is looked at between them.
inline constexpr std::size_t kFileCopyChunkBytes = 256 * 1024;

// Copies `source` (a regular file) to `target`, which must not exist. The
// target gets the source's modification time. `cancel` non-zero stops the copy.
FileCopyOutcome CopyFileWithProgress(const std::string& source, const std::string& target,
                                     const FileCopyProgress& progress, const std::atomic<int>& cancel);

// A byte count in KiB as the record page keeps sizes: bytes / 1024, held in
// 32 bits (larger counts wrap, as the stored format always did).
std::int32_t SizeInKiB(std::uint64_t bytes);

// Whether a file passes an extension filter such as "|.jpg|.jpeg|": the file
// name's lower-case extension (from its last dot, dot included), framed by
// '|', occurs in the filter. An empty filter passes every file.
bool PassesExtensionFilter(const std::string& fileName, const std::string& filter);
