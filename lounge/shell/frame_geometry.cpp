#include "lounge/shell/frame_geometry.h"

#include "lounge/shell/app_services.h"
#include "platform/win/win_types.h"

using plat::RECT;
using plat::WPARAM;

plat::LRESULT FrameBorderHitTest(const RECT& client, plat::POINT p) {
  const bool left = p.x < client.left + kFrameBorderGrip;
  const bool right = p.x >= client.right - kFrameBorderGrip;
  const bool top = p.y < client.top + kFrameBorderGrip;
  const bool bottom = p.y >= client.bottom - kFrameBorderGrip;
  if (left && top) return plat::HTTOPLEFT;
  if (left && bottom) return plat::HTBOTTOMLEFT;
  if (left) return plat::HTLEFT;
  if (right && top) return plat::HTTOPRIGHT;
  if (right && bottom) return plat::HTBOTTOMRIGHT;
  if (right) return plat::HTRIGHT;
  if (top) return plat::HTTOP;
  if (bottom) return plat::HTBOTTOM;
  return plat::HTNOWHERE;
}

int MinimumFrameWidth(int vendorId) {
  switch (vendorId) {
    case VENDOR_VADU: return 944;
    case VENDOR_DEZAD:
    case VENDOR_RORIDO: return 720;
    default: return 800;
  }
}

void ClampSizingRect(int vendorId, WPARAM edge, int screenWidth, int screenHeight, RECT& r) {
  if (screenWidth <= 0 || screenHeight <= 0) return;
  const float aspect = static_cast<float>(screenWidth) / static_cast<float>(screenHeight);
  if (r.top < 0) {
    const int height = r.bottom - r.top;
    r.top = 0;
    r.bottom = height + 1;
  }
  const int minWidth = MinimumFrameWidth(vendorId);
  const int minHeight = static_cast<int>(static_cast<float>(minWidth) / aspect);

  if (r.bottom - r.top <= minHeight) {
    switch (edge) {
      case plat::WMSZ_LEFT:
      case plat::WMSZ_RIGHT:
      case plat::WMSZ_BOTTOM:
      case plat::WMSZ_BOTTOMLEFT:
      case plat::WMSZ_BOTTOMRIGHT: r.bottom = r.top + minHeight; break;
      default: r.top = r.bottom - minHeight; break;
    }
  }
  if (r.right - r.left <= minWidth) {
    switch (edge) {
      case plat::WMSZ_RIGHT:
      case plat::WMSZ_TOP:
      case plat::WMSZ_TOPRIGHT:
      case plat::WMSZ_BOTTOM:
      case plat::WMSZ_BOTTOMRIGHT: r.right = r.left + minWidth; break;
      default: r.left = r.right - minWidth; break;
    }
  }
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  switch (edge) {
    case plat::WMSZ_LEFT:
    case plat::WMSZ_RIGHT:
    case plat::WMSZ_BOTTOMLEFT:
    case plat::WMSZ_BOTTOMRIGHT: r.bottom = r.top + static_cast<int>(static_cast<float>(width) / aspect); break;
    case plat::WMSZ_TOP:
    case plat::WMSZ_BOTTOM:
    case plat::WMSZ_TOPRIGHT: r.right = r.left + static_cast<int>(static_cast<float>(height) * aspect); break;
    case plat::WMSZ_TOPLEFT: r.left = r.right - static_cast<int>(static_cast<float>(height) * aspect); break;
    default: break;
  }
}
