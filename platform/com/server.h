// What a component server library needs to be loaded by CoCreateInstance and
// registered by regsvr: a table of its classes and the four exports.
//
//   #include "platform/com/server.h"
//   namespace {
//   const plat::ClassEntry kClasses[] = {
//       {CLSID_Widget, "Widget Class", &plat::CreateComObject<CWidget>},
//       {CLSID_Player, "Player Class", &plat::CreateComObject<CPlayer>, "Apartment", "Marivel.Player.1"},
//   };
//   }  // namespace
//   PLAT_COM_SERVER(kClasses)
//
// PLAT_COM_SERVER defines DllGetClassObject, DllCanUnloadNow,
// DllRegisterServer and DllUnregisterServer with C linkage.
#pragma once

#include <span>

#include "platform/com/object.h"
#include "platform/com/visibility.h"

namespace plat {

// Creates an instance of one class: the signature of IClassFactory::CreateInstance.
using ClassCreator = HRESULT (*)(IUnknown* outer, REFIID iid, void** out);

struct ClassEntry {
  CLSID clsid;
  const char* name;  // the class key's default value
  ClassCreator create;
  const char* threadingModel = "Both";
  const char* progId = nullptr;  // optional
};

// The four exports' signatures, as CoCreateInstance and regsvr look them up.
using DllGetClassObjectFn = HRESULT (*)(REFCLSID clsid, REFIID iid, void** out);
using DllCanUnloadNowFn = HRESULT (*)();
using DllRegisterServerFn = HRESULT (*)();
using DllUnregisterServerFn = HRESULT (*)();

// The class factory handed out for `entry` (also usable to create objects
// inside the module through the factory's rules).
PLAT_COM_LOCAL HRESULT CreateClassFactory(const ClassEntry& entry, REFIID iid, void** out);

PLAT_COM_LOCAL HRESULT ServerGetClassObject(std::span<const ClassEntry> classes, REFCLSID clsid, REFIID iid,
                                            void** out);
PLAT_COM_LOCAL HRESULT ServerCanUnloadNow();
// Writes HKCR\CLSID\{clsid} (name), its InprocServer32 (this library's path,
// ThreadingModel) and the ProgID keys for every class; replaces what was there.
PLAT_COM_LOCAL HRESULT ServerRegister(std::span<const ClassEntry> classes);
// Removes those keys again; classes that are not registered are no error.
PLAT_COM_LOCAL HRESULT ServerUnregister(std::span<const ClassEntry> classes);

}  // namespace plat

#define PLAT_COM_SERVER(classTable)                                                               \
  extern "C" __attribute__((visibility("default"))) ::plat::HRESULT DllGetClassObject(             \
      ::plat::REFCLSID clsid, ::plat::REFIID iid, void** out) {                                     \
    return ::plat::ServerGetClassObject(classTable, clsid, iid, out);                               \
  }                                                                                                 \
  extern "C" __attribute__((visibility("default"))) ::plat::HRESULT DllCanUnloadNow() {           \
    return ::plat::ServerCanUnloadNow();                                                            \
  }                                                                                                 \
  extern "C" __attribute__((visibility("default"))) ::plat::HRESULT DllRegisterServer() {         \
    return ::plat::ServerRegister(classTable);                                                      \
  }                                                                                                 \
  extern "C" __attribute__((visibility("default"))) ::plat::HRESULT DllUnregisterServer() {       \
    return ::plat::ServerUnregister(classTable);                                                    \
  }                                                                                                 \
  static_assert(true)
