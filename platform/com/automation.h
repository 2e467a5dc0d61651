// Automation types: BSTR strings (length-prefixed UTF-16, allocated and
// freed by the Sys* functions), VARIANT_BOOL, the VARIANT subset that dual
// interfaces and event sinks exchange, DISPPARAMS and IDispatch. Header only.
#pragma once

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

#include "platform/com/unknown.h"

namespace plat {

using OLECHAR = char16_t;
using BSTR = OLECHAR*;
using VARIANT_BOOL = SHORT;
using VARTYPE = USHORT;
using DISPID = LONG;
using LCID = DWORD;

inline constexpr VARIANT_BOOL VARIANT_TRUE = -1;
inline constexpr VARIANT_BOOL VARIANT_FALSE = 0;

inline constexpr HRESULT DISP_E_MEMBERNOTFOUND = MakeHResult(0x80020003);
inline constexpr HRESULT DISP_E_UNKNOWNNAME = MakeHResult(0x80020006);
inline constexpr HRESULT DISP_E_NONAMEDARGS = MakeHResult(0x80020007);
inline constexpr HRESULT DISP_E_BADPARAMCOUNT = MakeHResult(0x8002000E);

inline constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x0800;
inline constexpr WORD DISPATCH_METHOD = 1;
inline constexpr WORD DISPATCH_PROPERTYGET = 2;
inline constexpr WORD DISPATCH_PROPERTYPUT = 4;

// ---- BSTR: a 32-bit byte count, then the characters and a terminating 0.

inline BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
  const std::size_t bytes = static_cast<std::size_t>(length) * sizeof(OLECHAR);
  auto* block = static_cast<unsigned char*>(std::malloc(sizeof(std::uint32_t) + bytes + sizeof(OLECHAR)));
  if (!block) return nullptr;
  const auto count = static_cast<std::uint32_t>(bytes);
  std::memcpy(block, &count, sizeof count);
  auto* characters = reinterpret_cast<OLECHAR*>(block + sizeof(std::uint32_t));
  if (text) {
    std::memcpy(characters, text, bytes);
  } else {
    std::memset(characters, 0, bytes);
  }
  characters[length] = 0;
  return characters;
}

inline BSTR SysAllocString(const OLECHAR* text) {
  if (!text) return nullptr;
  return SysAllocStringLen(text, static_cast<UINT>(std::char_traits<OLECHAR>::length(text)));
}

inline UINT SysStringLen(BSTR text) {
  if (!text) return 0;
  std::uint32_t bytes = 0;
  std::memcpy(&bytes, reinterpret_cast<unsigned char*>(text) - sizeof(std::uint32_t), sizeof bytes);
  return bytes / sizeof(OLECHAR);
}

inline void SysFreeString(BSTR text) {
  if (text) std::free(reinterpret_cast<unsigned char*>(text) - sizeof(std::uint32_t));
}

// UTF-8 <-> UTF-16. Malformed UTF-8 bytes become U+FFFD.
inline std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    char32_t code = 0xFFFD;
    std::size_t length = 1;
    if (lead < 0x80) {
      code = lead;
    } else if ((lead >> 5) == 0x6) {
      length = 2;
    } else if ((lead >> 4) == 0xE) {
      length = 3;
    } else if ((lead >> 3) == 0x1E) {
      length = 4;
    }
    if (length > 1) {
      if (i + length > text.size()) {
        length = 1;
      } else {
        char32_t value = lead & (0x7F >> length);
        bool good = true;
        for (std::size_t k = 1; k < length; ++k) {
          const auto next = static_cast<unsigned char>(text[i + k]);
          if ((next >> 6) != 0x2) good = false;
          value = (value << 6) | (next & 0x3F);
        }
        const bool overlong = (length == 2 && value < 0x80) || (length == 3 && value < 0x800) ||
                              (length == 4 && value < 0x10000);
        if (good && !overlong && value <= 0x10FFFF && !(value >= 0xD800 && value <= 0xDFFF)) {
          code = value;
        } else {
          length = 1;
        }
      }
    }
    if (code >= 0x10000) {
      code -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(code));
    }
    i += length;
  }
  return out;
}

inline std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t code = text[i];
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (code >= 0xD800 && code <= 0xDFFF) {
      code = 0xFFFD;
    }
    if (code < 0x80) {
      out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (code >> 6)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (code >> 12)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (code >> 18)));
      out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
  }
  return out;
}

inline BSTR SysAllocStringUtf8(std::string_view text) {
  const std::u16string wide = Utf8ToUtf16(text);
  return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

// The text of a BSTR in UTF-8; a null BSTR is the empty string.
inline std::string BstrToUtf8(BSTR text) { return text ? Utf16ToUtf8({text, SysStringLen(text)}) : std::string(); }

// Owns one BSTR.
class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(std::string_view utf8) : text_(SysAllocStringUtf8(utf8)) {}
  ~Bstr() { SysFreeString(text_); }
  Bstr(Bstr&& other) noexcept : text_(other.text_) { other.text_ = nullptr; }
  Bstr& operator=(Bstr&& other) noexcept {
    if (this != &other) {
      SysFreeString(text_);
      text_ = other.text_;
      other.text_ = nullptr;
    }
    return *this;
  }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;

  BSTR get() const { return text_; }
  // For out parameters: frees the current text first.
  BSTR* out() {
    SysFreeString(text_);
    text_ = nullptr;
    return &text_;
  }
  BSTR detach() {
    BSTR text = text_;
    text_ = nullptr;
    return text;
  }
  std::string utf8() const { return BstrToUtf8(text_); }

 private:
  BSTR text_ = nullptr;
};

// ---- VARIANT: the kinds used here.

inline constexpr VARTYPE VT_EMPTY = 0;
inline constexpr VARTYPE VT_I2 = 2;
inline constexpr VARTYPE VT_I4 = 3;
inline constexpr VARTYPE VT_R8 = 5;
inline constexpr VARTYPE VT_BSTR = 8;
inline constexpr VARTYPE VT_DISPATCH = 9;
inline constexpr VARTYPE VT_BOOL = 11;
inline constexpr VARTYPE VT_UNKNOWN = 13;

struct IDispatch;

struct VARIANT {
  VARTYPE vt = VT_EMPTY;
  union {
    LONG lVal;
    SHORT iVal;
    double dblVal;
    VARIANT_BOOL boolVal;
    BSTR bstrVal;
    IUnknown* punkVal;
    IDispatch* pdispVal;
  };
  VARIANT() : dblVal(0) {}
};

struct DISPPARAMS {
  VARIANT* rgvarg = nullptr;  // arguments in reverse order
  DISPID* rgdispidNamedArgs = nullptr;
  UINT cArgs = 0;
  UINT cNamedArgs = 0;
};

struct EXCEPINFO;
struct ITypeInfo;

inline constexpr IID IID_IDispatch = MakeGuid("{00020400-0000-0000-C000-000000000046}");

struct IDispatch : IUnknown {
  virtual HRESULT GetTypeInfoCount(UINT* count) = 0;
  virtual HRESULT GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) = 0;
  virtual HRESULT GetIDsOfNames(REFIID iid, OLECHAR** names, UINT count, LCID locale, DISPID* ids) = 0;
  virtual HRESULT Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                         EXCEPINFO* exception, UINT* argumentError) = 0;

 protected:
  ~IDispatch() = default;
};
PLAT_BIND_IID(IDispatch, IID_IDispatch);

}  // namespace plat
