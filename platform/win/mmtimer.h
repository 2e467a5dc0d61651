// A stand-in for the multimedia timer: periodic or one-shot events on the
// process clock whose callbacks run on a timer thread of their own. The
// callback must not block on the UI thread; it posts to it.
#pragma once

#include "platform/core/types.h"

namespace plat {

using LPTIMECALLBACK = void (*)(UINT id, UINT msg, DWORD_PTR user, DWORD_PTR dw1, DWORD_PTR dw2);
using MMRESULT = UINT;

inline constexpr UINT TIME_ONESHOT = 0x0000;
inline constexpr UINT TIME_PERIODIC = 0x0001;
inline constexpr UINT TIME_CALLBACK_FUNCTION = 0x0000;
inline constexpr MMRESULT TIMERR_NOERROR = 0;
inline constexpr MMRESULT TIMERR_NOCANDO = 97;
inline constexpr MMRESULT MMSYSERR_INVALPARAM = 11;

// Returns the event id, 0 on failure (no callback, zero delay, or a flag
// this stand-in does not support).
MMRESULT timeSetEvent(UINT delay_ms, UINT resolution_ms, LPTIMECALLBACK callback, DWORD_PTR user, UINT flags);
// After it returns the callback does not start again; when called from
// another thread while the callback runs it waits for it to finish.
MMRESULT timeKillEvent(UINT id);
DWORD timeGetTime();

}  // namespace plat
