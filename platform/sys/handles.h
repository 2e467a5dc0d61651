// Kernel-object handles (events now; processes, mutexes and the like can join).
// A HANDLE is a number looked up in a table, never a pointer that is followed:
// a closed or made-up handle is simply not found.
#pragma once

#include <memory>

#include "platform/core/types.h"

namespace plat {

class KernelObject {
 public:
  virtual ~KernelObject() = default;
  // A descriptor that polls readable while the object is signalled, or -1
  // when the object cannot be waited on.
  virtual int wait_fd() const { return -1; }
  // Called when a wait was satisfied by this object; an auto-reset event
  // consumes its signal here. Returns false when another waiter took it first.
  virtual bool acquire() { return true; }
};

inline const HANDLE INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));

HANDLE RegisterHandle(std::shared_ptr<KernelObject> object);
std::shared_ptr<KernelObject> LookupHandle(HANDLE handle);
BOOL CloseHandle(HANDLE handle);

}  // namespace plat
