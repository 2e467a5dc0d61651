// regsvr [-u] <library.so>...
// Loads each component server library and calls its DllRegisterServer (or,
// with -u, DllUnregisterServer), which writes (or removes) its classes in the
// registry. Stops at the first library that fails.
//
// Exit codes: 0 done, 1 usage, 2 library does not load, 3 entry point
// missing, 4 the entry point reported a failure.

#include <dlfcn.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/runtime.h"
#include "platform/com/server.h"

namespace {

enum ExitCode { kDone = 0, kUsage = 1, kLoadFailed = 2, kNoEntryPoint = 3, kEntryFailed = 4 };

void PrintUsage() { std::fprintf(stderr, "usage: regsvr [-u] <library.so>...\n"); }

int Process(const std::string& library, bool unregister) {
  // dlopen searches the library path for bare names; a name given here is a file.
  const std::string path = library.find('/') == std::string::npos ? "./" + library : library;
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* message = dlerror();
    std::fprintf(stderr, "regsvr: cannot load %s: %s\n", library.c_str(), message ? message : "unknown error");
    return kLoadFailed;
  }
  const char* entryName = unregister ? "DllUnregisterServer" : "DllRegisterServer";
  auto entry = reinterpret_cast<plat::DllRegisterServerFn>(dlsym(handle, entryName));
  if (!entry) {
    std::fprintf(stderr, "regsvr: %s does not export %s\n", library.c_str(), entryName);
    dlclose(handle);
    return kNoEntryPoint;
  }
  const plat::HRESULT hr = entry();
  dlclose(handle);
  if (plat::FAILED(hr)) {
    std::fprintf(stderr, "regsvr: %s in %s failed: %s\n", entryName, library.c_str(), plat::HResultText(hr).c_str());
    return kEntryFailed;
  }
  std::printf("regsvr: %s %s\n", unregister ? "unregistered" : "registered", library.c_str());
  return kDone;
}

}  // namespace

int main(int argc, char** argv) {
  bool unregister = false;
  std::vector<std::string> libraries;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "-u") {
      unregister = true;
    } else if (argument.starts_with("-")) {
      std::fprintf(stderr, "regsvr: unknown option %s\n", argv[i]);
      PrintUsage();
      return kUsage;
    } else {
      libraries.emplace_back(argument);
    }
  }
  if (libraries.empty()) {
    PrintUsage();
    return kUsage;
  }

  plat::CoInitializeEx(nullptr, plat::COINIT_APARTMENTTHREADED);
  int result = kDone;
  for (const std::string& library : libraries) {
    result = Process(library, unregister);
    if (result != kDone) break;
  }
  plat::CoUninitialize();
  return result;
}
