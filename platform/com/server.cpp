#include "platform/com/server.h"

#include <string>

#include "platform/com/module_path.h"
#include "platform/com/registry_keys.h"

namespace plat {
namespace {

using com_detail::DeleteKeyTree;
using com_detail::RegKey;

// The factory CoGetClassObject hands out for one class of this module.
class ClassFactory : public IClassFactory {
 public:
  using Interfaces = InterfaceList<IClassFactory>;

  explicit ClassFactory(ClassCreator create) : create_(create) {}

  HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    // An aggregated object can only hand its owner the non-delegating unknown.
    if (outer && iid != IID_IUnknown) return CLASS_E_NOAGGREGATION;
    return create_(outer, iid, out);
  }

  HRESULT LockServer(BOOL lock) override {
    if (lock) {
      ModuleAddRef();
    } else {
      ModuleRelease();
    }
    return S_OK;
  }

 private:
  ClassCreator create_;
};

std::string ClassKeyPath(REFCLSID clsid) { return "CLSID\\" + GuidToString(clsid); }

HRESULT FromRegistryError(LONG error) { return HRESULT_FROM_WIN32(static_cast<std::uint32_t>(error)); }

// Removes the ProgID key only when it names this class: another server may own it now.
LONG DeleteProgIdIfOurs(const ClassEntry& entry) {
  RegKey clsidKey;
  if (clsidKey.Open(HKEY_CLASSES_ROOT, std::string(entry.progId) + "\\CLSID") != ERROR_SUCCESS) {
    return ERROR_SUCCESS;
  }
  const auto owner = clsidKey.QueryString("");
  clsidKey = RegKey();
  if (!owner || ParseGuid(*owner) != entry.clsid) return ERROR_SUCCESS;
  return DeleteKeyTree(HKEY_CLASSES_ROOT, entry.progId);
}

LONG WriteClassKeys(const ClassEntry& entry, const std::string& libraryPath) {
  const std::string classPath = ClassKeyPath(entry.clsid);
  LONG result = DeleteKeyTree(HKEY_CLASSES_ROOT, classPath);
  if (result != ERROR_SUCCESS) return result;

  RegKey classKey;
  if ((result = classKey.Create(HKEY_CLASSES_ROOT, classPath)) != ERROR_SUCCESS) return result;
  if ((result = classKey.SetString("", entry.name ? entry.name : "")) != ERROR_SUCCESS) return result;

  RegKey serverKey;
  if ((result = serverKey.Create(classKey.Get(), "InprocServer32")) != ERROR_SUCCESS) return result;
  if ((result = serverKey.SetString("", libraryPath)) != ERROR_SUCCESS) return result;
  const char* model = entry.threadingModel ? entry.threadingModel : "Both";
  if ((result = serverKey.SetString("ThreadingModel", model)) != ERROR_SUCCESS) return result;

  if (!entry.progId || !*entry.progId) return ERROR_SUCCESS;
  RegKey progIdUnderClass;
  if ((result = progIdUnderClass.Create(classKey.Get(), "ProgID")) != ERROR_SUCCESS) return result;
  if ((result = progIdUnderClass.SetString("", entry.progId)) != ERROR_SUCCESS) return result;
  RegKey progIdKey;
  if ((result = progIdKey.Create(HKEY_CLASSES_ROOT, entry.progId)) != ERROR_SUCCESS) return result;
  if ((result = progIdKey.SetString("", entry.name ? entry.name : "")) != ERROR_SUCCESS) return result;
  RegKey progIdClsid;
  if ((result = progIdClsid.Create(progIdKey.Get(), "CLSID")) != ERROR_SUCCESS) return result;
  return progIdClsid.SetString("", GuidToString(entry.clsid));
}

}  // namespace

HRESULT CreateClassFactory(const ClassEntry& entry, REFIID iid, void** out) {
  if (!entry.create) {
    if (out) *out = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
  }
  return CreateComObject<ClassFactory>(nullptr, iid, out, entry.create);
}

HRESULT ServerGetClassObject(std::span<const ClassEntry> classes, REFCLSID clsid, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  for (const ClassEntry& entry : classes) {
    if (entry.clsid == clsid) return CreateClassFactory(entry, iid, out);
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT ServerCanUnloadNow() { return ModuleLockCount() == 0 ? S_OK : S_FALSE; }

HRESULT ServerRegister(std::span<const ClassEntry> classes) {
  // This function's own address finds the library it was linked into.
  const std::string modulePath = com_detail::ModulePathOf(reinterpret_cast<const void*>(&ServerRegister));
  if (modulePath.empty()) return E_UNEXPECTED;
  const std::string libraryPath = com_detail::RegistrationPathFor(modulePath);
  for (const ClassEntry& entry : classes) {
    const LONG result = WriteClassKeys(entry, libraryPath);
    if (result != ERROR_SUCCESS) return FromRegistryError(result);
  }
  return S_OK;
}

HRESULT ServerUnregister(std::span<const ClassEntry> classes) {
  HRESULT outcome = S_OK;
  for (const ClassEntry& entry : classes) {
    LONG result = DeleteKeyTree(HKEY_CLASSES_ROOT, ClassKeyPath(entry.clsid));
    if (result == ERROR_SUCCESS && entry.progId && *entry.progId) result = DeleteProgIdIfOurs(entry);
    // Carry on with the other classes; report the first failure.
    if (result != ERROR_SUCCESS && SUCCEEDED(outcome)) outcome = FromRegistryError(result);
  }
  return outcome;
}

}  // namespace plat
