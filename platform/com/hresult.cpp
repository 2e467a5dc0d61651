#include "platform/com/hresult.h"

#include <cstdio>

namespace plat {
namespace {

const char* HResultName(HRESULT hr) {
  switch (hr) {
    case S_OK: return "S_OK";
    case S_FALSE: return "S_FALSE";
    case E_NOTIMPL: return "E_NOTIMPL";
    case E_NOINTERFACE: return "E_NOINTERFACE";
    case E_POINTER: return "E_POINTER";
    case E_ABORT: return "E_ABORT";
    case E_FAIL: return "E_FAIL";
    case E_UNEXPECTED: return "E_UNEXPECTED";
    case E_ACCESSDENIED: return "E_ACCESSDENIED";
    case E_OUTOFMEMORY: return "E_OUTOFMEMORY";
    case E_INVALIDARG: return "E_INVALIDARG";
    case CLASS_E_NOAGGREGATION: return "CLASS_E_NOAGGREGATION";
    case CLASS_E_CLASSNOTAVAILABLE: return "CLASS_E_CLASSNOTAVAILABLE";
    case REGDB_E_CLASSNOTREG: return "REGDB_E_CLASSNOTREG";
    case MK_E_UNAVAILABLE: return "MK_E_UNAVAILABLE";
    case CO_E_NOTINITIALIZED: return "CO_E_NOTINITIALIZED";
    case CO_E_DLLNOTFOUND: return "CO_E_DLLNOTFOUND";
    case CO_E_ERRORINDLL: return "CO_E_ERRORINDLL";
    case MK_S_MONIKERALREADYREGISTERED: return "MK_S_MONIKERALREADYREGISTERED";
    default: return nullptr;
  }
}

}  // namespace

std::string HResultText(HRESULT hr) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(hr));
  const char* name = HResultName(hr);
  return name ? std::string(hex) + " (" + name + ")" : std::string(hex);
}

}  // namespace plat
