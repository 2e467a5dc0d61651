// The module pages' event tables (IModulePageEvents), one per page, as the
// system core calls them. Plain tables without IUnknown; the page owns
// itself, so nobody deletes through them. Operation numbers follow the
// pages' tables (operation 0, the page's own destructor, is not callable).
#pragma once

#include "platform/core/types.h"

class CConfig;

class IHomePageEvents {
 public:
  virtual int ShowPage() = 0;                             // 1
  virtual int Redraw(CConfig* config, int flag) = 0;      // 2

 protected:
  ~IHomePageEvents() = default;
};

class IMoviePageEvents {
 public:
  virtual int EnterModule() = 0;                          // 1
  virtual int OnRedraw(int flag) = 0;                     // 2
  virtual int ShowPage() = 0;                             // 3
  virtual int Reserved4() = 0;                            // 4
  virtual int OnDisplayResize() = 0;                      // 5
  virtual int RefreshDriveList() = 0;                     // 6
  virtual int ShowPinEntry() = 0;                         // 7
  virtual int IsFrameMaximized() = 0;                     // 8
  virtual int SetScreenSaverActive(int flag) = 0;         // 9

 protected:
  ~IMoviePageEvents() = default;
};

class IMusicPageEvents {
 public:
  virtual int EnterModule() = 0;                                            // 1
  virtual int ShowPage() = 0;                                               // 2
  virtual int RefreshListPanel() = 0;                                       // 3
  virtual int ShowBars() = 0;                                               // 4
  virtual int GetDisplayWindow(plat::HWND* window, plat::RECT* rect) = 0;   // 5
  virtual int Redraw(int flag) = 0;                                         // 6
  virtual int ShowListPanelItem() = 0;                                      // 7
  virtual int OpenBrowserFolder() = 0;                                      // 8
  virtual int SortBrowser() = 0;                                            // 9
  virtual int GetBrowserFolder() = 0;                                       // 10
  virtual int InvalidateFrame() = 0;                                        // 11
  virtual int DrawCurrentTime(double seconds) = 0;                          // 12
  virtual int PressListActionByName(const char* list, const char* action) = 0;  // 13

 protected:
  ~IMusicPageEvents() = default;
};

class IPhotoPageEvents {
 public:
  virtual int Op1() = 0;
  virtual int Op2() = 0;
  virtual int Op3() = 0;
  virtual int Op4() = 0;
  virtual int Op5() = 0;
  virtual int Op6() = 0;
  virtual int Redraw(int flag) = 0;                       // 7

 protected:
  ~IPhotoPageEvents() = default;
};

class IRadioPageEvents {
 public:
  virtual int Op1() = 0;
  virtual int Op2() = 0;
  virtual int Op3() = 0;
  virtual int Op4() = 0;
  virtual int DrawDisplayArea(int flag) = 0;              // 5

 protected:
  ~IRadioPageEvents() = default;
};

class IVideoPageEvents {
 public:
  virtual int EnterModule() = 0;                                            // 1
  virtual int ShowStatePage() = 0;                                          // 2: the page of VideoState
  virtual int Redraw(int flag) = 0;                                         // 3
  virtual int ClearRecentVideos() = 0;                                      // 4
  virtual int GetDisplayWindow(plat::HWND* window, plat::RECT* rect) = 0;   // 5
  virtual int GetVideoRegion(plat::HWND* window, plat::RECT* rect) = 0;     // 6
  virtual int ShowCaptureToHD(int hours, int minutes, int seconds) = 0;     // 7
  virtual int ShowCaptureToDVD(int hours, int minutes, int seconds) = 0;    // 8
  virtual int ResetDeviceList() = 0;                                        // 9

 protected:
  ~IVideoPageEvents() = default;
};

class ITvPageEvents {
 public:
  virtual int Op1() = 0;
  virtual int Op2() = 0;
  virtual int Redraw(int flag) = 0;                       // 3

 protected:
  ~ITvPageEvents() = default;
};

class IRecordPageEvents {
 public:
  virtual int ShowRecordPage() = 0;                       // 1
  virtual int ShowSubPage() = 0;                          // 2: the hub's sub-page value
  virtual int Redraw(int flag) = 0;                       // 3

 protected:
  ~IRecordPageEvents() = default;
};

class IAuthoringPageEvents {
 public:
  virtual int ShowAuthoringPage() = 0;                                     // 1
  virtual int GetPreviewArea(plat::HWND* window, plat::RECT* rect) = 0;    // 2
  virtual int Redraw(int flag) = 0;                                        // 3

 protected:
  ~IAuthoringPageEvents() = default;
};

class IModule9PageEvents {
 public:
  virtual int GoBack() = 0;                               // 1

 protected:
  ~IModule9PageEvents() = default;
};
