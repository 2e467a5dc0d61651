#include <gtest/gtest.h>

#include <unordered_set>

#include "platform/com/guid.h"
#include "platform/com/hresult.h"

namespace {

using plat::GUID;
using plat::ParseGuid;

constexpr GUID kSample = plat::MakeGuid("{01234567-89AB-CDEF-0123-456789ABCDEF}");

TEST(Guid, LayoutFollowsTheTextGroups) {
  static_assert(kSample.Data1 == 0x01234567u);
  static_assert(kSample.Data2 == 0x89AB);
  static_assert(kSample.Data3 == 0xCDEF);
  static_assert(kSample.Data4[0] == 0x01 && kSample.Data4[1] == 0x23);
  static_assert(kSample.Data4[2] == 0x45 && kSample.Data4[7] == 0xEF);
  static_assert(plat::MakeGuid("01234567-89ab-cdef-0123-456789abcdef") == kSample);
  EXPECT_EQ(plat::GuidToString(kSample), "{01234567-89AB-CDEF-0123-456789ABCDEF}");
}

TEST(Guid, ParsesAnyCaseAndFormatsUpperCase) {
  struct Case {
    const char* text;
    const char* formatted;
  };
  const Case cases[] = {
      {"{01234567-89AB-CDEF-0123-456789ABCDEF}", "{01234567-89AB-CDEF-0123-456789ABCDEF}"},
      {"{01234567-89ab-cdef-0123-456789abcdef}", "{01234567-89AB-CDEF-0123-456789ABCDEF}"},
      {"{0123abCD-89aB-cDeF-0123-456789AbCdEf}", "{0123ABCD-89AB-CDEF-0123-456789ABCDEF}"},
      {"{00000000-0000-0000-0000-000000000000}", "{00000000-0000-0000-0000-000000000000}"},
      {"{FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF}", "{FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF}"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const auto guid = ParseGuid(c.text);
    ASSERT_TRUE(guid.has_value());
    EXPECT_EQ(plat::GuidToString(*guid), c.formatted);
    EXPECT_EQ(ParseGuid(plat::GuidToString(*guid)), guid);
  }
}

TEST(Guid, RefusesMalformedText) {
  const char* malformed[] = {
      "",
      "{}",
      "01234567-89AB-CDEF-0123-456789ABCDEF",      // no braces
      "{01234567-89AB-CDEF-0123-456789ABCDEF",     // no closing brace
      "01234567-89AB-CDEF-0123-456789ABCDEF}",     // no opening brace
      "(01234567-89AB-CDEF-0123-456789ABCDEF)",    // wrong brackets
      "{01234567-89AB-CDEF-0123-456789ABCDE}",     // one digit short
      "{01234567-89AB-CDEF-0123-456789ABCDEF0}",   // one digit too many
      "{01234567-89AB-CDEF-0123-456789ABCDEG}",    // not hex
      "{0123456789AB-CDEF-0123-456789ABCDEF-}",    // dash moved
      "{01234567-89AB-CDEF-0123456789ABCDEF-0}",   // last dash moved
      "{01234567_89AB_CDEF_0123_456789ABCDEF}",    // wrong separators
      "{01234567-89AB-CDEF-0123-456789ABCDEF} ",   // trailing space
      " {01234567-89AB-CDEF-0123-456789ABCDEF}",   // leading space
      "{+1234567-89AB-CDEF-0123-456789ABCDEF}",    // sign is not a digit
      "{01234567-89AB-CDEF-0123-45 789ABCDEF}",    // space inside
  };
  for (const char* text : malformed) {
    EXPECT_FALSE(ParseGuid(text).has_value()) << '"' << text << '"';
  }
}

TEST(Guid, ComparesAndHashesByValue) {
  const GUID a = kSample;
  GUID b = kSample;
  EXPECT_EQ(a, b);
  b.Data4[7] += 1;
  EXPECT_NE(a, b);
  EXPECT_LT(a, b);
  std::unordered_set<GUID> set{a, b, kSample};
  EXPECT_EQ(set.size(), 2u);
  EXPECT_TRUE(set.contains(plat::MakeGuid("{01234567-89AB-CDEF-0123-456789ABCDEF}")));
  EXPECT_EQ(plat::GUID_NULL, GUID{});
}

TEST(HResult, CodesAndText) {
  static_assert(plat::FAILED(plat::E_FAIL) && !plat::SUCCEEDED(plat::E_FAIL));
  static_assert(plat::SUCCEEDED(plat::S_FALSE) && plat::SUCCEEDED(plat::S_OK));
  static_assert(plat::HRESULT_FROM_WIN32(0) == plat::S_OK);
  static_assert(plat::HRESULT_FROM_WIN32(5) == plat::E_ACCESSDENIED);
  static_assert(plat::HRESULT_FROM_WIN32(87) == plat::E_INVALIDARG);
  static_assert(plat::HRESULT_FROM_WIN32(2) == plat::MakeHResult(0x80070002));
  EXPECT_EQ(plat::HResultText(plat::REGDB_E_CLASSNOTREG), "0x80040154 (REGDB_E_CLASSNOTREG)");
  EXPECT_EQ(plat::HResultText(plat::MakeHResult(0x80071234)), "0x80071234");
}

}  // namespace
