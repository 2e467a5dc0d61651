#include "outside/coreobject/core_object.h"

#include "interfaces/authoring.h"
#include "interfaces/engines.h"
#include "interfaces/radiodeck.h"
#include "outside/coreobject/drive_enumerator.h"
#include "outside/coreobject/memory_audio.h"
#include "outside/coreobject/mixhost_audio.h"
#include "outside/coreobject/services.h"
#include "outside/imageacquire/image_acquire.h"
#include "platform/com/runtime.h"

using plat::HRESULT;

const std::vector<EngineClass>& EngineClasses() {
  static const std::vector<EngineClass> kEngines = {
      {IID_IDiscRunner, CLSID_DiscRunner},
      {IID_IWMPlayer, CLSID_WMPlayer},
      {IID_IImageFx, CLSID_ImageFx},
      {IID_IImageFxProps, CLSID_ImageFx},
      {IID_ISlideDraw, CLSID_SlideDraw},
      {IID_ICdToWma, CLSID_CdToWma},
      {IID_ICdToMp3, CLSID_CdToMp3},
      {IID_IGrabber, CLSID_Grabber},
      {IID_IRadioCore, CLSID_RadioCore},
      {IID_IAuthoringEngine, CLSID_AuthoringEngine},
  };
  return kEngines;
}

HRESULT CCoreObject::FinalConstruct() { return plat::S_OK; }

HRESULT CCoreObject::QueryService(plat::ComPtr<plat::IUnknown>& slot,
                                  const std::function<HRESULT(plat::IUnknown**)>& make, const plat::IID& iid,
                                  void** out) {
  if (!slot) {
    plat::IUnknown* created = nullptr;
    const HRESULT hr = make(&created);
    if (plat::FAILED(hr)) return hr;
    slot.Attach(created);
  }
  return slot->QueryInterface(iid, out);
}

HRESULT CCoreObject::FallbackQueryInterface(const plat::IID& iid, void** out) {
  auto make = [](auto tag) {
    using T = typename decltype(tag)::type;
    return [](plat::IUnknown** created) {
      return plat::CreateComObject<T>(nullptr, plat::IID_IUnknown, reinterpret_cast<void**>(created));
    };
  };
  if (iid == IID_ICoreAudio) {
    // The mixer component when it is there, else an in-memory device.
    auto makeAudio = [](plat::IUnknown** created) {
      plat::ComPtr<IMixHost> mixer;
      if (plat::SUCCEEDED(plat::CoCreateInstance(CLSID_MixHost, nullptr, plat::CLSCTX_INPROC_SERVER, IID_IMixHost,
                                           reinterpret_cast<void**>(&mixer)))) {
        return plat::CreateComObject<CMixHostAudio>(nullptr, plat::IID_IUnknown, reinterpret_cast<void**>(created),
                                                    std::move(mixer));
      }
      return plat::CreateComObject<CMemoryAudio>(nullptr, plat::IID_IUnknown, reinterpret_cast<void**>(created));
    };
    return QueryService(audio_, makeAudio, iid, out);
  }
  if (iid == IID_IDriveEnumerator) return QueryService(drives_, make(std::type_identity<CDriveEnumerator>{}), iid, out);
  if (iid == IID_IKeyInputSource) {
    auto makeKeys = [](plat::IUnknown** created) {
      return plat::CreateComObject<CKeyInput>(nullptr, plat::IID_IUnknown, reinterpret_cast<void**>(created),
                                              std::string("/dev/input"));
    };
    return QueryService(keys_, makeKeys, iid, out);
  }
  if (iid == IID_IImageAcquire || iid == IID_IImageAcquireSession) {
    auto makeImages = [this](plat::IUnknown** created) {
      // A camera or scanner that comes or goes reaches the Photo module as
      // the drive enumerator's media notice.
      plat::ComPtr<IDriveEnumerator> drives;
      FallbackQueryInterface(IID_IDriveEnumerator, reinterpret_cast<void**>(&drives));
      std::function<void()> notify = [drives] {
        if (!drives) return;
        if (IPhotoNotifySink* sink = static_cast<CDriveEnumerator*>(drives.Get())->PhotoSink()) sink->OnMediaNotice(0);
      };
      return plat::CreateComObject<CImageAcquire>(nullptr, plat::IID_IUnknown, reinterpret_cast<void**>(created),
                                                  std::move(notify));
    };
    return QueryService(images_, makeImages, iid, out);
  }
  for (const auto& engine : engineClasses_) {
    if (iid != engine.iid) continue;
    auto& slot = engines_[engine.clsid];
    if (!slot) {
      plat::IUnknown* created = nullptr;
      const HRESULT hr = plat::CoCreateInstance(engine.clsid, nullptr, plat::CLSCTX_INPROC_SERVER, plat::IID_IUnknown,
                                                reinterpret_cast<void**>(&created));
      if (plat::FAILED(hr)) return hr;
      slot.Attach(created);
    }
    return slot->QueryInterface(iid, out);
  }
  return plat::E_NOINTERFACE;
}
