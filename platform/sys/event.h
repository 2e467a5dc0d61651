// Events and waits on kernel objects, with time-outs on the process clock.
#pragma once

#include <functional>
#include <span>

#include "platform/core/types.h"
#include "platform/sys/handles.h"

namespace plat {

inline constexpr DWORD INFINITE = 0xFFFFFFFFu;
inline constexpr DWORD WAIT_OBJECT_0 = 0;
inline constexpr DWORD WAIT_ABANDONED = 0x80;
inline constexpr DWORD WAIT_TIMEOUT = 258;
inline constexpr DWORD WAIT_FAILED = 0xFFFFFFFFu;
inline constexpr DWORD MAXIMUM_WAIT_OBJECTS = 64;

// `name` is accepted and ignored: events are not shared between processes.
HANDLE CreateEvent(void* security, BOOL manual_reset, BOOL initial_state, const char* name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);

DWORD WaitForSingleObject(HANDLE handle, DWORD timeout_ms);
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL wait_all, DWORD timeout_ms);
// Waits on the clock (with a manual clock: until the clock is advanced far
// enough); Sleep(0) yields the processor.
void Sleep(DWORD ms);

// The wait underneath: returns the index of a signalled handle, or
// handles.size() when an extra descriptor polls readable or `ready` says so
// (checked before every sleep), or WAIT_TIMEOUT / WAIT_FAILED. With wait_all,
// all handles must be signalled at once (acquired together).
DWORD WaitForHandlesOrFds(std::span<const HANDLE> handles, bool wait_all, DWORD timeout_ms,
                          std::span<const int> extra_fds, const std::function<bool()>& ready);

}  // namespace plat
