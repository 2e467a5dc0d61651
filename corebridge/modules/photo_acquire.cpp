// The Photo controller's image acquisition: the camera and scanner list,
// choosing a device, the acquisition worker of the outside component and
// its events, and the notices of devices that come and go.
#include <chrono>
#include <cstring>
#include <string>

#include "corebridge/core/config.h"
#include "corebridge/core/hidden_window.h"
#include "corebridge/core/ui_system_object.h"
#include "corebridge/modules/photo_controller.h"
#include "interfaces/image_acquire.h"
#include "platform/sys/event.h"
#include "platform/sys/handles.h"
#include "platform/win/message.h"

using namespace photo;

namespace {

// An acquisition ends within one file or one scan line of being told; this
// only guards against a component that never answers.
constexpr plat::DWORD kAcquireEndWaitMs = 30000;

void CopyText(char (&to)[1024], const std::string& from) {
  const std::size_t n = std::min(from.size(), sizeof(to) - 1);
  std::memcpy(to, from.data(), n);
  to[n] = '\0';
}

// Runs the messages already queued on this thread (the page's redraw).
void PumpWaitingMessages(std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  plat::MSG msg{};
  while (std::chrono::steady_clock::now() < end && plat::PeekMessage(&msg, nullptr, 0, 0, plat::PM_REMOVE)) {
    plat::TranslateMessage(&msg);
    plat::DispatchMessage(&msg);
  }
}

}  // namespace

int CUISystem::LoadAcquireDevices() {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  photo.m_vecDevices.clear();
  auto acquire = CoreService<IImageAcquire>();
  if (!acquire) return 0;
  acquire->RefreshDevices(0);
  AcquireDeviceList scanners;
  AcquireDeviceList cameras;
  acquire->GetScanners(&scanners);
  acquire->GetCameras(&cameras);
  for (const auto* list : {&scanners, &cameras}) {
    for (const AcquireDeviceRecord& d : *list) {
      photo.m_vecDevices.push_back(PhotoDevice{d.name, d.type, d.identifier, d.index});
    }
  }
  return 1;
}

int CUISystem::OnPhotoImageAcquisitionBrowser(std::intptr_t device, std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  PhotoGoToView(kViewAcquire, 1);
  return SelectAcquireDevice(static_cast<int>(device));
}

int CUISystem::SelectAcquireDevice(int index) {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  if (index < 0 || index >= static_cast<int>(photo.m_vecDevices.size())) return 0;
  photo.m_nSelectedDevice = index;
  photo.m_strRememberedDevice = photo.m_vecDevices[static_cast<std::size_t>(index)].strName;
  DestroyPhotoCaches();
  photo.m_vecPhotos.clear();
  photo.m_vecRecordPhotos.clear();
  photo.m_nCurrentPhoto = -1;
  PhotoRedraw(0);
  PumpWaitingMessages(std::chrono::milliseconds(100));
  if (m_pPhotoPage) m_pPhotoPage->ShowAcquireProgress(-1);
  if (!OpenAcquireSession()) {
    PhotoRedraw(0);
    if (m_pPhotoPage) m_pPhotoPage->ShowAcquireProgress(-2);
    return 0;
  }
  return StartPhotoAcquire();
}

int CUISystem::OpenAcquireSession() {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  EndPhotoAcquire();
  auto acquire = CoreService<IImageAcquire>();
  if (!acquire) return 0;
  plat::ComPtr<IImageAcquireSession> session;
  if (plat::FAILED(acquire->QueryInterface(IID_IImageAcquireSession, reinterpret_cast<void**>(&session)))) return 0;
  if (plat::FAILED(session->SelectDevice(photo.m_strRememberedDevice.c_str()))) return 0;
  if (plat::FAILED(session->Connect())) return 0;
  photo.m_arrAcquiredItems.clear();
  if (plat::FAILED(session->GetItems(&photo.m_arrAcquiredItems))) return 0;
  m_pAcquireSession = std::move(session);
  return 1;
}

int CUISystem::StartPhotoAcquire() {
  if (!m_pConfig || !m_pConfig->m_pPhoto || !m_pAcquireSession) return 0;
  CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  if (photo.m_bAcquireThreadRunning) EndPhotoAcquire();
  m_imageAcquireSink.SetWindow(m_pHiddenWindow ? m_pHiddenWindow->Handle() : nullptr);
  m_pAcquireSession->SetEventSink(ImageAcquireSink());
  m_imageAcquireSink.SetRunning(true);
  photo.m_bAcquireThreadRunning = 1;
  photo.m_bAcquiring = 1;
  plat::HANDLE done = nullptr;
  if (plat::FAILED(m_pAcquireSession->StartAcquire(&done)) || !done) {
    EndPhotoAcquire();
    PhotoRedraw(0);
    if (m_pPhotoPage) m_pPhotoPage->ShowAcquireProgress(-2);
    return 0;
  }
  photo.m_hAcquireThread = done;
  photo.m_bBusy = 1;
  return 1;
}

int CUISystem::EndPhotoAcquire() {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  m_imageAcquireSink.SetRunning(false);
  photo.m_bAcquireThreadRunning = 0;
  if (photo.m_hAcquireThread) {
    plat::WaitForSingleObject(photo.m_hAcquireThread, kAcquireEndWaitMs);
    plat::CloseHandle(photo.m_hAcquireThread);
    photo.m_hAcquireThread = nullptr;
  }
  photo.m_bAcquiring = 0;
  photo.m_bBusy = 0;
  // Pictures the worker saved before it stopped are still recorded, so the
  // temporary ones are deleted with the others.
  for (const auto& event : m_imageAcquireSink.Drain()) {
    if (event.kind == ImageAcquireSinkTable::Event::Image && event.value) {
      photo.m_mapTempFiles[event.path] = event.path;
    }
  }
  return 1;
}

// WM_USER+842: the worker's pictures, progress and end, on the UI thread.
int CUISystem::PhotoOnRefreshMessage() {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  bool finished = false;
  for (const auto& event : m_imageAcquireSink.Drain()) {
    switch (event.kind) {
      case ImageAcquireSinkTable::Event::Image:
        if (event.value) photo.m_mapTempFiles[event.path] = event.path;
        if (photo.m_nPhotoState == kViewAcquire && m_pPhotoPage) {
          m_pPhotoPage->AddBrowserFile(event.path.c_str(), kSourceAcquired);
        }
        break;
      case ImageAcquireSinkTable::Event::Progress:
        if (m_pPhotoPage) m_pPhotoPage->ShowAcquireProgress(event.value);
        break;
      case ImageAcquireSinkTable::Event::Finished: finished = true; break;
    }
  }
  if (finished) {
    EndPhotoAcquire();
    PhotoRedraw(0);
  }
  return 1;
}

// WM_USER+845: a camera or scanner came or went.
int CUISystem::PhotoOnNotifyMessage(std::intptr_t) {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  if (!(AppFlags() & 0x40) || m_pConfig->m_nActiveModule != MODULE_PHOTO) return 0;
  CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  LoadAcquireDevices();
  if (photo.m_nPhotoState == kViewAcquire) {
    int found = -1;
    for (std::size_t i = 0; i < photo.m_vecDevices.size(); ++i) {
      if (photo.m_vecDevices[i].strName == photo.m_strRememberedDevice) {
        found = static_cast<int>(i);
        break;
      }
    }
    photo.m_nSelectedDevice = found;
    if (found < 0) {
      EndPhotoAcquire();
      m_pAcquireSession.Reset();
      PhotoShowDriveSelector();
    }
  } else if (photo.m_nPhotoState == kViewDriveSelector && m_pPhotoPage) {
    m_pPhotoPage->RefreshBrowserList(kSourceDrives, 1);
  }
  return 1;
}

// --- The acquisition sink ------------------------------------------------------------

int CUISystem::ImageAcquireSinkTable::GetCurrentDevice(AcquireDeviceRecord* device) {
  CConfig* config = owner_.m_pConfig.get();
  if (!device || !config || !config->m_pPhoto) return 0;
  const CPhotoConfig& photo = *config->m_pPhoto;
  const int index = photo.m_nSelectedDevice;
  if (photo.m_nPhotoState != kViewAcquire || index < 0 || index >= static_cast<int>(photo.m_vecDevices.size())) {
    return 0;
  }
  const PhotoDevice& d = photo.m_vecDevices[static_cast<std::size_t>(index)];
  CopyText(device->name, d.strName);
  CopyText(device->identifier, d.strIdentifier);
  device->type = d.nType;
  device->index = d.nIndex;
  return 1;
}

// A scan is written to the acquired-image folder; camera pictures go to the
// component's temporary folder.
int CUISystem::ImageAcquireSinkTable::GetItems(AcquireItemList* items) {
  CConfig* config = owner_.m_pConfig.get();
  if (!items || !config || !config->m_pPhoto) return 0;
  const CPhotoConfig& photo = *config->m_pPhoto;
  for (AcquireItemRecord item : photo.m_arrAcquiredItems) {
    if (item.type == kAcquireScanner && !photo.m_strAcquiredImageFolder.empty()) {
      CopyText(item.folder, photo.m_strAcquiredImageFolder);
    }
    items->push_back(item);
  }
  return 1;
}

void CUISystem::ImageAcquireSinkTable::SetWindow(plat::HWND window) {
  std::lock_guard<std::mutex> hold(lock_);
  window_ = window;
}

void CUISystem::ImageAcquireSinkTable::Queue(Event event) {
  plat::HWND window = nullptr;
  {
    std::lock_guard<std::mutex> hold(lock_);
    events_.push_back(std::move(event));
    window = window_;
  }
  if (window) plat::PostMessage(window, WM_PHOTO_REFRESH, 0, 0);
}

std::vector<CUISystem::ImageAcquireSinkTable::Event> CUISystem::ImageAcquireSinkTable::Drain() {
  std::lock_guard<std::mutex> hold(lock_);
  return std::exchange(events_, {});
}

int CUISystem::ImageAcquireSinkTable::OnImage(const char* path, std::int32_t keep) {
  if (!path) return 0;
  Queue(Event{Event::Image, path, keep});
  return 1;
}

int CUISystem::ImageAcquireSinkTable::OnFinished() {
  Queue(Event{Event::Finished, {}, 0});
  return 1;
}

int CUISystem::ImageAcquireSinkTable::OnProgress(std::int32_t percent) {
  Queue(Event{Event::Progress, {}, percent});
  return 1;
}
