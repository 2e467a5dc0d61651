// A system core that does nothing: every callback hand-over is accepted and
// every request answers "not implemented". Test fakes derive from it and
// override only what they record or answer.
#pragma once

#include "corebridge/core/config.h"
#include "interfaces/ui_system.h"
#include "platform/com/hresult.h"

namespace test_support {

class NullUISystem : public IUISystem {
 public:
  virtual ~NullUISystem() = default;

  plat::HRESULT QueryInterface(plat::REFIID, void** out) override {
    if (out) *out = nullptr;
    return plat::E_NOINTERFACE;
  }
  plat::ULONG AddRef() override { return 1; }
  plat::ULONG Release() override { return 1; }
  plat::HRESULT Start() override { return plat::S_OK; }
  plat::HRESULT Stop() override { return plat::S_OK; }
  plat::HRESULT SetHomePageCallback(IHomePageEvents*) override { return plat::S_OK; }
  plat::HRESULT SetUICallback(IFrameServices*) override { return 1; }
  plat::HRESULT SetMoviePageCallback(IMoviePageEvents*) override { return plat::S_OK; }
  plat::HRESULT SetPhotoPageCallback(IPhotoPageEvents*) override { return plat::S_OK; }
  plat::HRESULT SetMusicPageCallback(IMusicPageEvents*) override { return plat::S_OK; }
  plat::HRESULT SetRadioPageCallback(IRadioPageEvents*) override { return plat::S_OK; }
  plat::HRESULT SetVideoPageCallback(IVideoPageEvents*) override { return plat::S_OK; }
  plat::HRESULT SetRecordPageCallback(IRecordPageEvents*) override { return plat::S_OK; }
  plat::HRESULT SetTVPageCallback(ITvPageEvents*) override { return plat::S_OK; }
  plat::HRESULT SetAuthoringPageCallback(IAuthoringPageEvents*) override { return plat::S_OK; }
  plat::HRESULT SetModule9PageCallback(IModule9PageEvents*) override { return plat::S_OK; }
  plat::HRESULT GetConfig(CConfig**) override { return plat::E_NOTIMPL; }
  plat::HRESULT ExecuteAction(const char*, std::intptr_t, std::intptr_t) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetScheduleList(CScheduleList**) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetDriveInfo(int, int*) override { return plat::E_NOTIMPL; }
  plat::HRESULT DrawPhotoThumbnail(std::int32_t, plat::HDC, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                                   std::int32_t, std::int32_t) override {
    return plat::E_NOTIMPL;
  }
  plat::HRESULT RenderPhotoToBitmap(std::int32_t, plat::HDC, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                                    plat::HBITMAP) override {
    return plat::E_NOTIMPL;
  }
  plat::HRESULT DrawFolderPreview(std::int32_t, plat::HDC, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                                  std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                                  std::int32_t, plat::HBITMAP) override {
    return plat::E_NOTIMPL;
  }
  plat::HRESULT DrawImageFile(const char*, plat::HDC, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                              std::int32_t) override {
    return plat::E_NOTIMPL;
  }
  plat::HRESULT OnSystemMessage(plat::HWND, plat::UINT, plat::WPARAM, plat::LPARAM) override {
    return plat::E_NOTIMPL;
  }
  plat::HRESULT GetPlaybackTimes(double*, double*) override { return plat::E_NOTIMPL; }
  plat::HRESULT DispatchHotkey(std::intptr_t, std::intptr_t, std::intptr_t) override { return plat::E_NOTIMPL; }
};

}  // namespace test_support
