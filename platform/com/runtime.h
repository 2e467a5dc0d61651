// The COM runtime of the process: per-thread initialisation, creation of
// registered classes from in-process server libraries, and unloading of
// libraries that no longer serve objects.
//
// A class is found under HKEY_CLASSES_ROOT\CLSID\{clsid}\InprocServer32: the
// default value is the library (a relative path is relative to the
// executable's folder), "ThreadingModel" its threading model. Each library is
// loaded once and stays loaded until CoFreeUnusedLibraries finds that its
// DllCanUnloadNow agrees.
#pragma once

#include <string>

#include "platform/com/unknown.h"
#include "platform/com/visibility.h"

namespace plat {

inline constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
inline constexpr DWORD CLSCTX_INPROC_HANDLER = 0x2;
inline constexpr DWORD CLSCTX_LOCAL_SERVER = 0x4;
inline constexpr DWORD CLSCTX_REMOTE_SERVER = 0x10;
inline constexpr DWORD CLSCTX_ALL = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER |
                                    CLSCTX_REMOTE_SERVER;

inline constexpr DWORD COINIT_MULTITHREADED = 0x0;
inline constexpr DWORD COINIT_APARTMENTTHREADED = 0x2;

// Counted per thread: S_OK for the first call on a thread, S_FALSE after.
// Every successful call needs its CoUninitialize.
PLAT_COM_API HRESULT CoInitialize(void* reserved);
PLAT_COM_API HRESULT CoInitializeEx(void* reserved, DWORD coInit);
// When the last initialised thread leaves, unused libraries are unloaded.
PLAT_COM_API void CoUninitialize();

// The class object (normally IClassFactory) of a registered class.
// Failures: CO_E_NOTINITIALIZED, REGDB_E_CLASSNOTREG (no registration, or no
// in-process server in `context`), CO_E_DLLNOTFOUND (library file missing),
// CO_E_ERRORINDLL (library does not load or lacks DllGetClassObject), or what
// the library's DllGetClassObject returns.
PLAT_COM_API HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void* serverInfo, REFIID iid, void** out);
// CoGetClassObject, then IClassFactory::CreateInstance(outer, iid, out).
PLAT_COM_API HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** out);
// Unloads every loaded server library whose DllCanUnloadNow returns S_OK.
PLAT_COM_API void CoFreeUnusedLibraries();

// A class's registration, as CoGetClassObject reads it.
struct InprocServerInfo {
  std::string path;            // as registered
  std::string resolvedPath;    // where the library is looked for
  std::string threadingModel;  // empty when not registered
};
// S_OK, or REGDB_E_CLASSNOTREG when the class or its InprocServer32 path is missing.
PLAT_COM_API HRESULT QueryInprocServer(REFCLSID clsid, InprocServerInfo* info);

// Text explaining the last failure of CoGetClassObject/CoCreateInstance on
// this thread (the library path, the loader's message); empty after success.
PLAT_COM_API std::string CoLastErrorDetail();

}  // namespace plat
