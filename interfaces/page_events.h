// The module pages' event tables (IModulePageEvents), one per page, as the
// system core calls them. Plain tables without IUnknown; the page owns
// itself, so nobody deletes through them. Operation numbers follow the
// pages' tables (operation 0, the page's own destructor, is not callable).
#pragma once

#include <string>
#include <vector>

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
  virtual int LoadPage(const char* path) = 0;             // 4
  // Where the video goes: the owner window and the rectangle in it; 0 when
  // the page has none to offer.
  virtual int GetVideoWindow(plat::HWND* owner, plat::RECT* rect) = 0;  // 5
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
  // Mouse activity over the page: on the visualisation display, brings the
  // bars and the cursor back.
  virtual int OnMouseActivity() = 0;                                        // 4
  virtual int GetDisplayWindow(plat::HWND* window, plat::RECT* rect) = 0;   // 5
  virtual int Redraw(int flag) = 0;                                         // 6
  virtual int ShowListPanelItem() = 0;                                      // 7
  virtual int OpenBrowserFolder() = 0;                                      // 8
  virtual int SortBrowser() = 0;                                            // 9
  // The folder browser's current folder; 0 when it is empty, or when
  // `filesRequired` is set and the folder holds no file.
  virtual int GetBrowserFolder(std::string* folder, int filesRequired) = 0;  // 10
  virtual int InvalidateFrame() = 0;                                        // 11
  virtual int DrawCurrentTime(double seconds) = 0;                          // 12
  // Presses list_action `action` of list `list`; 0 when either is missing.
  virtual int PressListActionByName(const char* action, const char* list) = 0;  // 13

 protected:
  ~IMusicPageEvents() = default;
};

// The Photo page. Page paths are the skin's ("Photo\\PhotoDisplay"); browser
// sources: 0 photos, 1 background music, 2 drive selector, 3 acquired
// images, 4 folder selection.
class IPhotoPageEvents {
 public:
  virtual int ShowPage(const char* path) = 0;                                    // 1: load a layout
  virtual int ReloadPage() = 0;                                                  // 2
  virtual int PopHistory(int count) = 0;                                         // 3
  virtual int ClearHistory() = 0;                                                // 4
  virtual int EnterModule(const char* path) = 0;                                 // 5: null = drive selector
  virtual int NoOperation() = 0;                                                 // 6
  virtual int Redraw(int flag) = 0;                                              // 7
  virtual int OpenPhotoFolder(const char* folder, const char* root) = 0;         // 8
  virtual int OpenMusicFolder(const char* folder) = 0;                           // 9
  virtual int ResetAcquireBrowser() = 0;                                         // 10
  virtual int LoadPhotoFileList(const std::vector<std::string>& files) = 0;      // 11
  virtual int OpenFolderSelectFolder(const char* folder, const char* root) = 0;  // 12
  virtual int RefreshBrowserList(int source, int resetTop) = 0;                  // 13
  virtual int AddBrowserFile(const char* path, int source) = 0;                  // 14
  // The current folder of a browser; 0 for another source, for an empty
  // folder, or when `requireFiles` is set and the browser holds no file.
  virtual int GetBrowserFolder(std::string& folder, int source, int requireFiles) = 0;  // 15
  // The files below `folder` whose extension occurs in `filter`
  // ("|.mp3|.wav||"), recursively; `flag` is the collector's.
  virtual int CollectFiles(const char* folder, const char* filter, std::vector<std::string>& files,
                           int flag) = 0;                                        // 16
  // 0..100 a percentage, -1 preparing, -2 failed.
  virtual int ShowAcquireProgress(int percent) = 0;                              // 17
  virtual plat::HWND GetDisplayWindow() = 0;                                     // 18: null when none

 protected:
  ~IPhotoPageEvents() = default;
};

class IRadioPageEvents {
 public:
  // Makes the Radio page active with its caption and playback bars and loads
  // "Radio\MainPage"; 1.
  virtual int EnterModule() = 0;                           // 1
  virtual int ShowPage(const char* path) = 0;              // 2: loads the layout; 1
  // Loads the layout of the radio section's current page id; 0 when the id has
  // no page (or is refused for the vendor).
  virtual int ShowCurrentPage() = 0;                       // 3
  virtual int RestoreListFocus() = 0;                      // 4: 0
  virtual int Redraw(int flag) = 0;                        // 5
  virtual int DrawRadioText() = 0;                         // 6: RDS texts and signal; 0 without display area
  virtual int RefreshStationList() = 0;                    // 7: item count and top row of the list; 1
  virtual int ResetDigitEntry() = 0;                       // 8: ends a typed frequency; 1
  virtual plat::HWND GetWindowHandle() = 0;                // 9: null when there is no page window

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
  virtual int EnterModule() = 0;                                         // 1
  virtual int ShowPage(const char* layoutPath) = 0;                      // 2: loads the page of that path
  virtual int Redraw(int flag) = 0;                                      // 3
  virtual int InvalidateFrame() = 0;                                     // 4
  virtual int ActivateWindow() = 0;                                      // 5
  virtual int ResetDigitEntry() = 0;                                     // 6
  virtual int GetDisplayWindow(plat::HWND* window, plat::RECT* video) = 0;  // 7
  virtual int GetTVWallSize() = 0;                                       // 8: the wall's cell count
  virtual int SetTVWallItemCount(int count) = 0;                         // 9
  virtual int SetChannelListItemCount(int count) = 0;                    // 10
  virtual int DrawAutoScanProgress() = 0;                                // 11
  virtual int OnDisplayResize() = 0;                                     // 12

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
