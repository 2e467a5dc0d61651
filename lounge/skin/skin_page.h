// CSkinPage: the windowless widget host under every page and bar. It loads
// one layout, keeps a run-time state per element, asks the concrete page
// through its state hooks what is shown, enabled and checked, draws
// everything into a back buffer the size of the owner's client area and
// copies it to the owner window. Its input half turns keys, mouse movement
// and clicks into highlights, presses, a keyboard focus over list entries and
// action names for the page (OnAction and the list hooks).
//
// The virtual operations keep a fixed order (pages override them by name;
// the order is the one other components were written against). Conventions:
// 1 done, 0 refused; indices 0-based, -1 none; list-scoped operations take
// the list index last unless said otherwise.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "lounge/skin/gdi_handles.h"
#include "lounge/skin/layout_reader.h"
#include "lounge/skin/list_state.h"
#include "lounge/skin/skin_page_host.h"

class CPageElementIndex;

// Focus-entry kinds within a list: items, then list actions, then list links.
inline constexpr int ENTRY_ITEM = 0;
inline constexpr int ENTRY_ACTION = 1;
inline constexpr int ENTRY_LINK = 2;

// Focus directions.
inline constexpr int FOCUS_LEFT = 0;
inline constexpr int FOCUS_RIGHT = 1;
inline constexpr int FOCUS_UP = 2;
inline constexpr int FOCUS_DOWN = 3;

// The list whose items type into the rename edit box, and its key count.
inline constexpr const char* RENAME_KEYPAD_LIST = "Rename KeyPad";
inline constexpr const char* RENAME_EDIT_TEXT = "Rename EditText";
inline constexpr const char* RENAME_PAGE_PATH = "Common\\Rename";
// Posted to the page's owner when Enter is pressed in the rename edit box
// (wParam the edit box, lParam the key); the owner hands it to
// OnRenameEditKey.
inline constexpr plat::UINT WM_RENAME_EDIT_KEY = 1162;

class CSkinPage {
 public:
  CSkinPage(plat::HWND owner, ISkinPageHost* host = nullptr);
  CSkinPage(const CSkinPage&) = delete;
  CSkinPage& operator=(const CSkinPage&) = delete;

  // ---- model and drawing ----
  virtual ~CSkinPage();
  virtual int LoadLayout(const std::string& path);
  virtual int OnLeave();
  virtual int GoBack();
  virtual int GetPageAspectRatio(float* ratio);
  virtual int GetPageSize(int size[2]);
  virtual int DrawBackground(plat::HDC dc);
  virtual int GetButtonScreenRectByName(const std::string& action, plat::RECT* rect);
  virtual int GetButtonScreenRect(int i, plat::RECT* rect);
  virtual int DrawButton(int i, plat::HDC dc, const plat::RECT& rect);
  virtual int DrawButtons(plat::HDC dc);
  virtual int SetButtonChecked(int i, int value);
  virtual int SetFocusButton(const std::string& action);
  virtual int SetHighlightButton(int i);
  virtual int DrawLink(int i, plat::HDC dc, const plat::RECT& rect);
  virtual int DrawLinks(plat::HDC dc);
  virtual int SetLinkChecked(int i, int value);
  virtual int SetFocusLink(const std::string& name);
  virtual int SetHighlightLink(int i);
  virtual int DrawTexts(plat::HDC dc);
  virtual int DrawTextElement(int i, plat::HDC dc, const plat::RECT& rect, plat::COLORREF colour);
  virtual int DrawTextsInRect(plat::HDC dc, const plat::RECT& rect);
  virtual int DrawWideTextAt(const std::u16string& text, int left, int top, int right, int bottom, int align,
                             plat::COLORREF colour, int fit);
  virtual int DrawTextAt(const std::string& text, int left, int top, int right, int bottom, int align,
                         plat::COLORREF colour, int fit);
  virtual int DrawStillImage(int i, plat::HDC dc, const plat::RECT& rect);
  virtual int DrawProgressBars(plat::HDC dc);
  virtual int DrawProgress(int i, plat::HDC dc, const plat::RECT& rect);
  virtual int DrawIndicators(plat::HDC dc);
  virtual int DrawIndicator(int i, plat::HDC dc, const plat::RECT& rect);
  virtual int DrawLists(plat::HDC dc);
  virtual int DrawList(int list, plat::HDC dc);
  virtual int DrawListBackground(int list, plat::HDC dc);
  virtual int DrawListItem(int item, plat::HDC dc, const plat::RECT& rect, int list);
  // Hook: draws an item's text; the default labels the rename key pad.
  virtual int DrawListItemText(int list, int item, plat::HDC dc, plat::COLORREF colour, int state);
  virtual int SetListItemChecked(int item, int value, int list);
  virtual int DrawListAction(int action, plat::HDC dc, const plat::RECT& rect, int list);
  virtual int SetListActionChecked(int action, int value, int list);
  virtual int DrawListLink(int link, plat::HDC dc, const plat::RECT& rect, int list);
  virtual int SetListLinkChecked(int link, int value, int list);
  virtual int DrawListText(int text, plat::HDC dc, const plat::RECT& rect, int list, plat::COLORREF colour);
  virtual int DrawListTextsInRect(plat::HDC dc, const plat::RECT& rect, int list);
  virtual int DrawListImage(int image, plat::HDC dc, const plat::RECT& rect, int list);
  // Asks the state hooks for every element, then paints at once (non-zero
  // flag) or invalidates the owner for its next paint.
  virtual int Redraw(int paintNow);

  // ---- state hooks every page supplies; out-values preset shown 1,
  // enabled 1, checked 0 ----
  virtual int QueryButtonState(const std::string& action, int* shown, int* enabled, int* checked) = 0;
  virtual int QueryLinkState(const std::string& name, int* shown, int* enabled, int* checked) = 0;
  virtual int QueryStillImageShown(const std::string& name, int* shown) = 0;
  virtual int QueryTextShown(const std::string& name, int* shown) = 0;
  virtual int QueryProgressShown(const std::string& name, int* shown) = 0;
  virtual int QueryIndicatorShown(const std::string& name, int* shown) = 0;
  virtual int QueryListShown(const std::string& name, int* shown) = 0;
  virtual int QueryListItemState(int list, int item, int* shown, int* enabled, int* checked) = 0;
  virtual int QueryListActionState(int list, int action, int* shown, int* enabled, int* checked) = 0;
  // Non-zero lets a hot key follow the list link.
  virtual int QueryListLinkState(int list, int link, int* shown, int* enabled, int* checked) = 0;
  virtual int QueryListTextShown(int list, int text, int* shown) = 0;
  virtual int QueryListImageShown(int list, int image, int* shown) = 0;

  // ---- input, focus and actions ----
  virtual int FollowLinkByName(const std::string& name);
  virtual int OnListItemAction(int list, int item);
  virtual int OnListItemDoubleClick(int list, int item);
  virtual int PageList(int list, int action);
  virtual int OnListLinkAction(int list, int link);
  virtual int PressButton(int i);
  virtual int PressLink(int i);
  virtual int PaintAll(plat::HDC dc);
  virtual int BlitBackBuffer(plat::HDC dc, const plat::RECT& rect);
  virtual int UpdateListIndexText(int list, int row);
  virtual int ShowTooltipAt(plat::POINT point);
  virtual int ShowTooltip(int button);
  virtual int OnKeyLeft(int flag);
  virtual int OnKeyRight(int flag);
  virtual int OnKeyUp(int flag);
  virtual int OnKeyDown(int flag);
  virtual int PressFocusedEntry();
  virtual int HighlightListItemByName(int item, const std::string& list);
  virtual int HighlightListItem(int item, int list);
  virtual int HighlightListActionByName(int action, const std::string& list);
  virtual int HighlightListAction(int action, int list);
  virtual int HighlightListLinkByName(int link, const std::string& list);
  virtual int HighlightListLink(int link, int list);
  virtual int OnListEntryHook();
  virtual int OnRenameEditKey(plat::HWND window, int key);
  virtual int ShowRenameKeyPad(const std::string& path);
  virtual int OnBackAction();
  virtual int MoveFocus(int direction, int force);
  virtual int ShowFocus();
  // The page carries out a named action.
  virtual int OnAction(const std::string& name) = 0;

  // ---- non-virtual: page-path history ----
  // Loads the current layout again; the history stays as it was.
  int ReloadLayout();
  // Drops up to `count` entries from the end of the history.
  void TrimPageHistory(int count);
  void ClearPageHistory() { m_history.clear(); }

  // ---- non-virtual: back buffer, rectangles, colours, values ----
  void CreateBackBuffer();
  void CreateBackBuffer(int paint);
  int ResetHighlight();
  int GetTextScreenRect(int i, plat::RECT* rect);
  int GetTextScreenRectByName(const std::string& name, plat::RECT* rect);
  int GetStillImageScreenRect(int i, plat::RECT* rect);
  int GetStillImageScreenRectByName(const std::string& name, plat::RECT* rect);
  int GetProgressScreenRect(int i, plat::RECT* rect);
  int GetProgressScreenRectByName(const std::string& name, plat::RECT* rect);
  int GetIndicatorScreenRect(int i, plat::RECT* rect);
  int GetLinkScreenRect(int i, plat::RECT* rect);
  int GetListScreenRect(int list, plat::RECT* rect);
  int GetListScreenRectByName(const std::string& name, plat::RECT* rect);
  int GetListItemScreenRect(int item, int list, plat::RECT* rect);
  int GetListItemTextScreenRect(int item, int list, plat::RECT* rect);
  int GetListItemCheckScreenRect(int item, int list, plat::RECT* rect);
  int GetListItemIconScreenRect(int item, int list, plat::RECT* rect);
  int GetListActionScreenRect(int action, int list, plat::RECT* rect);
  int GetListLinkScreenRect(int link, int list, plat::RECT* rect);
  int GetListTextScreenRect(int text, int list, plat::RECT* rect);
  int GetListTextScreenRectByName(const std::string& text, const std::string& list, plat::RECT* rect);
  int GetListImageScreenRect(int image, int list, plat::RECT* rect);
  int GetTextColour(int i, plat::COLORREF* colour);
  int GetListTextColour(int list, int i, plat::COLORREF* colour);
  int SetProgressValue(const std::string& name, float value, float start);
  int SetSelectedItem(int item, int list);
  int SetSelectedItemByName(int item, const std::string& list);
  int UncheckAllButtons();
  int UncheckAllLinks();
  int UncheckAllListItems(int list);
  int UncheckAllListActions(int list);
  int UncheckAllListLinks(int list);

  // ---- non-virtual: input ----
  int OnKey(plat::UINT vk);
  int OnMouseMove(plat::POINT point);
  int OnMouseDown(plat::POINT point);
  int OnMouseUp(plat::POINT point);
  int OnClick(plat::POINT point);
  int OnDoubleClick(plat::POINT point);
  int OnPaint();
  int DropFocus();
  int ClearAllHighlights();
  int HitTestButton(plat::POINT point);
  int HitTestLink(plat::POINT point);
  int HitTestText(plat::POINT point);
  int HitTestList(plat::POINT point);
  int HitTestListItem(plat::POINT point, int* list);
  int HitTestListAction(plat::POINT point, int* list);
  int HitTestListLink(plat::POINT point, int* list);
  int FirstFocusableList();
  int FirstFocusableEntry(int list);
  int IsFocusableList(int list);
  int NextListInDirection(int direction);
  int NextEntryInDirection(int list, int entry, int direction);
  int EntryOf(int list, int kind, int index);
  // The kind and index of an entry; 0 for a bad list or entry.
  int SplitEntry(int list, int entry, int* kind, int* index);

  // ---- accessors ----
  plat::HWND Owner() const { return m_owner; }
  ISkinPageHost* Host() const { return m_host; }
  void SetHost(ISkinPageHost* host) { m_host = host; }
  const CLayoutReader* Layout() const { return m_layout.get(); }
  CPageElementIndex& ElementIndex() const { return *m_elementIndex; }
  const std::string& CurrentPath() const { return m_currentPath; }
  // Why the last LoadLayout failed: the layout file and the reason, control
  // characters escaped; empty after a layout loaded.
  const std::string& LayoutError() const { return m_layoutError; }
  const std::vector<std::string>& History() const { return m_history; }
  int IsLoaded() const { return m_loaded; }
  int IsPainted() const { return m_painted; }
  int FocusedList() const { return m_focusedList; }
  int FocusedEntry() const { return m_focusedEntry; }
  void SetFocus(int list, int entry) { m_focusedList = list, m_focusedEntry = entry; }
  int HighlightedButton() const { return m_highlightedButton; }
  int HighlightedLink() const { return m_highlightedLink; }
  int PressedButton() const { return m_pressedButton; }
  int PressedLink() const { return m_pressedLink; }
  int PressedList() const { return m_pressedList; }
  const ElementState* ButtonState(int i) const;
  const ElementState* LinkState(int i) const;
  CListState* ListState(int list);
  int StillImageShown(int i) const;
  int TextShown(int i) const;
  float ProgressValue(int i) const;
  float IndicatorPosition(int i) const;
  plat::HBITMAP BackBuffer() const { return m_backBuffer.get(); }
  const plat::RECT& BackBufferRect() const { return m_backBufferRect; }
  int BarHideTimer() const { return m_barHideTimer; }
  void SetBarHideTimer(int timer) { m_barHideTimer = timer; }
  plat::HWND RenameEditBox() const { return m_renameEdit; }

 protected:
  // Pages made before their window exists get it here, before any drawing.
  void SetOwnerWindow(plat::HWND owner) { m_owner = owner; }
  // Lets the back buffer go; the next full paint makes it anew at the owner's
  // size then (a page shown again after the frame was resized meanwhile).
  void DropBackBuffer() { m_backBuffer.reset(); }
  // Scales a layout rectangle to the owner's client area (texts: to the back
  // buffer); 0 without a layout or page size.
  int ScaleRect(const plat::RECT& layoutRect, plat::RECT* screen, bool toBackBuffer);
  // Draws a four-frame strip's frame for `state` stretched into `rect`, or
  // black when it cannot be loaded.
  void DrawStateImage(const std::string& file, int state, plat::HDC dc, const plat::RECT& rect);
  // Redraws one element into the back buffer and copies it to the owner.
  // Redraws one element (when `found`) and the texts over it in the back
  // buffer, then shows that rectangle; `list` >= 0 also redraws its list texts.
  void RefreshArea(bool found, const plat::RECT& rect, int list,
                   const std::function<void(plat::HDC)>& drawElement);
  void RefreshButton(int i);
  void RefreshLink(int i);
  void RefreshListItem(int item, int list);
  void RefreshListAction(int action, int list);
  void RefreshListLink(int link, int list);
  // Copies a back-buffer rectangle to the owner window.
  void CopyToOwner(const plat::RECT& rect);
  void PlayHighlightSound();
  void PlayPressSound();
  // Sets (or clears) the wait cursor for the length of an action.
  void BeginWaitCursor();
  void EndWaitCursor();
  // Points whose entry is a shown and enabled element (for the hand cursor).
  bool OverActiveElement(plat::POINT point);
  int EntryCount(int list);
  int QueryEntryShownEnabled(int list, int entry);
  int EntryScreenRect(int list, int entry, plat::RECT* rect);
  void HideCursor();
  int ExecuteWithWaitCursor(const std::string& action);
  int ConsumeLayoutReplaced();
  // Pages that drive an indicator set its knob position (0..1).
  int SetIndicatorPosition(int i, float position);
  // Sets a list's highlighted entry of one kind (-1 none), redrawing the old
  // and new one while painted; no focus change.
  void ChangeListHighlight(int list, int kind, int index, bool sound);
  int HighlightEntryOfKind(int kind, int index, int list);
  int DrawTooltipText(const std::string& key);
  // Draws a text anew at its place: on what lies under the place's texts
  // (so no earlier text shows through), in the back buffer as well when the
  // rectangle is a text element's or list text's place, then on the window.
  int DrawTextAtPlace(const plat::RECT& rect, const std::function<void(plat::HDC)>& drawText);
  // The same for an 8-bit text in a font named by a string-table key.
  int DrawTextWithFont(const std::string& text, const plat::RECT& rect, const std::string& fontKey, int align,
                       plat::COLORREF colour, int fit);
  // The state code a list item is drawn in (normal, highlighted, pressed or
  // checked, disabled).
  int ListItemStateCode(int item, int list);

 private:
  // The pixels under one text's place, without any text on them.
  struct TextUnderlay {
    plat::RECT rect;
    BitmapPtr pixels;
  };
  void SaveTextUnderlay(plat::HDC dc, const plat::RECT& rect);
  // Copies into the underlays the parts of `dc` that `rect` redrew.
  void UpdateTextUnderlays(plat::HDC dc, const plat::RECT& rect);
  // Puts the underlays back over `rect`; true when one holds the whole rect.
  bool RestoreTextUnderlays(plat::HDC dc, const plat::RECT& rect);

  int CopyIfPainted(const plat::RECT& rect);
  void SoundIfEnabled(bool highlight);

  int m_focusedList = -1;
  int m_focusedEntry = -1;
  plat::HWND m_owner = nullptr;
  ISkinPageHost* m_host = nullptr;
  std::string m_currentPath;
  std::string m_layoutError;
  std::vector<std::string> m_history;
  int m_loaded = 0;
  plat::RECT m_backBufferRect{};
  BitmapPtr m_backBuffer;
  int m_painted = 0;
  std::vector<TextUnderlay> m_textUnderlays;
  plat::HDC m_paintingDC = nullptr;  // the back buffer's DC while a full paint runs
  std::shared_ptr<const CLayoutReader> m_layout;  // shared with other pages (layout_cache.h)
  int m_highlightedButton = -1;
  int m_pressedButton = -1;
  std::vector<ElementState> m_buttonStates;
  int m_highlightedLink = -1;
  int m_pressedLink = -1;
  std::vector<ElementState> m_linkStates;
  std::vector<int> m_stillImageShown;
  std::vector<int> m_textShown;
  std::vector<int> m_progressShown;
  std::vector<int> m_indicatorShown;
  std::vector<float> m_progressValues;
  std::vector<float> m_progressStarts;
  std::vector<float> m_indicatorPositions;
  int m_pressedList = -1;
  std::vector<CListState> m_listStates;
  std::unique_ptr<CPageElementIndex> m_elementIndex;
  plat::HWND m_renameEdit = nullptr;
  FontPtr m_renameFont;
  int m_layoutReplaced = 0;
  int m_barHideTimer = 0;
  plat::POINT m_lastMousePoint{-1, -1};
  plat::HCURSOR m_cursorBeforeWait = nullptr;
};
