// Windows: classes, creation and destruction, the window tree and z-order,
// geometry, visibility, regions, focus, activation, capture, painting and
// device contexts. Handles are numbers checked against a table: a stale or
// made-up HWND fails cleanly with ERROR_INVALID_WINDOW_HANDLE.
//
// Windows have no non-client area of their own: the client rectangle is the
// window rectangle. The frame draws its own caption and answers WM_NCHITTEST.
#pragma once

#include <string>

#include "platform/gdi/region.h"
#include "platform/win/win_types.h"

namespace plat {

ATOM RegisterClass(const WNDCLASS* wc);
ATOM RegisterClassEx(const WNDCLASSEX* wc);
BOOL UnregisterClass(const char* class_name, HINSTANCE instance);
BOOL GetClassInfo(HINSTANCE instance, const char* class_name, WNDCLASS* out);
BOOL GetClassInfoEx(HINSTANCE instance, const char* class_name, WNDCLASSEX* out);
int GetClassName(HWND hwnd, char* buffer, int size);

HWND CreateWindowEx(DWORD ex_style, const char* class_name, const char* title, DWORD style, int x, int y, int width,
                    int height, HWND parent, HMENU menu, HINSTANCE instance, void* param);
inline HWND CreateWindow(const char* class_name, const char* title, DWORD style, int x, int y, int width, int height,
                         HWND parent, HMENU menu, HINSTANCE instance, void* param) {
  return CreateWindowEx(0, class_name, title, style, x, y, width, height, parent, menu, instance, param);
}
BOOL DestroyWindow(HWND hwnd);
LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

BOOL IsWindow(HWND hwnd);
BOOL IsChild(HWND parent, HWND hwnd);
HWND GetDesktopWindow();
DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* process_id);

LONG_PTR GetWindowLongPtr(HWND hwnd, int index);
LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value);
inline LONG GetWindowLong(HWND hwnd, int index) { return static_cast<LONG>(GetWindowLongPtr(hwnd, index)); }
inline LONG SetWindowLong(HWND hwnd, int index, LONG value) { return static_cast<LONG>(SetWindowLongPtr(hwnd, index, value)); }

// Tree and order. GetParent gives the parent of a child and the owner of a
// popup; GetAncestor(GA_PARENT) gives the desktop for top-level windows.
HWND SetParent(HWND child, HWND new_parent);
HWND GetParent(HWND hwnd);
HWND GetAncestor(HWND hwnd, UINT flags);
HWND GetWindow(HWND hwnd, UINT cmd);
HWND GetTopWindow(HWND hwnd);
BOOL EnumWindows(WNDENUMPROC proc, LPARAM lParam);
BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lParam);
HWND FindWindow(const char* class_name, const char* title);
HWND FindWindowEx(HWND parent, HWND after, const char* class_name, const char* title);
HWND WindowFromPoint(POINT screen_point);

BOOL ShowWindow(HWND hwnd, int cmd);
BOOL IsWindowVisible(HWND hwnd);
BOOL IsIconic(HWND hwnd);
BOOL IsZoomed(HWND hwnd);
BOOL SetWindowPos(HWND hwnd, HWND insert_after, int x, int y, int cx, int cy, UINT flags);
BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
BOOL BringWindowToTop(HWND hwnd);
BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* placement);
BOOL SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT* placement);
BOOL GetClientRect(HWND hwnd, RECT* rect);
BOOL GetWindowRect(HWND hwnd, RECT* rect);
BOOL ClientToScreen(HWND hwnd, POINT* point);
BOOL ScreenToClient(HWND hwnd, POINT* point);
int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count);
// The window takes a copy of the region (window coordinates); null removes it.
int SetWindowRegion(HWND hwnd, const Region* region, BOOL redraw);
// Copies the window's region; returns 0 (ERROR) when it has none.
int GetWindowRegion(HWND hwnd, Region* out);
// The platform's forms over region objects: SetWindowRgn takes ownership of
// the region object (deletes it), GetWindowRgn copies into an existing one.
int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw);
int GetWindowRgn(HWND hwnd, HRGN out);

BOOL SetWindowText(HWND hwnd, const char* text);
int GetWindowText(HWND hwnd, char* buffer, int size);
int GetWindowTextLength(HWND hwnd);
std::string GetWindowTextString(HWND hwnd);

BOOL EnableWindow(HWND hwnd, BOOL enable);
BOOL IsWindowEnabled(HWND hwnd);
HWND SetFocus(HWND hwnd);
HWND GetFocus();
HWND SetActiveWindow(HWND hwnd);
HWND GetActiveWindow();
BOOL SetForegroundWindow(HWND hwnd);
HWND GetForegroundWindow();
HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
HWND GetCapture();
BOOL TrackMouseEvent(TRACKMOUSEEVENT* tme);

// Painting. The update region is kept per window in client coordinates;
// WM_PAINT comes when the queue is otherwise empty.
BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);
BOOL InvalidateRegion(HWND hwnd, const Region* region, BOOL erase);
BOOL ValidateRect(HWND hwnd, const RECT* rect);
BOOL ValidateRegion(HWND hwnd, const Region* region);
BOOL GetUpdateRect(HWND hwnd, RECT* rect, BOOL erase);
int GetUpdateRegion(HWND hwnd, Region* out, BOOL erase);
BOOL InvalidateRgn(HWND hwnd, HRGN region, BOOL erase);
BOOL ValidateRgn(HWND hwnd, HRGN region);
int GetUpdateRgn(HWND hwnd, HRGN out, BOOL erase);
BOOL UpdateWindow(HWND hwnd);
inline constexpr UINT RDW_INVALIDATE = 0x0001;
inline constexpr UINT RDW_ERASE = 0x0004;
inline constexpr UINT RDW_VALIDATE = 0x0008;
inline constexpr UINT RDW_ALLCHILDREN = 0x0080;
inline constexpr UINT RDW_UPDATENOW = 0x0100;
inline constexpr UINT RDW_ERASENOW = 0x0200;
inline constexpr UINT RDW_FRAME = 0x0400;
BOOL RedrawWindow(HWND hwnd, const RECT* rect, HRGN region, UINT flags);
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps);
// A DC drawing into the window's backing surface, clipped to the client
// area (and the window region). What is drawn reaches the screen at the next
// composition, after ReleaseDC.
HDC GetDC(HWND hwnd);
HDC GetWindowDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC hdc);

}  // namespace plat
