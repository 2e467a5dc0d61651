// A job's own folder inside the work folder, removed with everything in it
// when the job ends, whatever the outcome.
#pragma once

#include <cstdint>
#include <string>

namespace authoring {

class JobFolder {
 public:
  explicit JobFolder(const std::string& workFolder);
  ~JobFolder();
  JobFolder(const JobFolder&) = delete;
  JobFolder& operator=(const JobFolder&) = delete;

  bool ok() const { return !path_.empty(); }
  const std::string& path() const { return path_; }
  // Free bytes on the file system of the folder; -1 when unknown.
  std::int64_t FreeBytes() const;

 private:
  std::string path_;
};

}  // namespace authoring
