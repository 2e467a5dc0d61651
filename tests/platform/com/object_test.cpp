#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "platform/com/object.h"
#include "platform/com/server.h"
#include "tests/platform/com/ref_count.h"

namespace {

using plat::ComPtr;
using plat::HRESULT;

inline constexpr plat::IID IID_ICounter = plat::MakeGuid("{9A0F3E10-0000-4000-8000-000000000001}");
inline constexpr plat::IID IID_INamed = plat::MakeGuid("{9A0F3E10-0000-4000-8000-000000000002}");
inline constexpr plat::IID IID_INotImplemented = plat::MakeGuid("{9A0F3E10-0000-4000-8000-000000000003}");

struct ICounter : plat::IUnknown {
  virtual int Next() = 0;
};
PLAT_BIND_IID(ICounter, IID_ICounter);

struct INamed : plat::IUnknown {
  virtual const char* Name() = 0;
};
PLAT_BIND_IID(INamed, IID_INamed);

int liveObjects = 0;

class CCounter : public ICounter, public INamed {
 public:
  using Interfaces = plat::InterfaceList<ICounter, INamed>;
  explicit CCounter(int start = 0) : next_(start) { ++liveObjects; }
  ~CCounter() { --liveObjects; }
  int Next() override { return next_++; }
  const char* Name() override { return "counter"; }

 private:
  int next_;
};

class CFailsToConstruct : public ICounter {
 public:
  using Interfaces = plat::InterfaceList<ICounter>;
  CFailsToConstruct() { ++liveObjects; }
  ~CFailsToConstruct() { --liveObjects; }
  HRESULT FinalConstruct() { return plat::E_ABORT; }
  int Next() override { return 0; }
};

class COutOfMemory : public ICounter {
 public:
  using Interfaces = plat::InterfaceList<ICounter>;
  COutOfMemory() { throw std::bad_alloc(); }
  int Next() override { return 0; }
};

class CThrows : public ICounter {
 public:
  using Interfaces = plat::InterfaceList<ICounter>;
  CThrows() { throw std::runtime_error("no"); }
  int Next() override { return 0; }
};

// References counted by what Release returns.
using com_test::RefCount;

TEST(ComObject, QueryInterfaceKnownUnknownAndIdentity) {
  ComPtr<ICounter> counter;
  ASSERT_EQ(plat::CreateComObject<CCounter>(nullptr, IID_PPV_ARGS(&counter), 5), plat::S_OK);
  EXPECT_EQ(counter->Next(), 5);
  EXPECT_EQ(RefCount(counter.Get()), 1u);

  ComPtr<INamed> named = counter.As<INamed>();
  ASSERT_TRUE(named);
  EXPECT_STREQ(named->Name(), "counter");
  EXPECT_EQ(RefCount(counter.Get()), 2u);

  void* missing = reinterpret_cast<void*>(1);
  EXPECT_EQ(counter->QueryInterface(IID_INotImplemented, &missing), plat::E_NOINTERFACE);
  EXPECT_EQ(missing, nullptr);
  EXPECT_EQ(counter->QueryInterface(IID_INamed, nullptr), plat::E_POINTER);

  // Every interface answers IUnknown with the same pointer.
  ComPtr<plat::IUnknown> viaCounter = counter.As<plat::IUnknown>();
  ComPtr<plat::IUnknown> viaNamed = named.As<plat::IUnknown>();
  EXPECT_EQ(viaCounter.Get(), viaNamed.Get());
  EXPECT_EQ(RefCount(counter.Get()), 4u);
}

TEST(ComObject, LastReleaseDestroysAndFreesTheModuleLock) {
  const long locksBefore = plat::ModuleLockCount();
  {
    auto object = plat::MakeComObject<CCounter>(1);
    ASSERT_TRUE(object);
    EXPECT_EQ(liveObjects, 1);
    EXPECT_EQ(plat::ModuleLockCount(), locksBefore + 1);
    ComPtr<ICounter> counter = object;
    object.Reset();
    EXPECT_EQ(liveObjects, 1);
    EXPECT_EQ(counter->Next(), 1);
    EXPECT_EQ(plat::ServerCanUnloadNow(), plat::S_FALSE);
  }
  EXPECT_EQ(liveObjects, 0);
  EXPECT_EQ(plat::ModuleLockCount(), locksBefore);
}

TEST(ComObject, CreationFailuresLeaveNothingBehind) {
  const long locksBefore = plat::ModuleLockCount();
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(plat::CreateComObject<CFailsToConstruct>(nullptr, IID_ICounter, &out), plat::E_ABORT);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(liveObjects, 0);
  EXPECT_FALSE(plat::MakeComObject<CFailsToConstruct>());
  EXPECT_EQ(liveObjects, 0);

  EXPECT_EQ(plat::CreateComObject<COutOfMemory>(nullptr, IID_ICounter, &out), plat::E_OUTOFMEMORY);
  EXPECT_EQ(plat::CreateComObject<CThrows>(nullptr, IID_ICounter, &out), plat::E_FAIL);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(plat::CreateComObject<CCounter>(nullptr, IID_ICounter, nullptr), plat::E_POINTER);
  // An interface the class lacks: the half-made object is released again.
  EXPECT_EQ(plat::CreateComObject<CCounter>(nullptr, IID_INotImplemented, &out), plat::E_NOINTERFACE);
  EXPECT_EQ(liveObjects, 0);
  EXPECT_EQ(plat::ModuleLockCount(), locksBefore);
}

TEST(ComObject, ClassFactoryFollowsTheAggregationRulesAndLocksTheModule) {
  const plat::ClassEntry entry{IID_ICounter, "Counter", &plat::CreateComObject<CCounter>};
  ComPtr<plat::IClassFactory> factory;
  ASSERT_EQ(plat::CreateClassFactory(entry, IID_PPV_ARGS(&factory)), plat::S_OK);
  const long withFactory = plat::ModuleLockCount();

  ComPtr<ICounter> counter;
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_PPV_ARGS(&counter)), plat::S_OK);
  EXPECT_EQ(counter->Next(), 0);
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_ICounter, nullptr), plat::E_POINTER);

  // Only IUnknown may be asked for with an outer object.
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(factory->CreateInstance(counter.Get(), IID_ICounter, &out), plat::CLASS_E_NOAGGREGATION);
  EXPECT_EQ(out, nullptr);

  EXPECT_EQ(factory->LockServer(plat::TRUE), plat::S_OK);
  EXPECT_EQ(plat::ModuleLockCount(), withFactory + 2);
  EXPECT_EQ(factory->LockServer(plat::FALSE), plat::S_OK);
  counter.Reset();
  factory.Reset();
  EXPECT_EQ(plat::ServerCanUnloadNow(), plat::S_OK);
}

TEST(ComPtr, AttachDetachCopyMove) {
  auto object = plat::MakeComObject<CCounter>();
  ComPtr<ICounter> a = object;
  object.Reset();
  EXPECT_EQ(RefCount(a.Get()), 1u);
  {
    ComPtr<ICounter> b = a;
    EXPECT_EQ(RefCount(a.Get()), 2u);
    ComPtr<ICounter> c = std::move(b);
    EXPECT_FALSE(b);
    EXPECT_EQ(RefCount(a.Get()), 2u);
  }
  EXPECT_EQ(RefCount(a.Get()), 1u);

  ICounter* raw = a.Detach();
  EXPECT_FALSE(a);
  EXPECT_EQ(RefCount(raw), 1u);
  ComPtr<ICounter> owner;
  owner.Attach(raw);
  EXPECT_EQ(RefCount(raw), 1u);

  ICounter* copy = nullptr;
  EXPECT_EQ(owner.CopyTo(&copy), plat::S_OK);
  EXPECT_EQ(RefCount(raw), 2u);
  copy->Release();

  // Filling an out parameter releases what was held before.
  ComPtr<ICounter> other;
  ASSERT_EQ(plat::CreateComObject<CCounter>(nullptr, IID_PPV_ARGS(&other)), plat::S_OK);
  EXPECT_EQ(liveObjects, 2);
  ASSERT_EQ(plat::CreateComObject<CCounter>(nullptr, IID_PPV_ARGS(&other)), plat::S_OK);
  EXPECT_EQ(liveObjects, 2);

  EXPECT_FALSE(ComPtr<ICounter>().As<INamed>());
  owner = nullptr;
  other = nullptr;
  EXPECT_EQ(liveObjects, 0);
}

}  // namespace
