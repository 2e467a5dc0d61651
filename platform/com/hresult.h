// HRESULT values exchanged between the system's components: a negative value
// is a failure, zero or positive a success.
#pragma once

#include <cstdint>
#include <string>

#include "platform/core/types.h"

namespace plat {

constexpr HRESULT MakeHResult(std::uint32_t bits) { return static_cast<HRESULT>(bits); }

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = MakeHResult(0x80004001);
inline constexpr HRESULT E_NOINTERFACE = MakeHResult(0x80004002);
inline constexpr HRESULT E_POINTER = MakeHResult(0x80004003);
inline constexpr HRESULT E_ABORT = MakeHResult(0x80004004);
inline constexpr HRESULT E_FAIL = MakeHResult(0x80004005);
inline constexpr HRESULT E_UNEXPECTED = MakeHResult(0x8000FFFF);
inline constexpr HRESULT E_ACCESSDENIED = MakeHResult(0x80070005);
inline constexpr HRESULT E_OUTOFMEMORY = MakeHResult(0x8007000E);
inline constexpr HRESULT E_INVALIDARG = MakeHResult(0x80070057);
inline constexpr HRESULT CLASS_E_NOAGGREGATION = MakeHResult(0x80040110);
inline constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = MakeHResult(0x80040111);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = MakeHResult(0x80040154);
inline constexpr HRESULT MK_E_UNAVAILABLE = MakeHResult(0x800401E3);
inline constexpr HRESULT CO_E_NOTINITIALIZED = MakeHResult(0x800401F0);
inline constexpr HRESULT CO_E_DLLNOTFOUND = MakeHResult(0x800401F8);
inline constexpr HRESULT CO_E_ERRORINDLL = MakeHResult(0x800401F9);
inline constexpr HRESULT MK_S_MONIKERALREADYREGISTERED = MakeHResult(0x000401E7);

constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

// A platform error code (as the registry functions return) as an HRESULT.
constexpr HRESULT HRESULT_FROM_WIN32(std::uint32_t error) {
  if (static_cast<HRESULT>(error) <= 0) return static_cast<HRESULT>(error);
  return MakeHResult((error & 0x0000FFFF) | 0x80070000);
}

// "0x80040154 (REGDB_E_CLASSNOTREG)" for known values, the bare hex otherwise.
std::string HResultText(HRESULT hr);

}  // namespace plat
