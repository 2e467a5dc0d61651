// The root interfaces: IUnknown (slots 0-2 of every interface) and
// IClassFactory, and the way an interface is bound to its IID.
//
// An interface is an abstract class deriving from IUnknown (or another
// interface) whose pure virtual functions follow the documented slot order.
// Declare its IID beside it and bind the two, at namespace scope:
//
//   inline constexpr plat::IID IID_IFoo = plat::MakeGuid("{...}");
//   struct IFoo : plat::IUnknown {
//     virtual plat::HRESULT Bar(int value) = 0;
//   };
//   PLAT_BIND_IID(IFoo, IID_IFoo);
//
// plat::IidOf<IFoo>() then gives IID_IFoo, and ComPtr, IID_PPV_ARGS and the
// object base use it.
#pragma once

#include <type_traits>

#include "platform/com/guid.h"
#include "platform/com/hresult.h"
#include "platform/core/types.h"

// Binds an interface type to its IID constant; found by argument-dependent
// lookup, so it works in any namespace. A derived interface needs its own.
#define PLAT_BIND_IID(Interface, iidConstant)                                       \
  [[maybe_unused]] constexpr const ::plat::IID& PlatInterfaceIid(std::type_identity<Interface>) { \
    return iidConstant;                                                              \
  }                                                                                  \
  static_assert(true)

namespace plat {

inline constexpr IID IID_IUnknown = MakeGuid("{00000000-0000-0000-C000-000000000046}");
inline constexpr IID IID_IClassFactory = MakeGuid("{00000001-0000-0000-C000-000000000046}");

// Interfaces have no virtual destructor (it would take a slot); nobody
// deletes an object through an interface pointer, Release does.
struct IUnknown {
  virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  ~IUnknown() = default;
};
PLAT_BIND_IID(IUnknown, IID_IUnknown);

struct IClassFactory : IUnknown {
  virtual HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) = 0;
  virtual HRESULT LockServer(BOOL lock) = 0;

 protected:
  ~IClassFactory() = default;
};
PLAT_BIND_IID(IClassFactory, IID_IClassFactory);

template <class Interface>
constexpr const IID& IidOf() {
  return PlatInterfaceIid(std::type_identity<Interface>{});
}

template <class Interface>
concept ComInterface = requires { PlatInterfaceIid(std::type_identity<Interface>{}); };

}  // namespace plat

// IID_PPV_ARGS(&pointer): the IID of the pointed-to interface and the pointer
// as void**, for QueryInterface, CoCreateInstance and friends.
#define IID_PPV_ARGS(pointerToPointer)                                                  \
  ::plat::IidOf<std::remove_pointer_t<std::remove_reference_t<decltype(*(pointerToPointer))>>>(), \
      ::plat::detail::AsVoidOut(pointerToPointer)

namespace plat::detail {
template <class T>
void** AsVoidOut(T** pointer) {
  return reinterpret_cast<void**>(pointer);
}
}  // namespace plat::detail
