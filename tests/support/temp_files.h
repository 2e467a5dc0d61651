// Whether an atomic save left a temporary file behind in the saved file's
// folder.
#pragma once

#include <filesystem>
#include <string>

inline bool HasTemporaryFileBeside(const std::string& savedFile) {
  const std::filesystem::path folder = std::filesystem::path(savedFile).parent_path();
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder.empty() ? "." : folder, ec)) {
    if (entry.path().extension() == ".tmp") return true;
  }
  return false;
}
