// CMoviePage: the page of the Movie module (DVD and video-CD playback). It
// shows the Movie pages of the skin (playback, pop-up menu, drive selector,
// settings, parental lock, region), answers the skin engine's state
// questions from the Movie section of the configuration, and sends every
// press to the system core as an action. Playback decisions belong to the
// Movie controller in the core, which calls the page back through
// IMoviePageEvents: the page id in CMovieConfig selects what is shown.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "interfaces/page_events.h"
#include "lounge/pages/common/file_browser_sink.h"
#include "lounge/pages/common/file_list_source.h"
#include "lounge/shell/edit_wrapper.h"
#include "lounge/shell/module_page.h"
#include "lounge/skin/gdi_handles.h"

class CConfig;
class CMovieConfig;

// The frame timer that hides the cursor and the bars during playback.
inline constexpr plat::UINT_PTR kMovieCursorTimer = 5;
inline constexpr plat::UINT kMovieCursorTimerOnEntry = 7000;
inline constexpr plat::UINT kMovieCursorTimerOnMouse = 4000;

// The page path of a Movie page id; nullptr for ids that load nothing.
const char* MoviePagePath(int pageId);
// The string-table key of a parental level or disc rating; nullptr for
// values without a rating text.
const char* MovieRatingKey(int rating);

class CMoviePage : public CShellPage, public IMoviePageEvents, public IFileBrowserSink {
 public:
  explicit CMoviePage(IShellFrame& frame);
  ~CMoviePage() override;

  // ---- IMoviePageEvents ----
  int EnterModule() override;
  int OnRedraw(int flag) override;
  int ShowPage() override;
  int LoadPage(const char* path) override;
  int GetVideoWindow(plat::HWND* owner, plat::RECT* rect) override;
  int RefreshDriveList() override;
  int ShowPinEntry() override;
  int IsFrameMaximized() override;
  int SetScreenSaverActive(int flag) override;

  // ---- IModulePage ----
  int Create() override;    // the PIN boxes, hidden
  int Destroy() override;   // the PIN boxes and their font go
  int OnResize() override;
  int OnMouseMove(int x, int y) override;
  int OnMouseDown(int x, int y) override;  // a press shows the bars like a move
  int OnModuleExit() override;             // the cursor timer and the playback bar go
  int OnTimer(plat::UINT_PTR id) override;
  int OnMouseWheel(plat::UINT flags, int delta, int x, int y) override;

  // ---- CSkinPage ----
  int LoadLayout(const std::string& path) override;
  int OnLeave() override;
  int OnAction(const std::string& name) override;
  int QueryButtonState(const std::string& action, int* shown, int* enabled, int* checked) override;
  int QueryStillImageShown(const std::string& name, int* shown) override;
  int QueryListItemState(int list, int item, int* shown, int* enabled, int* checked) override;
  int QueryListActionState(int list, int action, int* shown, int* enabled, int* checked) override;
  int QueryListImageShown(int list, int image, int* shown) override;
  int DrawTextElement(int i, plat::HDC dc, const plat::RECT& rect, plat::COLORREF colour) override;
  int DrawListText(int text, plat::HDC dc, const plat::RECT& rect, int list, plat::COLORREF colour) override;
  int DrawListItemText(int list, int item, plat::HDC dc, plat::COLORREF colour, int state) override;
  int HighlightListItem(int item, int list) override;
  int OnListItemAction(int list, int item) override;
  int OnKeyLeft(int flag) override;
  int OnKeyRight(int flag) override;
  // The PIN boxes' hooks: a key or character typed into a box, and a
  // navigation key (Up, Down) that left a box.
  int OnRenameEditKey(plat::HWND window, int key) override;
  int OnListEntryHook() override;

  // ---- IFileBrowserSink: the page browses no files ----
  int OnListReset(int) override { return 1; }
  int OnFolderAdded(int, const FileListEntry&) override { return 1; }
  int OnFileAdded(int, const FileListEntry&) override { return 1; }
  int OnFolderChanged(int, int, int) override { return 1; }
  int DrawFileText(int, int, const plat::RECT&, plat::HDC, plat::COLORREF) override { return 1; }
  int DrawFolderText(int, int, const plat::RECT&, plat::HDC, plat::COLORREF) override { return 1; }
  int DrawFileIcon(int, int, const plat::RECT&, plat::HDC, int) override { return 1; }
  int OnFileActivated(int, int) override { return 1; }
  int GetListTop(int, int&) override { return 1; }
  int SetListTop(int, int) override { return 1; }

  // The text shown for a settings option or region value ("Movie ScreenRatio
  // Option"...), or nullopt when `name` is none of them.
  std::optional<std::string> OptionText(const std::string& name);

  // The PIN boxes (null before Create); for tests.
  plat::HWND PinBox() const { return m_pinEdit ? m_pinEdit->Window() : nullptr; }
  plat::HWND ConfirmBox() const { return m_confirmEdit ? m_confirmEdit->Window() : nullptr; }

 private:
  CConfig* Config() const;
  CMovieConfig* Movie() const;
  int LoadPageLayout(const std::string& path);
  int SendAction(const std::string& name, long a, long b);
  bool IsDriveList(int list) const;
  bool DriveCountShown(const CMovieConfig& movie) const;
  void UpdateDriveTexts(int driveIndex);
  std::string SkinFile(const char* name);
  void KillCursorTimer();
  void ShowBarsForMouse();

  // ---- PIN boxes (movie_page_pin.cpp) ----
  void LayOutPinBoxes();
  void PlaceBox(CEditWrapper& box, const std::string& list, const std::string& entry);
  void SetPinBoxStates();
  void OnPinTextChanged(plat::HWND window);
  void GoToPinPage(int pageId, const char* path);
  void NoteFocusOf(plat::HWND window);

  std::unique_ptr<CEditWrapper> m_pinEdit;
  std::unique_ptr<CEditWrapper> m_confirmEdit;
  FontPtr m_pinFont;
  CFileListSource m_files;
  plat::UINT_PTR m_cursorTimer = 0;
  int m_pinList = -1;
  int m_pinEntry = -1;
  int m_screenSaverActive = 1;
  int m_shownDrive = -1;  // the drive the name and count texts describe
};
