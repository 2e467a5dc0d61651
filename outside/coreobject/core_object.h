// CCoreObject: the object through which the system core reaches every
// engine and its system services. QueryInterface with a service's IID gives
// that service; with an engine's IID it creates the engine once by its class
// and gives the same instance to every later query while the core object
// lives, so state carries from one caller to the next. An engine that is not
// registered or fails to create makes the query fail.
#pragma once

#include <functional>
#include <map>
#include <vector>

#include "interfaces/core_object.h"
#include "platform/com/com_ptr.h"
#include "platform/com/object.h"

struct EngineClass {
  plat::IID iid;
  plat::CLSID clsid;
};

// The engines known by interface; each later engine adds its line.
const std::vector<EngineClass>& EngineClasses();

class CCoreObject : public ICoreObject {
 public:
  using Interfaces = plat::InterfaceList<ICoreObject>;
  static constexpr bool kAggregatable = false;

  plat::HRESULT FinalConstruct();
  plat::HRESULT FallbackQueryInterface(const plat::IID& iid, void** out);
  // Makes one more engine known by its interface (tests use a test engine).
  void AddEngineClass(const plat::IID& iid, const plat::CLSID& clsid) { engineClasses_.push_back({iid, clsid}); }

 private:
  plat::HRESULT QueryService(plat::ComPtr<plat::IUnknown>& slot, const std::function<plat::HRESULT(plat::IUnknown**)>& make,
                             const plat::IID& iid, void** out);

  plat::ComPtr<plat::IUnknown> audio_;
  plat::ComPtr<plat::IUnknown> drives_;
  plat::ComPtr<plat::IUnknown> keys_;
  plat::ComPtr<plat::IUnknown> images_;
  std::vector<EngineClass> engineClasses_ = EngineClasses();
  std::map<plat::CLSID, plat::ComPtr<plat::IUnknown>> engines_;
};
