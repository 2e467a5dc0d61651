#include "platform/com/runtime.h"

#include <dlfcn.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <system_error>
#include <vector>

#include "platform/com/module_path.h"
#include "platform/com/registry_keys.h"
#include "platform/com/server.h"
#include "platform/sys/module_release.h"

namespace plat {
namespace {
namespace fs = std::filesystem;

thread_local int threadInitCount = 0;
thread_local std::string lastErrorDetail;
std::atomic<int> initialisedThreads{0};

struct LoadedLibrary {
  void* handle = nullptr;
  DllGetClassObjectFn getClassObject = nullptr;
  DllCanUnloadNowFn canUnloadNow = nullptr;  // without it the library stays loaded
  int callsInFlight = 0;                     // pinned while a call into it is running
};

// Libraries by canonical path. Recursive: loading a library runs its static
// initialisers, which may themselves create objects.
struct LibraryTable {
  std::recursive_mutex mutex;
  std::map<std::string, LoadedLibrary> libraries;
};

LibraryTable& Libraries() {
  // Never destroyed: server libraries' static destructors may still call in at exit.
  static LibraryTable* table = new LibraryTable;
  return *table;
}

HRESULT Fail(HRESULT hr, std::string detail) {
  lastErrorDetail = std::move(detail);
  return hr;
}

std::string ResolveLibraryPath(const std::string& registered) {
  const fs::path path(registered);
  if (path.is_absolute()) return registered;
  std::error_code error;
  const fs::path beside = fs::path(com_detail::ExecutableDirectory()) / path;
  if (fs::exists(beside, error)) return beside.string();
  // Tests run from their own folder; the built servers lie in the bin folder.
  if (const char* binDir = std::getenv("MARIVEL_BIN_DIR"); binDir && *binDir) {
    const fs::path inBin = fs::path(binDir) / path;
    if (fs::exists(inBin, error)) return inBin.string();
  }
  return beside.string();
}

// Finds or loads the library and pins it; the caller unpins it.
HRESULT PinLibrary(const std::string& path, LoadedLibrary** pinned) {
  LibraryTable& table = Libraries();
  std::lock_guard lock(table.mutex);
  auto found = table.libraries.find(path);
  if (found == table.libraries.end()) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
      const char* message = dlerror();
      return Fail(CO_E_ERRORINDLL, "cannot load " + path + ": " + (message ? message : "unknown error"));
    }
    auto getClassObject = reinterpret_cast<DllGetClassObjectFn>(dlsym(handle, "DllGetClassObject"));
    if (!getClassObject) {
      dlclose(handle);
      return Fail(CO_E_ERRORINDLL, path + " does not export DllGetClassObject");
    }
    LoadedLibrary library;
    library.handle = handle;
    library.getClassObject = getClassObject;
    library.canUnloadNow = reinterpret_cast<DllCanUnloadNowFn>(dlsym(handle, "DllCanUnloadNow"));
    found = table.libraries.emplace(path, library).first;
  }
  ++found->second.callsInFlight;
  *pinned = &found->second;
  return S_OK;
}

void UnpinLibrary(LoadedLibrary* library) {
  std::lock_guard lock(Libraries().mutex);
  --library->callsInFlight;
}

}  // namespace

HRESULT CoInitialize(void* reserved) { return CoInitializeEx(reserved, COINIT_APARTMENTTHREADED); }

HRESULT CoInitializeEx(void*, DWORD) {
  if (threadInitCount++ > 0) return S_FALSE;
  initialisedThreads.fetch_add(1);
  return S_OK;
}

void CoUninitialize() {
  if (threadInitCount == 0) return;  // unbalanced call: nothing to undo
  if (--threadInitCount > 0) return;
  if (initialisedThreads.fetch_sub(1) == 1) CoFreeUnusedLibraries();
}

HRESULT QueryInprocServer(REFCLSID clsid, InprocServerInfo* info) {
  if (!info) return E_POINTER;
  *info = {};
  com_detail::RegKey key;
  if (key.Open(HKEY_CLASSES_ROOT, "CLSID\\" + GuidToString(clsid) + "\\InprocServer32") != ERROR_SUCCESS) {
    return REGDB_E_CLASSNOTREG;
  }
  const auto path = key.QueryString("");
  if (!path || path->empty()) return REGDB_E_CLASSNOTREG;
  info->path = *path;
  info->resolvedPath = ResolveLibraryPath(*path);
  info->threadingModel = key.QueryString("ThreadingModel").value_or("");
  return S_OK;
}

HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void*, REFIID iid, void** out) {
  lastErrorDetail.clear();
  if (!out) return E_POINTER;
  *out = nullptr;
  if (threadInitCount == 0) return Fail(CO_E_NOTINITIALIZED, "CoInitialize was not called on this thread");
  const std::string classText = GuidToString(clsid);
  if (!(context & CLSCTX_INPROC_SERVER)) {
    return Fail(REGDB_E_CLASSNOTREG, "class " + classText + ": only in-process servers exist");
  }
  InprocServerInfo info;
  if (FAILED(QueryInprocServer(clsid, &info))) {
    return Fail(REGDB_E_CLASSNOTREG, "class " + classText + " is not registered");
  }
  std::error_code error;
  const fs::path canonical = fs::canonical(info.resolvedPath, error);
  if (error) {
    return Fail(CO_E_DLLNOTFOUND, "class " + classText + ": library " + info.resolvedPath + " not found");
  }
  LoadedLibrary* library = nullptr;
  HRESULT hr = PinLibrary(canonical.string(), &library);
  if (FAILED(hr)) return hr;
  hr = library->getClassObject(clsid, iid, out);
  UnpinLibrary(library);
  if (FAILED(hr)) {
    *out = nullptr;
    return Fail(hr, "class " + classText + ": DllGetClassObject of " + canonical.string() + " returned " +
                        HResultText(hr));
  }
  if (!*out) {
    return Fail(E_UNEXPECTED, "class " + classText + ": DllGetClassObject of " + canonical.string() +
                                  " reported success without an object");
  }
  return hr;
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  IClassFactory* factory = nullptr;
  HRESULT hr = CoGetClassObject(clsid, context, nullptr, IID_IClassFactory, reinterpret_cast<void**>(&factory));
  if (FAILED(hr)) return hr;
  hr = factory->CreateInstance(outer, iid, out);
  factory->Release();
  if (FAILED(hr)) {
    *out = nullptr;
    return Fail(hr, "class " + GuidToString(clsid) + ": CreateInstance returned " + HResultText(hr));
  }
  if (!*out) return Fail(E_UNEXPECTED, "class " + GuidToString(clsid) + ": CreateInstance gave no object");
  return hr;
}

void CoFreeUnusedLibraries() {
  LibraryTable& table = Libraries();
  std::vector<std::pair<std::string, LoadedLibrary>> unload;
  {
    std::lock_guard lock(table.mutex);
    for (auto it = table.libraries.begin(); it != table.libraries.end();) {
      LoadedLibrary& library = it->second;
      if (library.callsInFlight == 0 && library.canUnloadNow && library.canUnloadNow() == S_OK) {
        unload.emplace_back(it->first, library);
        it = table.libraries.erase(it);
      } else {
        ++it;
      }
    }
  }
  // Outside the lock: releasing destroys the library's windows, and its static
  // destructors may call back in.
  for (auto& [path, library] : unload) {
    // Windows and classes whose procedures lie in the library go before it
    // does; one that cannot go (another thread's window) keeps it loaded.
    if (!ReleaseModule(ModuleOfHandle(library.handle))) {
      std::lock_guard lock(table.mutex);
      // Loaded again meanwhile: that entry holds its own reference.
      if (!table.libraries.emplace(path, library).second) dlclose(library.handle);
      continue;
    }
    dlclose(library.handle);
  }
}

std::string CoLastErrorDetail() { return lastErrorDetail; }

}  // namespace plat
