// The standard controls the system places in its windows: a single-line
// edit box ("Edit") and a tracking tooltip ("tooltips_class32"). Both are
// ordinary window classes drawn with the drawing layer; the classes exist
// once RegisterControlClasses (or InitCommonControlsEx) has run.
#pragma once

#include "platform/win/win_types.h"

namespace plat {

// Messages shared by the controls (and answered by them).
inline constexpr UINT WM_SETFONT = 0x0030;
inline constexpr UINT WM_GETFONT = 0x0031;

inline constexpr const char* WC_EDIT = "Edit";
inline constexpr const char* TOOLTIPS_CLASS = "tooltips_class32";

// Registers the control classes for the process; later calls do nothing.
void RegisterControlClasses();

inline constexpr DWORD ICC_WIN95_CLASSES = 0x000000FF;
inline constexpr DWORD ICC_BAR_CLASSES = 0x00000004;
struct INITCOMMONCONTROLSEX {
  DWORD dwSize = sizeof(INITCOMMONCONTROLSEX);
  DWORD dwICC = 0;
};
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init);

// ---- edit control ----------------------------------------------------------

inline constexpr DWORD ES_LEFT = 0x0000;
inline constexpr DWORD ES_CENTER = 0x0001;
inline constexpr DWORD ES_RIGHT = 0x0002;
inline constexpr DWORD ES_PASSWORD = 0x0020;
inline constexpr DWORD ES_AUTOHSCROLL = 0x0080;
inline constexpr DWORD ES_READONLY = 0x0800;
inline constexpr DWORD ES_NUMBER = 0x2000;

inline constexpr UINT EM_GETSEL = 0x00B0;
inline constexpr UINT EM_SETSEL = 0x00B1;
inline constexpr UINT EM_REPLACESEL = 0x00C2;
inline constexpr UINT EM_LIMITTEXT = 0x00C5;
inline constexpr UINT EM_SETLIMITTEXT = EM_LIMITTEXT;
inline constexpr UINT EM_SETREADONLY = 0x00CF;
inline constexpr UINT EM_SETPASSWORDCHAR = 0x00CC;
inline constexpr UINT EM_GETPASSWORDCHAR = 0x00D2;
inline constexpr UINT EM_GETLIMITTEXT = 0x00D5;
inline constexpr UINT EM_POSFROMCHAR = 0x00D6;

// Notifications, sent to the parent as WM_COMMAND (control id, code) with
// the edit's handle in lParam.
inline constexpr WORD EN_SETFOCUS = 0x0100;
inline constexpr WORD EN_KILLFOCUS = 0x0200;
inline constexpr WORD EN_CHANGE = 0x0300;
inline constexpr WORD EN_MAXTEXT = 0x0501;

// Characters an edit holds unless EM_LIMITTEXT says otherwise (0 there
// restores it).
inline constexpr int kEditDefaultLimit = 30000;
// The caret blinks with this half-period while the edit has the focus.
inline constexpr UINT kCaretBlinkMs = 530;

// ---- tooltip control -------------------------------------------------------

inline constexpr DWORD TTS_ALWAYSTIP = 0x01;
inline constexpr DWORD TTS_NOPREFIX = 0x02;

inline constexpr UINT TTF_IDISHWND = 0x0001;
inline constexpr UINT TTF_CENTERTIP = 0x0002;
inline constexpr UINT TTF_SUBCLASS = 0x0010;
inline constexpr UINT TTF_TRACK = 0x0020;
inline constexpr UINT TTF_ABSOLUTE = 0x0080;
inline constexpr UINT TTF_TRANSPARENT = 0x0100;

inline constexpr WPARAM TTDT_AUTOMATIC = 0;
inline constexpr WPARAM TTDT_RESHOW = 1;
inline constexpr WPARAM TTDT_AUTOPOP = 2;
inline constexpr WPARAM TTDT_INITIAL = 3;

inline constexpr UINT TTM_ACTIVATE = WM_USER + 1;
inline constexpr UINT TTM_SETDELAYTIME = WM_USER + 3;
inline constexpr UINT TTM_ADDTOOL = WM_USER + 4;
inline constexpr UINT TTM_DELTOOL = WM_USER + 5;
inline constexpr UINT TTM_RELAYEVENT = WM_USER + 7;
inline constexpr UINT TTM_GETTEXT = WM_USER + 11;
inline constexpr UINT TTM_UPDATETIPTEXT = WM_USER + 12;
inline constexpr UINT TTM_GETTOOLCOUNT = WM_USER + 13;
inline constexpr UINT TTM_TRACKACTIVATE = WM_USER + 17;
inline constexpr UINT TTM_TRACKPOSITION = WM_USER + 18;
inline constexpr UINT TTM_SETTIPBKCOLOR = WM_USER + 19;
inline constexpr UINT TTM_SETTIPTEXTCOLOR = WM_USER + 20;
inline constexpr UINT TTM_GETDELAYTIME = WM_USER + 21;
inline constexpr UINT TTM_SETMAXTIPWIDTH = WM_USER + 24;
inline constexpr UINT TTM_GETMAXTIPWIDTH = WM_USER + 25;
inline constexpr UINT TTM_POP = WM_USER + 28;
inline constexpr UINT TTM_UPDATE = WM_USER + 29;

// One tool: a window (TTF_IDISHWND: uId is the window) or a rectangle of
// `hwnd`. Text is UTF-8; the tooltip keeps its own copy.
struct TOOLINFO {
  UINT cbSize = sizeof(TOOLINFO);
  UINT uFlags = 0;
  HWND hwnd = nullptr;
  UINT_PTR uId = 0;
  RECT rect{};
  HINSTANCE hinst = nullptr;
  char* lpszText = nullptr;
  LPARAM lParam = 0;
};
using TTTOOLINFO = TOOLINFO;

// Tooltip look: info-background fill, a one-pixel border and the text in
// the tooltip's font with this margin.
inline constexpr COLORREF kTooltipBackground = 0x00E1FFFF;
inline constexpr COLORREF kTooltipText = 0x00000000;
inline constexpr int kTooltipMargin = 3;

}  // namespace plat
