// libgphoto2 and SANE load their drivers as modules, keep allocations in them
// until exit and unload them first, so the leak checker of the sanitizer
// build cannot even name where those allocations came from. Calls into them
// run inside this scope, which tells the checker to leave what they allocate
// alone; nothing changes in other builds.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace imageacquire {

class LibraryAllocationsIgnored {
 public:
#if defined(__SANITIZE_ADDRESS__)
  LibraryAllocationsIgnored() { __lsan_disable(); }
  ~LibraryAllocationsIgnored() { __lsan_enable(); }
#else
  // Not trivial, so a scope object is no unused variable.
  LibraryAllocationsIgnored() {}
  ~LibraryAllocationsIgnored() {}
#endif
  LibraryAllocationsIgnored(const LibraryAllocationsIgnored&) = delete;
  LibraryAllocationsIgnored& operator=(const LibraryAllocationsIgnored&) = delete;
};

}  // namespace imageacquire
