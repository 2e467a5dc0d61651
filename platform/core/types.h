// Basic platform types shared by every layer: fixed-width integers under the
// names the system's code uses, geometry records, colour values and handle
// types. Handles are opaque pointer types; each service defines what stands
// behind its own handles.
#pragma once

#include <cstddef>
#include <cstdint>

namespace plat {

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = std::uint32_t;
using INT = int;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using SHORT = std::int16_t;
using USHORT = std::uint16_t;
using LONGLONG = std::int64_t;
using ULONGLONG = std::uint64_t;
using LONG_PTR = std::intptr_t;
using ULONG_PTR = std::uintptr_t;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using DWORD_PTR = std::uintptr_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using HRESULT = std::int32_t;
using ATOM = std::uint16_t;
using WCHAR = char16_t;
using COLORREF = DWORD;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;

struct POINT {
  LONG x = 0;
  LONG y = 0;
  friend bool operator==(const POINT&, const POINT&) = default;
};

struct SIZE {
  LONG cx = 0;
  LONG cy = 0;
  friend bool operator==(const SIZE&, const SIZE&) = default;
};

struct RECT {
  LONG left = 0;
  LONG top = 0;
  LONG right = 0;
  LONG bottom = 0;
  friend bool operator==(const RECT&, const RECT&) = default;
};

// COLORREF is 0x00BBGGRR.
constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) {
  return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) | (static_cast<COLORREF>(b) << 16);
}
constexpr BYTE GetRValue(COLORREF c) { return static_cast<BYTE>(c & 0xFF); }
constexpr BYTE GetGValue(COLORREF c) { return static_cast<BYTE>((c >> 8) & 0xFF); }
constexpr BYTE GetBValue(COLORREF c) { return static_cast<BYTE>((c >> 16) & 0xFF); }

constexpr WORD LOWORD(std::uintptr_t v) { return static_cast<WORD>(v & 0xFFFF); }
constexpr WORD HIWORD(std::uintptr_t v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
constexpr BYTE LOBYTE(std::uintptr_t v) { return static_cast<BYTE>(v & 0xFF); }
constexpr BYTE HIBYTE(std::uintptr_t v) { return static_cast<BYTE>((v >> 8) & 0xFF); }
constexpr DWORD MAKELONG(WORD lo, WORD hi) { return static_cast<DWORD>(lo) | (static_cast<DWORD>(hi) << 16); }
constexpr WPARAM MAKEWPARAM(WORD lo, WORD hi) { return MAKELONG(lo, hi); }
constexpr LPARAM MAKELPARAM(WORD lo, WORD hi) { return static_cast<LPARAM>(MAKELONG(lo, hi)); }
// Signed coordinates packed into an LPARAM (mouse messages).
constexpr int GET_X_LPARAM(LPARAM lp) { return static_cast<SHORT>(LOWORD(static_cast<std::uintptr_t>(lp))); }
constexpr int GET_Y_LPARAM(LPARAM lp) { return static_cast<SHORT>(HIWORD(static_cast<std::uintptr_t>(lp))); }

// Opaque handles. Each is a distinct pointer type so that handles of different
// kinds cannot be mixed up; the owning service defines the object behind it.
#define PLAT_DECLARE_HANDLE(name) \
  struct name##__;                \
  using name = name##__*

PLAT_DECLARE_HANDLE(HWND);
PLAT_DECLARE_HANDLE(HKEY);
PLAT_DECLARE_HANDLE(HINSTANCE);
PLAT_DECLARE_HANDLE(HCURSOR);
PLAT_DECLARE_HANDLE(HICON);
PLAT_DECLARE_HANDLE(HMENU);
PLAT_DECLARE_HANDLE(HDC);
PLAT_DECLARE_HANDLE(HMONITOR);
PLAT_DECLARE_HANDLE(HANDLE);
using HMODULE = HINSTANCE;

#undef PLAT_DECLARE_HANDLE

// Drawing objects share one base so that any of them can be passed where the
// platform takes a generic object (SelectObject, DeleteObject, GetObject).
struct HGDIOBJ__ {
  virtual ~HGDIOBJ__() = default;
};
struct HBITMAP__ : HGDIOBJ__ {};
struct HFONT__ : HGDIOBJ__ {};
struct HBRUSH__ : HGDIOBJ__ {};
struct HPEN__ : HGDIOBJ__ {};
struct HRGN__ : HGDIOBJ__ {};
using HGDIOBJ = HGDIOBJ__*;
using HBITMAP = HBITMAP__*;
using HFONT = HFONT__*;
using HBRUSH = HBRUSH__*;
using HPEN = HPEN__*;
using HRGN = HRGN__*;

}  // namespace plat
