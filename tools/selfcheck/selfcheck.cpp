// selfcheck: creates every class registered under HKEY_CLASSES_ROOT\CLSID
// and reports, one line per class, "ok" or why it failed. Exits 1 if any
// class failed, 0 otherwise.

#include <cstdio>
#include <string>
#include <vector>

#include "platform/com/com.h"
#include "platform/com/registry_keys.h"

namespace {

using plat::com_detail::RegKey;

std::vector<std::string> RegisteredClassKeys() {
  std::vector<std::string> names;
  RegKey classes;
  if (classes.Open(plat::HKEY_CLASSES_ROOT, "CLSID") != plat::ERROR_SUCCESS) return names;
  for (plat::DWORD index = 0;; ++index) {
    char name[256];
    plat::DWORD size = sizeof name;
    if (plat::RegEnumKeyExA(classes.Get(), index, name, &size, nullptr, nullptr, nullptr, nullptr) !=
        plat::ERROR_SUCCESS) {
      break;
    }
    names.emplace_back(name, size);
  }
  return names;
}

std::string ClassName(const std::string& key) {
  RegKey classKey;
  if (classKey.Open(plat::HKEY_CLASSES_ROOT, "CLSID\\" + key) != plat::ERROR_SUCCESS) return {};
  return classKey.QueryString("").value_or("");
}

// Empty when the class was created, the reason otherwise.
std::string TryCreate(const plat::CLSID& clsid) {
  plat::ComPtr<plat::IUnknown> object;
  const plat::HRESULT hr =
      plat::CoCreateInstance(clsid, nullptr, plat::CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object));
  if (plat::SUCCEEDED(hr) && object) return {};
  std::string reason = plat::HResultText(plat::SUCCEEDED(hr) ? plat::E_POINTER : hr);
  if (const std::string detail = plat::CoLastErrorDetail(); !detail.empty()) reason += ": " + detail;
  return reason;
}

}  // namespace

int main() {
  plat::CoInitializeEx(nullptr, plat::COINIT_APARTMENTTHREADED);
  const std::vector<std::string> keys = RegisteredClassKeys();
  int failed = 0;
  for (const std::string& key : keys) {
    const std::string name = ClassName(key);
    const std::string label = name.empty() ? key : key + " " + name;
    const auto clsid = plat::ParseGuid(key);
    const std::string reason = clsid ? TryCreate(*clsid) : "not a class id";
    if (reason.empty()) {
      std::printf("%s: ok\n", label.c_str());
    } else {
      std::printf("%s: %s\n", label.c_str(), reason.c_str());
      ++failed;
    }
    std::fflush(stdout);
  }
  if (keys.empty()) {
    std::printf("selfcheck: no classes registered under HKEY_CLASSES_ROOT\\CLSID\n");
  } else {
    std::printf("selfcheck: %zu classes, %d failed\n", keys.size(), failed);
  }
  plat::CoFreeUnusedLibraries();
  plat::CoUninitialize();
  return failed == 0 ? 0 : 1;
}
