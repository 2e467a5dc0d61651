// IUISystem: the system core's face towards the program, and IFrameServices,
// the program frame's services the system core calls back on.
#pragma once

#include <cstdint>
#include <string>

#include "platform/com/unknown.h"
#include "platform/core/types.h"

class CConfig;
class CScheduleList;


class IHomePageEvents;
class IMoviePageEvents;
class IPhotoPageEvents;
class IMusicPageEvents;
class IRadioPageEvents;
class IVideoPageEvents;
class IRecordPageEvents;
class ITvPageEvents;
class IAuthoringPageEvents;
class IModule9PageEvents;
class IFrameServices;

inline constexpr plat::CLSID CLSID_UISystem = plat::MakeGuid("{4379CDE6-40C2-42C1-B009-9EB513A78176}");
inline constexpr plat::IID IID_IUISystem = plat::MakeGuid("{1E1C1E91-09B4-4674-8021-BBF6FB4908A5}");

// Slots 3 to 26 in their order. Action numbers and the hot-key values are
// pointer-wide: several callers pass addresses through them.
struct IUISystem : plat::IUnknown {
  virtual plat::HRESULT Start() = 0;                                              // 3
  virtual plat::HRESULT Stop() = 0;                                               // 4
  virtual plat::HRESULT SetHomePageCallback(IHomePageEvents* callback) = 0;       // 5
  virtual plat::HRESULT SetUICallback(IFrameServices* services) = 0;              // 6: returns 1
  virtual plat::HRESULT SetMoviePageCallback(IMoviePageEvents* callback) = 0;     // 7
  virtual plat::HRESULT SetPhotoPageCallback(IPhotoPageEvents* callback) = 0;     // 8
  virtual plat::HRESULT SetMusicPageCallback(IMusicPageEvents* callback) = 0;     // 9
  virtual plat::HRESULT SetRadioPageCallback(IRadioPageEvents* callback) = 0;     // 10
  virtual plat::HRESULT SetVideoPageCallback(IVideoPageEvents* callback) = 0;     // 11
  virtual plat::HRESULT SetRecordPageCallback(IRecordPageEvents* callback) = 0;   // 12
  virtual plat::HRESULT SetTVPageCallback(ITvPageEvents* callback) = 0;           // 13
  virtual plat::HRESULT SetAuthoringPageCallback(IAuthoringPageEvents* callback) = 0;  // 14
  virtual plat::HRESULT SetModule9PageCallback(IModule9PageEvents* callback) = 0;  // 15
  virtual plat::HRESULT GetConfig(CConfig** config) = 0;                          // 16
  virtual plat::HRESULT ExecuteAction(const char* name, std::intptr_t a, std::intptr_t b) = 0;  // 17
  virtual plat::HRESULT GetScheduleList(CScheduleList** list) = 0;                // 18
  virtual plat::HRESULT GetDriveInfo(int drive, int* kind) = 0;                   // 19
  // The Photo page's drawing services. Rectangles are left, top, right,
  // bottom; a background bitmap, when given, is copied in first.
  virtual plat::HRESULT DrawPhotoThumbnail(std::int32_t index, plat::HDC hdc, std::int32_t left, std::int32_t top,
                                           std::int32_t right, std::int32_t bottom, std::int32_t direct,
                                           std::int32_t keepAspect) = 0;  // 20
  virtual plat::HRESULT RenderPhotoToBitmap(std::int32_t index, plat::HDC hdc, std::int32_t left, std::int32_t top,
                                            std::int32_t right, std::int32_t bottom,
                                            plat::HBITMAP background) = 0;  // 21
  virtual plat::HRESULT DrawFolderPreview(std::int32_t index, plat::HDC hdc, std::int32_t bitmapLeft,
                                          std::int32_t bitmapTop, std::int32_t bitmapRight, std::int32_t bitmapBottom,
                                          std::int32_t gridLeft, std::int32_t gridTop, std::int32_t gridRight,
                                          std::int32_t gridBottom, std::int32_t rows, std::int32_t columns,
                                          std::int32_t percent, plat::HBITMAP background) = 0;  // 22
  virtual plat::HRESULT DrawImageFile(const char* path, plat::HDC hdc, std::int32_t left, std::int32_t top,
                                      std::int32_t right, std::int32_t bottom, std::int32_t direct) = 0;  // 23
// `window` is the window the message came to (the frame, or the system
  // core's own hidden window).
  virtual plat::HRESULT OnSystemMessage(plat::HWND window, plat::UINT msg, plat::WPARAM wParam,
                                        plat::LPARAM lParam) = 0;  // 24
  virtual plat::HRESULT GetPlaybackTimes(double* first, double* second) = 0;      // 25
  virtual plat::HRESULT DispatchHotkey(std::intptr_t window, std::intptr_t code, std::intptr_t extra) = 0;  // 26

 protected:
  ~IUISystem() = default;
};
PLAT_BIND_IID(IUISystem, IID_IUISystem);

// The frame's services, a plain table without IUnknown. All return 1 for
// done unless said otherwise.
class IFrameServices {
 public:
  virtual int LookupString(const std::string& key, std::string& text) = 0;  // 0
  virtual int SetDisplayRect(const plat::RECT& rect) = 0;                   // 1
  virtual int SetOsdOption(int value) = 0;                                  // 2
  virtual int NotifyCaptionBar(int value) = 0;                              // 3
  virtual int SetCaptionBarVisible(int show, int animate) = 0;              // 4
  virtual int NotifyPlaybackBar(int value) = 0;                             // 5
  virtual int SetPlaybackBarVisible(int show, int animate) = 0;             // 6
  virtual int SetBarsTopmost(int flag) = 0;                                 // 7
  virtual int HideCursor() = 0;                                             // 8
  virtual int SuspendPowerSaving() = 0;                                     // 9
  virtual int RestorePowerSaving() = 0;                                     // 10
  virtual int PostRemoteMode(int on) = 0;                                   // 11
  virtual int KeepDisplayOn(int release) = 0;                               // 12
  virtual int EnableScreenSaver(int enable) = 0;                            // 13
  virtual int EnableMonitorPowerOff(int enable) = 0;                        // 14
  virtual plat::HWND GetFrameWnd() = 0;                                     // 15
  virtual int ShowOsdTextW(const std::u16string& text) = 0;                 // 16
  virtual int ShowOsdText(const std::string& text) = 0;                     // 17
  virtual int ShowOsdStringId(const std::string& key) = 0;                  // 18
  virtual int SetOsdOption2(int ms) = 0;                                    // 19
  virtual int GetOsdOption() = 0;                                           // 20
  virtual int HideOsd() = 0;                                                // 21
  virtual int SetOsdOwner(std::intptr_t value) = 0;                         // 22
  virtual int GetVendorId() = 0;                                            // 23
  virtual int GetAppFlags() = 0;                                            // 24
  virtual int MinimizeFrame() = 0;                                          // 25
  virtual int QuitApplication() = 0;                                        // 26

 protected:
  ~IFrameServices() = default;
};
