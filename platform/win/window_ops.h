// Internal operations shared between the window-system source files.
#pragma once

#include "platform/win/win_types.h"

namespace plat::win {

// ShowWindow; with `state_only` the window's state (maximised, minimised)
// changes but its visibility does not (used at creation).
BOOL ShowWindowImpl(HWND hwnd, int cmd, bool state_only);
// Starts moving (HTCAPTION) or sizing (border codes) a top-level window with
// the mouse; the drag ends when the left button comes up.
void BeginSizeMove(HWND hwnd, LRESULT hit);
// Makes `top` the active top-level window (null: none).
void ActivateTopLevel(HWND top, WORD how);
// After the active window went away or was hidden: activates the next one.
void ActivateNextTopLevel(HWND leaving);

}  // namespace plat::win
