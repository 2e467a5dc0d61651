// An object's reference count, as its Release reports it.
#pragma once

#include "platform/com/unknown.h"

namespace com_test {

inline plat::ULONG RefCount(plat::IUnknown* object) {
  object->AddRef();
  return object->Release();
}

}  // namespace com_test
