// The main frame's own geometry rules, kept apart from the window so they can
// be checked as tables: which border a point lies on while the frame is
// windowed, and how a rectangle being dragged to a new size is held to the
// vendor's minimum and to the screen's aspect.
#pragma once

#include "platform/core/types.h"

// Width of the grip along each edge of a windowed frame, in pixels.
inline constexpr int kFrameBorderGrip = 8;

// The hit-test code of a client point within `kFrameBorderGrip` pixels of an
// edge of `client` (HTTOPLEFT, HTBOTTOMLEFT, HTLEFT, HTTOPRIGHT,
// HTBOTTOMRIGHT, HTRIGHT, HTTOP, HTBOTTOM, tried in that order), or
// HTNOWHERE when the point is on no border.
plat::LRESULT FrameBorderHitTest(const plat::RECT& client, plat::POINT point);

// The narrowest the frame may be made by dragging, by vendor.
int MinimumFrameWidth(int vendorId);

// Holds a rectangle being sized by `edge` (WMSZ_*) to the vendor's minimum
// width, the matching minimum height and the screen's aspect; a rectangle
// above the top of the screen is moved down to it first.
void ClampSizingRect(int vendorId, plat::WPARAM edge, int screenWidth, int screenHeight, plat::RECT& rect);
