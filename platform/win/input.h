// Cursor, key state and raw input. Backends (and tests) submit raw input;
// the display thread's message loop turns it into window messages: mouse
// messages to the capture window or the window under the cursor (hit-tested
// through z-order, window regions, hidden and disabled windows and
// WM_NCHITTEST), keys, characters, wheel and application commands to the
// focus window, double clicks for CS_DBLCLKS classes, WM_MOUSELEAVE for
// tracked windows, and moving and sizing by the caption and border codes.
#pragma once

#include <string>

#include "platform/win/keys.h"
#include "platform/win/win_types.h"

namespace plat {

// Cursor shapes (LoadCursor with a null instance).
inline const char* const IDC_ARROW = reinterpret_cast<const char*>(32512);
inline const char* const IDC_IBEAM = reinterpret_cast<const char*>(32513);
inline const char* const IDC_WAIT = reinterpret_cast<const char*>(32514);
inline const char* const IDC_CROSS = reinterpret_cast<const char*>(32515);
inline const char* const IDC_SIZENWSE = reinterpret_cast<const char*>(32642);
inline const char* const IDC_SIZENESW = reinterpret_cast<const char*>(32643);
inline const char* const IDC_SIZEWE = reinterpret_cast<const char*>(32644);
inline const char* const IDC_SIZENS = reinterpret_cast<const char*>(32645);
inline const char* const IDC_SIZEALL = reinterpret_cast<const char*>(32646);
inline const char* const IDC_HAND = reinterpret_cast<const char*>(32649);

HCURSOR LoadCursor(HINSTANCE instance, const char* name);
// The shape id (32512 ...) a cursor handle stands for, 0 for none.
int CursorShapeId(HCURSOR cursor);
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
// The display counter: returns the new count; the cursor shows while >= 0.
int ShowCursor(BOOL show);
bool IsCursorShown();
BOOL GetCursorPos(POINT* point);
BOOL SetCursorPos(int x, int y);

// High bit (negative) while the key is down, low bit for toggle keys
// (Caps Lock) while toggled on.
SHORT GetKeyState(int vk);
SHORT GetAsyncKeyState(int vk);

// Raw input, from any thread.
struct RawInput {
  enum class Kind { KeyDown, KeyUp, Text, MouseMove, ButtonDown, ButtonUp, Wheel, AppCommand };
  Kind kind = Kind::MouseMove;
  UINT vk = 0;            // keys
  std::string text;       // Text (UTF-8)
  POINT point{};          // mouse, screen coordinates
  int button = 0;         // 0 left, 1 right, 2 middle
  int wheel_delta = 0;    // multiples of WHEEL_DELTA
  int app_command = 0;    // APPCOMMAND_...
};
void SubmitRawInput(RawInput input);

// Shorthands for tests and backends.
void InjectKeyDown(UINT vk);
void InjectKeyUp(UINT vk);
void InjectKey(UINT vk);  // down then up
void InjectText(const std::string& utf8);
void InjectMouseMove(int x, int y);
void InjectMouseButton(int button, bool down, int x, int y);
void InjectClick(int x, int y, int button = 0);
void InjectWheel(int delta, int x, int y);
void InjectAppCommand(int command);

}  // namespace plat
