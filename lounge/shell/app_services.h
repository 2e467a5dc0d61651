// Program-wide services of the application that the skin engine needs from its
// first steps on: the vendor id (which selects layouts, colours and behaviour),
// the colour scheme by vendor, and the lookup of display texts in the string
// table. UI thread only.
#pragma once

#include <string>

#include "platform/core/types.h"

// Vendor ids; 0 until detected or when the machine names no supported vendor.
inline constexpr int VENDOR_NONE = 0;
inline constexpr int VENDOR_VADU = 1;
inline constexpr int VENDOR_DEZAD = 2;
inline constexpr int VENDOR_RUVE = 3;
inline constexpr int VENDOR_RORIDO = 4;

// Image state codes shared by the bitmap loader, the colour scheme and pages.
inline constexpr int STATE_NORMAL = 0;
inline constexpr int STATE_HIGHLIGHTED = 1;
inline constexpr int STATE_PRESSED = 2;
inline constexpr int STATE_DISABLED = 3;

// Reads HKEY_LOCAL_MACHINE "SoftWare\Kestrovia\Marivel" value "Vendor" and
// sets the vendor id by exact, case-sensitive comparison of the name; anything
// else, a missing value or a missing key gives 0. Returns the id set.
int DetectVendor();
int GetVendorId();

// Colour of state code `kind` (0..3) for the current vendor; white for any
// other kind. A COLORREF (0x00BBGGRR).
plat::COLORREF GetSchemeColor(int kind);

// Something that answers display-text lookups by key; the string table is the
// one the program registers.
class IUIStringLookup {
 public:
  // 1 with the text, or 0 when the key is absent (text untouched).
  virtual int Lookup(const std::string& key, std::string& text) const = 0;

 protected:
  ~IUIStringLookup() = default;
};

// Registers the program's string table (not owned; null removes it). The
// application object registers the table it creates and removes it before the
// table goes.
void SetUIStringTable(const IUIStringLookup* table);
// Removes `table` if it is the registered one (a table going away calls this,
// so that no lookup ever reaches a destroyed table).
void UnregisterUIStringTable(const IUIStringLookup* table);

// Looks `key` up in the registered string table; false, with `text`
// unchanged, when no table is registered or it has no such key.
bool LookupUIString(const std::string& key, std::string& text);
// The text of `key`, or an empty text when it has none.
std::string UIStringOrEmpty(const std::string& key);
