// The boot selection as the registry keeps it: HKEY_CURRENT_USER
// "SoftWare\Kestrovia\Marivel" value "Always PC Mode" (DWORD 0 or 1), which
// the session start-up reads to decide whether the program starts at all.
#pragma once

#include <optional>

#include "platform/core/types.h"

inline constexpr const char* kBootSelectionKey = "SoftWare\\Kestrovia\\Marivel";
inline constexpr const char* kAlwaysPcModeValue = "Always PC Mode";

// The boot selection (1 start into the program, 2 to the desktop) read from
// the registry; a missing value is written as 0 first. nullopt when the key
// cannot be opened or created.
std::optional<int> ReadBootSelection();
// Writes "Always PC Mode"; false when the registry refuses.
bool WriteAlwaysPcMode(plat::DWORD value);
