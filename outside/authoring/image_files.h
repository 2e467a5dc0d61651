// A virtual writer's image files: written beside their final name under a
// temporary name and renamed when complete, so a reader never sees half a
// disc and a failed write leaves the previous image as it was.
#pragma once

#include <string>

namespace authoring {

class PendingImage {
 public:
  explicit PendingImage(std::string target);
  ~PendingImage();  // removes the temporary file unless committed
  PendingImage(const PendingImage&) = delete;
  PendingImage& operator=(const PendingImage&) = delete;

  bool ok() const { return !path_.empty(); }
  const std::string& path() const { return path_; }
  // Flushes the temporary file to disk and renames it to the target.
  bool Commit();

 private:
  std::string target_;
  std::string path_;
  bool committed_ = false;
};

// The BIN and CUE files of a CUE/BIN image written to a writer's path: a
// ".cue" path keeps the sheet and puts the data beside it as ".bin"; any
// other path takes the data, with the sheet beside it as ".cue".
struct CueBinPaths {
  std::string bin;
  std::string cue;
};
CueBinPaths CueBinFor(const std::string& writerPath);

// Whether two files hold the same bytes.
bool SameBytes(const std::string& a, const std::string& b);

}  // namespace authoring
