// The running-object table of the process: objects registered under a moniker
// display name (such as a class moniker's "clsid:...:") so that other parts of
// the process can find them. The table holds a reference until revoked.
#pragma once

#include <string>
#include <string_view>

#include "platform/com/unknown.h"
#include "platform/com/visibility.h"

namespace plat {

// "clsid:XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX:" (upper case, no braces).
std::string ClassMonikerDisplayName(REFCLSID clsid);

// Registers `object` under `displayName` (names compare without regard to
// case). S_OK, or MK_S_MONIKERALREADYREGISTERED when the name was taken
// already (the new entry is kept too; lookups find the older one first).
// E_INVALIDARG for a null object or empty name, E_POINTER for a null cookie.
PLAT_COM_API HRESULT RotRegister(IUnknown* object, std::string_view displayName, DWORD* cookie);
// Drops the entry and its reference; E_INVALIDARG for an unknown cookie.
PLAT_COM_API HRESULT RotRevoke(DWORD cookie);
// A new reference on the object registered under `displayName`, or MK_E_UNAVAILABLE.
PLAT_COM_API HRESULT RotGetObject(std::string_view displayName, IUnknown** object);

}  // namespace plat
