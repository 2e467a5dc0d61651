// MessageBox: a modal box drawn by us, run on its own nested message loop
// on the calling thread. Its owner's top-level window is disabled while it
// shows. Enter presses the default button, Escape cancels (OK for MB_OK, No
// for MB_YESNO), Left/Right/Tab move the default, and the buttons answer
// mouse clicks. A WM_QUIT arriving meanwhile ends the box (answered as
// Escape) and is posted again for the outer loop.
#pragma once

#include "platform/win/win_types.h"

namespace plat {

inline constexpr UINT MB_OK = 0x00000000;
inline constexpr UINT MB_OKCANCEL = 0x00000001;
inline constexpr UINT MB_YESNOCANCEL = 0x00000003;
inline constexpr UINT MB_YESNO = 0x00000004;
inline constexpr UINT MB_ICONHAND = 0x00000010;
inline constexpr UINT MB_ICONSTOP = MB_ICONHAND;
inline constexpr UINT MB_ICONERROR = MB_ICONHAND;
inline constexpr UINT MB_ICONQUESTION = 0x00000020;
inline constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
inline constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr UINT MB_ICONASTERISK = 0x00000040;
inline constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
inline constexpr UINT MB_DEFBUTTON1 = 0x00000000;
inline constexpr UINT MB_DEFBUTTON2 = 0x00000100;
inline constexpr UINT MB_DEFBUTTON3 = 0x00000200;
inline constexpr UINT MB_APPLMODAL = 0x00000000;
inline constexpr UINT MB_SYSTEMMODAL = 0x00001000;
inline constexpr UINT MB_TASKMODAL = 0x00002000;
inline constexpr UINT MB_SETFOREGROUND = 0x00010000;
inline constexpr UINT MB_TOPMOST = 0x00040000;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// The box's window class, and its buttons' (child windows titled "OK",
// "Cancel", "Yes", "No" with their answer as control id).
inline constexpr const char* kMessageBoxClass = "#32770";
inline constexpr const char* kMessageBoxButtonClass = "MessageBoxButton";

// Shows the box and returns the answer, or 0 when the box cannot be made
// (an unsupported button set among them).
int MessageBox(HWND owner, const char* text, const char* caption, UINT type);
inline int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) {
  return MessageBox(owner, text, caption, type);
}

}  // namespace plat
