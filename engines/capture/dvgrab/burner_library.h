// The burning library holder: loads libscorchmgr.so by full path from a
// folder, takes its entry points and creates the disc-writer instance.
// Results are 0 or the holder's codes (scorch::kErr...).
#pragma once

#include <string>

#include "interfaces/scorchmgr.h"

namespace dvgrab {

class BurnerLibrary {
 public:
  BurnerLibrary() = default;
  ~BurnerLibrary();
  BurnerLibrary(const BurnerLibrary&) = delete;
  BurnerLibrary& operator=(const BurnerLibrary&) = delete;

  // Loads `name` from `folder`; the same library loaded again is kept.
  int Load(const std::string& folder, const std::string& name = scorch::kLibraryName);
  int Unload();

  bool loaded() const { return m_handle != nullptr && m_writer != nullptr; }
  scorch::IDiscWriter* writer() const { return m_writer; }
  scorch::BMGetErrTextFn errText() const { return m_errText; }

 private:
  void* m_handle = nullptr;
  scorch::IDiscWriter* m_writer = nullptr;
  scorch::BMGetErrTextFn m_errText = nullptr;
  std::string m_path;
};

}  // namespace dvgrab
