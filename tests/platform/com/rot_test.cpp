#include <gtest/gtest.h>

#include <cctype>

#include "platform/com/object.h"
#include "platform/com/rot.h"

namespace {

using plat::ComPtr;
using plat::DWORD;

inline constexpr plat::IID IID_IMarker = plat::MakeGuid("{9A0F3E10-0000-4000-8000-0000000000A1}");
struct IMarker : plat::IUnknown {
  virtual int Id() = 0;
};
PLAT_BIND_IID(IMarker, IID_IMarker);

int liveMarkers = 0;

class CMarker : public IMarker {
 public:
  using Interfaces = plat::InterfaceList<IMarker>;
  explicit CMarker(int id) : id_(id) { ++liveMarkers; }
  ~CMarker() { --liveMarkers; }
  int Id() override { return id_; }

 private:
  int id_;
};

int IdOf(const ComPtr<plat::IUnknown>& object) { return object.As<IMarker>()->Id(); }

TEST(RunningObjectTable, ClassMonikerDisplayName) {
  constexpr plat::CLSID clsid = plat::MakeGuid("{0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9}");
  EXPECT_EQ(plat::ClassMonikerDisplayName(clsid), "clsid:0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9:");
}

TEST(RunningObjectTable, RegisterLookUpRevoke) {
  const std::string name = plat::ClassMonikerDisplayName(IID_IMarker);
  {
    auto first = plat::MakeComObject<CMarker>(1);
    auto second = plat::MakeComObject<CMarker>(2);
    DWORD firstCookie = 0;
    DWORD secondCookie = 0;
    ASSERT_EQ(plat::RotRegister(first.Get(), name, &firstCookie), plat::S_OK);
    EXPECT_NE(firstCookie, 0u);
    // A second registration under the same name is kept, and said so.
    EXPECT_EQ(plat::RotRegister(second.Get(), name, &secondCookie), plat::MK_S_MONIKERALREADYREGISTERED);
    EXPECT_NE(secondCookie, firstCookie);

    ComPtr<plat::IUnknown> found;
    // Names compare without regard to case; the older entry answers first.
    std::string lower = name;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    ASSERT_EQ(plat::RotGetObject(lower, &found), plat::S_OK);
    EXPECT_EQ(IdOf(found), 1);

    ASSERT_EQ(plat::RotRevoke(firstCookie), plat::S_OK);
    EXPECT_EQ(plat::RotRevoke(firstCookie), plat::E_INVALIDARG);
    ASSERT_EQ(plat::RotGetObject(name, &found), plat::S_OK);
    EXPECT_EQ(IdOf(found), 2);
    found.Reset();

    ASSERT_EQ(plat::RotRevoke(secondCookie), plat::S_OK);
    plat::IUnknown* none = reinterpret_cast<plat::IUnknown*>(1);
    EXPECT_EQ(plat::RotGetObject(name, &none), plat::MK_E_UNAVAILABLE);
    EXPECT_EQ(none, nullptr);
  }
  EXPECT_EQ(liveMarkers, 0);
}

TEST(RunningObjectTable, KeepsTheObjectAliveUntilRevoked) {
  DWORD cookie = 0;
  {
    auto marker = plat::MakeComObject<CMarker>(7);
    ASSERT_EQ(plat::RotRegister(marker.Get(), "Marivel.Lounge", &cookie), plat::S_OK);
  }
  EXPECT_EQ(liveMarkers, 1);
  ComPtr<plat::IUnknown> found;
  ASSERT_EQ(plat::RotGetObject("marivel.lounge", &found), plat::S_OK);
  EXPECT_EQ(IdOf(found), 7);
  found.Reset();
  ASSERT_EQ(plat::RotRevoke(cookie), plat::S_OK);
  EXPECT_EQ(liveMarkers, 0);
}

TEST(RunningObjectTable, RefusesBadArguments) {
  auto marker = plat::MakeComObject<CMarker>(1);
  DWORD cookie = 99;
  EXPECT_EQ(plat::RotRegister(nullptr, "name", &cookie), plat::E_INVALIDARG);
  EXPECT_EQ(cookie, 0u);
  EXPECT_EQ(plat::RotRegister(marker.Get(), "", &cookie), plat::E_INVALIDARG);
  EXPECT_EQ(plat::RotRegister(marker.Get(), "name", nullptr), plat::E_POINTER);
  EXPECT_EQ(plat::RotGetObject("name", nullptr), plat::E_POINTER);
  EXPECT_EQ(plat::RotRevoke(0), plat::E_INVALIDARG);
  marker.Reset();
  EXPECT_EQ(liveMarkers, 0);
}

}  // namespace
