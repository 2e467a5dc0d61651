// System metrics and the system parameters the shell reads and sets. Nothing
// desktop-wide is ever changed: settings are remembered for this process.
#pragma once

#include "platform/win/win_types.h"

namespace plat {

inline constexpr int SM_CXSCREEN = 0;
inline constexpr int SM_CYSCREEN = 1;
inline constexpr int SM_CXVSCROLL = 2;
inline constexpr int SM_CYHSCROLL = 3;
inline constexpr int SM_CYCAPTION = 4;
inline constexpr int SM_CXBORDER = 5;
inline constexpr int SM_CYBORDER = 6;
inline constexpr int SM_CXDLGFRAME = 7;
inline constexpr int SM_CYDLGFRAME = 8;
inline constexpr int SM_CXCURSOR = 13;
inline constexpr int SM_CYCURSOR = 14;
inline constexpr int SM_CXFULLSCREEN = 16;
inline constexpr int SM_CYFULLSCREEN = 17;
inline constexpr int SM_MOUSEPRESENT = 19;
inline constexpr int SM_CXMIN = 28;
inline constexpr int SM_CYMIN = 29;
inline constexpr int SM_CXFRAME = 32;
inline constexpr int SM_CYFRAME = 33;
inline constexpr int SM_CXDOUBLECLK = 36;
inline constexpr int SM_CYDOUBLECLK = 37;
inline constexpr int SM_CXMINSPACING = 47;
inline constexpr int SM_CYMINSPACING = 48;
inline constexpr int SM_CXMAXIMIZED = 61;
inline constexpr int SM_CYMAXIMIZED = 62;
inline constexpr int SM_CXDRAG = 68;
inline constexpr int SM_CYDRAG = 69;
inline constexpr int SM_MOUSEWHEELPRESENT = 75;
inline constexpr int SM_XVIRTUALSCREEN = 76;
inline constexpr int SM_YVIRTUALSCREEN = 77;
inline constexpr int SM_CXVIRTUALSCREEN = 78;
inline constexpr int SM_CYVIRTUALSCREEN = 79;
inline constexpr int SM_CMONITORS = 80;
inline constexpr int SM_REMOTESESSION = 0x1000;

int GetSystemMetrics(int index);
UINT GetDoubleClickTime();
BOOL SetDoubleClickTime(UINT ms);

inline constexpr UINT SPI_GETSCREENSAVEACTIVE = 0x0010;
inline constexpr UINT SPI_SETSCREENSAVEACTIVE = 0x0011;
inline constexpr UINT SPI_GETPOWEROFFACTIVE = 0x0054;
inline constexpr UINT SPI_SETPOWEROFFACTIVE = 0x0056;
inline constexpr UINT SPI_SETDRAGFULLWINDOWS = 0x0025;
inline constexpr UINT SPI_GETDRAGFULLWINDOWS = 0x0026;
inline constexpr UINT SPI_GETWORKAREA = 0x0030;
inline constexpr UINT SPI_GETFONTSMOOTHING = 0x004A;
inline constexpr UINT SPI_SETFONTSMOOTHING = 0x004B;
inline constexpr UINT SPIF_UPDATEINIFILE = 0x0001;
inline constexpr UINT SPIF_SENDCHANGE = 0x0002;

// GET calls write a BOOL (or a RECT for the work area) to `pv`; SET calls
// take the value in `ui`. Unknown actions fail with ERROR_INVALID_PARAMETER.
BOOL SystemParametersInfo(UINT action, UINT ui, void* pv, UINT win_ini);

}  // namespace plat
