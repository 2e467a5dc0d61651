// Binding of the DVD playback library: loaded with dlopen from the folder
// "Movie" beside the executable, its three entry points found by name, its
// version checked, and its one API object taken and given back.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "outside/tovelax/tovelax_api.h"
#include "platform/core/types.h"

namespace discrunner {

class LibraryBinding {
 public:
  LibraryBinding() = default;
  ~LibraryBinding();
  LibraryBinding(const LibraryBinding&) = delete;
  LibraryBinding& operator=(const LibraryBinding&) = delete;

  // Loads "<folder>/libtovelax.so" (a module already held is freed first),
  // checks the version and takes the API object. E_FAIL on any failure; a
  // wrong version is also reported through the message reporter.
  plat::HRESULT Bind(const std::string& folder);
  // Closes the API object's source, gives the object back and frees the module.
  void Unbind();

  tovelax::IMMAPI* api() const { return api_; }
  bool loaded() const { return module_ != nullptr; }

 private:
  void* module_ = nullptr;
  tovelax::IMMAPI* api_ = nullptr;
  tovelax::ReleaseMMAPIFn release_ = nullptr;
};

// The folder the library is loaded from: "<exe dir>/Movie" unless a test
// points it elsewhere (empty restores the default).
std::string LibraryFolder();
void SetLibraryFolder(std::string folder);

// Shows a message to the user (a message box without caption). Tests and
// hosts without a screen replace it; the default writes to standard error.
using MessageReporter = std::function<void(const std::string& text)>;
void SetMessageReporter(MessageReporter reporter);
void ReportMessage(const std::string& text);

}  // namespace discrunner
