#include "engines/capture/dvgrab/burner_library.h"

#include <dlfcn.h>
#include <sys/stat.h>

namespace dvgrab {

BurnerLibrary::~BurnerLibrary() { Unload(); }

int BurnerLibrary::Load(const std::string& folder, const std::string& name) {
  std::string base = folder;
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  const std::string path = base + "/" + name;
  if (m_handle && path == m_path) return 0;
  if (m_handle) Unload();
  // The library is loaded by its full path; the process's working folder is
  // left alone. A folder that is not there is the old "cannot change folder".
  struct stat st {};
  if (stat(base.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return scorch::kErrChangeFolder;
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) return scorch::kErrLoad;
  auto errText = reinterpret_cast<scorch::BMGetErrTextFn>(dlsym(handle, "BMGetErrText"));
  auto create = reinterpret_cast<scorch::CreateDiscWriterInstanceFn>(dlsym(handle, "CreateDiscWriterInstance"));
  if (!errText || !create) {
    dlclose(handle);
    return scorch::kErrEntry;
  }
  scorch::IDiscWriter* writer = nullptr;
  const int rc = create(&writer);
  if (rc != 0 || !writer) {
    dlclose(handle);
    return rc != 0 ? rc : scorch::kErrLoad;
  }
  m_handle = handle;
  m_writer = writer;
  m_errText = errText;
  m_path = path;
  return 0;
}

int BurnerLibrary::Unload() {
  if (!m_handle) return 0;
  int rc = 0;
  auto destroy = reinterpret_cast<scorch::DestroyDiscWriterInstanceFn>(dlsym(m_handle, "DestroyDiscWriterInstance"));
  if (!destroy) {
    rc = scorch::kErrEntry;
  } else if (m_writer) {
    destroy(m_writer);
  }
  m_writer = nullptr;
  m_errText = nullptr;
  if (dlclose(m_handle) != 0 && rc == 0) rc = scorch::kErrFree;
  m_handle = nullptr;
  m_path.clear();
  return rc;
}

}  // namespace dvgrab
