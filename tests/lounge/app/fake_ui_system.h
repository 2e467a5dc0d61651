// A UI system that records the actions it is asked to run, with what the
// configuration root said about the start drive at that moment.
#pragma once

#include <string>
#include <vector>

#include "corebridge/core/config.h"
#include "interfaces/ui_system.h"
#include "platform/com/hresult.h"

namespace app_test {

struct ExecutedAction {
  std::string name;
  std::intptr_t first = 0, second = 0;
  int driveIndex = 0, startFromCd = 0;  // the root's fields during the call
};

class FakeUISystem final : public IUISystem {
 public:
  CConfig* config = nullptr;
  std::vector<ExecutedAction> executed;

  plat::HRESULT QueryInterface(plat::REFIID, void**) override { return plat::E_NOTIMPL; }
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
  plat::HRESULT GetConfig(CConfig** out) override {
    *out = config;
    return config ? plat::S_OK : plat::E_NOTIMPL;
  }
  plat::HRESULT ExecuteAction(const char* name, std::intptr_t a, std::intptr_t b) override {
    executed.push_back({name, a, b, config ? config->m_nStartDriveIndex : -1, config ? config->m_bStartFromCd : -1});
    return plat::S_OK;
  }
  plat::HRESULT GetScheduleList(CScheduleList**) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetDriveInfo(int, int*) override { return plat::E_NOTIMPL; }
  plat::HRESULT DrawPhotoThumbnail(std::intptr_t, std::intptr_t, std::intptr_t) override { return plat::E_NOTIMPL; }
  plat::HRESULT RenderPhotoToBitmap(std::intptr_t, std::intptr_t, std::intptr_t) override { return plat::E_NOTIMPL; }
  plat::HRESULT DrawFolderPreview(std::intptr_t, std::intptr_t, std::intptr_t) override { return plat::E_NOTIMPL; }
  plat::HRESULT PhotoEditApply(std::intptr_t, std::intptr_t) override { return plat::E_NOTIMPL; }
  plat::HRESULT OnSystemMessage(plat::UINT, plat::WPARAM, plat::LPARAM) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetPlaybackTimes(double*, double*) override { return plat::E_NOTIMPL; }
  plat::HRESULT DispatchHotkey(std::intptr_t, std::intptr_t, std::intptr_t) override { return plat::E_NOTIMPL; }
};

}  // namespace app_test
