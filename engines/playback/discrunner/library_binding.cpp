#include "engines/playback/discrunner/library_binding.h"

#include <dlfcn.h>

#include <cstdio>
#include <mutex>

#include "platform/com/hresult.h"
#include "platform/com/module_path.h"

namespace discrunner {

namespace {
std::mutex g_mutex;
std::string g_folder;
MessageReporter g_reporter;
}  // namespace

std::string LibraryFolder() {
  std::lock_guard lock(g_mutex);
  if (!g_folder.empty()) return g_folder;
  return plat::com_detail::ExecutableDirectory() + "/Movie";
}

void SetLibraryFolder(std::string folder) {
  std::lock_guard lock(g_mutex);
  g_folder = std::move(folder);
}

void SetMessageReporter(MessageReporter reporter) {
  std::lock_guard lock(g_mutex);
  g_reporter = std::move(reporter);
}

void ReportMessage(const std::string& text) {
  MessageReporter reporter;
  {
    std::lock_guard lock(g_mutex);
    reporter = g_reporter;
  }
  if (reporter) {
    reporter(text);
  } else {
    std::fprintf(stderr, "%s\n", text.c_str());
  }
}

LibraryBinding::~LibraryBinding() { Unbind(); }

plat::HRESULT LibraryBinding::Bind(const std::string& folder) {
  Unbind();
  const std::string path = folder + "/libtovelax.so";
  module_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module_) return plat::E_FAIL;
  auto version = reinterpret_cast<tovelax::GetMMAPIVersionFn>(dlsym(module_, tovelax::kVersionEntry));
  auto get = reinterpret_cast<tovelax::GetMMAPIFn>(dlsym(module_, tovelax::kApiEntry));
  release_ = reinterpret_cast<tovelax::ReleaseMMAPIFn>(dlsym(module_, tovelax::kReleaseEntry));
  if (!version || !get || !release_) {
    Unbind();
    return plat::E_FAIL;
  }
  const std::uint32_t found = version();
  if (found != tovelax::kMMAPIVersion) {
    char text[128];
    std::snprintf(text, sizeof text, "GetMMAPIVersion() = 0x%08x, but it should be 0x%08x !!!",
                  static_cast<unsigned>(found), static_cast<unsigned>(tovelax::kMMAPIVersion));
    ReportMessage(text);
    Unbind();
    return plat::E_FAIL;
  }
  api_ = get();
  return api_ ? plat::S_OK : plat::E_FAIL;
}

void LibraryBinding::Unbind() {
  if (api_) {
    if (auto* source = api_->Source()) source->Close();
    if (release_) release_();
    api_ = nullptr;
  }
  release_ = nullptr;
  if (module_) dlclose(module_);
  module_ = nullptr;
}

}  // namespace discrunner
