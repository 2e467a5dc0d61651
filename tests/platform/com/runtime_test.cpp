// The runtime against a real server library: registration by regsvr into a
// hive of the test's own, creation by class id, aggregation across the
// library boundary, unloading, and the failures of broken registrations.
#include <dlfcn.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>
#include <atomic>

#include "platform/com/com.h"
#include "platform/com/registry_keys.h"
#include "tests/platform/com/test_interfaces.h"
#include "tests/platform/com/ref_count.h"
#include "tests/platform/com/tool_runner.h"

namespace {

namespace fs = std::filesystem;
using plat::ComPtr;
using plat::HRESULT;
using plat::com_detail::DeleteKeyTree;
using plat::com_detail::RegKey;
using testing::HasSubstr;

const std::string kRegsvr = COM_TEST_REGSVR;
const std::string kSelfcheck = COM_TEST_SELFCHECK;
const std::string kServer = COM_TEST_SERVER;
const std::string kNoEntryLibrary = COM_TEST_NO_ENTRY;

inline constexpr plat::CLSID CLSID_Unregistered = plat::MakeGuid("{6B1D7C20-4E1A-4C3B-9F51-2A7E0C1D3C01}");
inline constexpr plat::CLSID CLSID_Scratch = plat::MakeGuid("{6B1D7C20-4E1A-4C3B-9F51-2A7E0C1D3C02}");

std::string ClassKey(const plat::CLSID& clsid) { return "CLSID\\" + plat::GuidToString(clsid); }

// Registers `clsid` by hand with `libraryPath`; empty path: the class key only.
void WriteRegistration(const plat::CLSID& clsid, const std::string& libraryPath) {
  RegKey key;
  ASSERT_EQ(key.Create(plat::HKEY_CLASSES_ROOT, ClassKey(clsid)), plat::ERROR_SUCCESS);
  if (libraryPath.empty()) return;
  RegKey server;
  ASSERT_EQ(server.Create(key.Get(), "InprocServer32"), plat::ERROR_SUCCESS);
  ASSERT_EQ(server.SetString("", libraryPath), plat::ERROR_SUCCESS);
  ASSERT_EQ(server.SetString("ThreadingModel", "Both"), plat::ERROR_SUCCESS);
}

std::optional<std::string> ReadDefault(const std::string& path) {
  RegKey key;
  if (key.Open(plat::HKEY_CLASSES_ROOT, path) != plat::ERROR_SUCCESS) return std::nullopt;
  return key.QueryString("");
}

bool ServerIsLoaded() {
  void* handle = dlopen(kServer.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle) dlclose(handle);
  return handle != nullptr;
}

HRESULT Create(const plat::CLSID& clsid, plat::IUnknown* outer, const plat::IID& iid, void** out) {
  return plat::CoCreateInstance(clsid, outer, plat::CLSCTX_INPROC_SERVER, iid, out);
}

using com_test::RefCount;

class ComRuntime : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    char pattern[] = "/tmp/marivel-com-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    hiveDir_ = pattern;
    setenv("MARIVEL_REGISTRY_DIR", hiveDir_.c_str(), 1);
  }
  static void TearDownTestSuite() {
    std::error_code error;
    fs::remove_all(hiveDir_, error);
    unsetenv("MARIVEL_REGISTRY_DIR");
  }

  void SetUp() override {
    ASSERT_EQ(plat::CoInitializeEx(nullptr, plat::COINIT_APARTMENTTHREADED), plat::S_OK);
    const ToolResult registered = RunTool(kRegsvr, {kServer});
    ASSERT_EQ(registered.exitCode, 0) << registered.output;
  }
  void TearDown() override {
    plat::CoFreeUnusedLibraries();
    plat::CoUninitialize();
  }

  static inline std::string hiveDir_;
};

TEST_F(ComRuntime, RegsvrWritesEveryClass) {
  plat::InprocServerInfo info;
  ASSERT_EQ(plat::QueryInprocServer(CLSID_TestTwoFaces, &info), plat::S_OK);
  // The library does not lie beside regsvr: its absolute path is recorded.
  EXPECT_EQ(info.path, fs::canonical(kServer).string());
  EXPECT_EQ(info.threadingModel, "Both");
  ASSERT_EQ(plat::QueryInprocServer(CLSID_TestNested, &info), plat::S_OK);
  EXPECT_EQ(info.threadingModel, "Apartment");
  EXPECT_EQ(ReadDefault(ClassKey(CLSID_TestAggregatable)), "Test Aggregatable");

  EXPECT_EQ(ReadDefault(ClassKey(CLSID_TestTwoFaces) + "\\ProgID"), kTwoFacesProgId);
  EXPECT_EQ(ReadDefault(std::string(kTwoFacesProgId)), "Test TwoFaces");
  EXPECT_EQ(ReadDefault(std::string(kTwoFacesProgId) + "\\CLSID"), plat::GuidToString(CLSID_TestTwoFaces));

  // Registering again replaces, and leaves the hive as it was.
  const std::string hive = hiveDir_ + "/machine.reg";
  std::ifstream before(hive);
  const std::string first((std::istreambuf_iterator<char>(before)), {});
  ASSERT_EQ(RunTool(kRegsvr, {kServer}).exitCode, 0);
  std::ifstream after(hive);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(after)), {}), first);
}

TEST_F(ComRuntime, CreatesByClassIdAndAnswersItsInterfaces) {
  ComPtr<ITestAdder> adder;
  ASSERT_EQ(Create(CLSID_TestTwoFaces, nullptr, IID_PPV_ARGS(&adder)), plat::S_OK);
  int sum = 0;
  ASSERT_EQ(adder->Add(2, 3, &sum), plat::S_OK);
  EXPECT_EQ(sum, 5);

  ComPtr<ITestValue> value = adder.As<ITestValue>();
  ASSERT_TRUE(value);
  value->SetValue(11);
  int read = 0;
  value->GetValue(&read);
  EXPECT_EQ(read, 11);

  void* missing = reinterpret_cast<void*>(1);
  EXPECT_EQ(adder->QueryInterface(plat::IID_IClassFactory, &missing), plat::E_NOINTERFACE);
  EXPECT_EQ(missing, nullptr);
  EXPECT_EQ(adder.As<plat::IUnknown>(), value.As<plat::IUnknown>());

  // Asking for an interface the class lacks fails at creation.
  ComPtr<ITestAdder> noAdder;
  EXPECT_EQ(Create(CLSID_TestAggregatable, nullptr, IID_PPV_ARGS(&noAdder)), plat::E_NOINTERFACE);
  EXPECT_FALSE(noAdder);
  EXPECT_EQ(Create(CLSID_TestTwoFaces, nullptr, IID_ITestAdder, nullptr), plat::E_POINTER);
}

TEST_F(ComRuntime, ServerCreatesObjectsThroughTheProcessRuntime) {
  // The nested class calls CoCreateInstance from inside the library: it only
  // works when the library uses this process's initialisation and registry.
  ComPtr<ITestAdder> nested;
  ASSERT_EQ(Create(CLSID_TestNested, nullptr, IID_PPV_ARGS(&nested)), plat::S_OK);
  int sum = 0;
  ASSERT_EQ(nested->Add(40, 2, &sum), plat::S_OK);
  EXPECT_EQ(sum, 42);
}

// An outer object that aggregates the library's value object.
inline constexpr plat::IID IID_ITestOuter = plat::MakeGuid("{6B1D7C20-4E1A-4C3B-9F51-2A7E0C1D3D01}");
struct ITestOuter : plat::IUnknown {
  virtual int Outer() = 0;
};
PLAT_BIND_IID(ITestOuter, IID_ITestOuter);

int liveOuters = 0;

class COuter : public ITestOuter {
 public:
  using Interfaces = plat::InterfaceList<ITestOuter>;
  COuter() { ++liveOuters; }
  ~COuter() { --liveOuters; }

  HRESULT FinalConstruct() {
    return Create(CLSID_TestAggregatable, static_cast<ITestOuter*>(this), IID_PPV_ARGS(&inner_));
  }
  // What the outer lacks, the inner may have.
  HRESULT FallbackQueryInterface(plat::REFIID iid, void** out) { return inner_->QueryInterface(iid, out); }
  int Outer() override { return 1; }
  plat::IUnknown* Inner() const { return inner_.Get(); }

 private:
  ComPtr<plat::IUnknown> inner_;
};

TEST_F(ComRuntime, AggregatedObjectDelegatesToItsOuter) {
  {
    auto object = plat::MakeComObject<COuter>();
    ASSERT_TRUE(object);
    ComPtr<ITestOuter> outer = object;
    const ComPtr<plat::IUnknown> identity = outer.As<plat::IUnknown>();
    // The outer holds the inner's own unknown, which is not the object's identity.
    EXPECT_NE(object->Inner(), identity.Get());
    object.Reset();

    // The outer answers with the inner's interface.
    ComPtr<ITestValue> value = outer.As<ITestValue>();
    ASSERT_TRUE(value);
    int read = 0;
    ASSERT_EQ(value->GetValue(&read), plat::S_OK);
    EXPECT_EQ(read, 42);

    // The inner's interface answers for the whole object.
    EXPECT_EQ(value.As<ITestOuter>(), outer);
    EXPECT_EQ(value.As<plat::IUnknown>(), identity);

    // References taken through the inner's interface count on the outer.
    const plat::ULONG outerCount = RefCount(outer.Get());
    EXPECT_EQ(RefCount(value.Get()), outerCount);
    value->AddRef();
    EXPECT_EQ(RefCount(outer.Get()), outerCount + 1);
    value->Release();
    EXPECT_EQ(RefCount(outer.Get()), outerCount);

    EXPECT_EQ(liveOuters, 1);
  }
  // The last reference to the outer frees both objects and the library.
  EXPECT_EQ(liveOuters, 0);
  plat::CoFreeUnusedLibraries();
  EXPECT_FALSE(ServerIsLoaded());
}

TEST_F(ComRuntime, AggregationIsRefusedWhereItMust) {
  auto outer = plat::MakeComObject<COuter>();
  ASSERT_TRUE(outer);
  ITestOuter* controlling = outer.Get();
  void* out = reinterpret_cast<void*>(1);
  // The class refuses any outer object.
  EXPECT_EQ(Create(CLSID_TestSolitary, controlling, plat::IID_IUnknown, &out), plat::CLASS_E_NOAGGREGATION);
  EXPECT_EQ(out, nullptr);
  // With an outer object only IUnknown may be asked for.
  EXPECT_EQ(Create(CLSID_TestAggregatable, controlling, IID_ITestValue, &out), plat::CLASS_E_NOAGGREGATION);
  EXPECT_EQ(out, nullptr);
  // Without an outer the solitary class is fine.
  ComPtr<ITestValue> solitary;
  EXPECT_EQ(Create(CLSID_TestSolitary, nullptr, IID_PPV_ARGS(&solitary)), plat::S_OK);
}

TEST_F(ComRuntime, ThreadsMustInitialiseFirst) {
  std::thread([] {
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(Create(CLSID_TestTwoFaces, nullptr, plat::IID_IUnknown, &out), plat::CO_E_NOTINITIALIZED);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(plat::CoInitializeEx(nullptr, plat::COINIT_MULTITHREADED), plat::S_OK);
    EXPECT_EQ(plat::CoInitialize(nullptr), plat::S_FALSE);
    ComPtr<plat::IUnknown> object;
    EXPECT_EQ(Create(CLSID_TestTwoFaces, nullptr, IID_PPV_ARGS(&object)), plat::S_OK);
    object.Reset();
    plat::CoUninitialize();
    // Still initialised once.
    EXPECT_EQ(Create(CLSID_TestTwoFaces, nullptr, IID_PPV_ARGS(&object)), plat::S_OK);
    object.Reset();
    plat::CoUninitialize();
    EXPECT_EQ(Create(CLSID_TestTwoFaces, nullptr, IID_PPV_ARGS(&object)), plat::CO_E_NOTINITIALIZED);
    plat::CoUninitialize();  // unbalanced: ignored
  }).join();
}

TEST_F(ComRuntime, LibraryStaysWhileObjectsOrLocksLive) {
  plat::CoFreeUnusedLibraries();
  ComPtr<plat::IClassFactory> factory;
  ASSERT_EQ(plat::CoGetClassObject(CLSID_TestTwoFaces, plat::CLSCTX_ALL, nullptr, IID_PPV_ARGS(&factory)),
            plat::S_OK);
  ComPtr<ITestAdder> adder;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_PPV_ARGS(&adder)), plat::S_OK);
  ASSERT_EQ(factory->LockServer(plat::TRUE), plat::S_OK);
  factory.Reset();
  adder.Reset();
  plat::CoFreeUnusedLibraries();
  EXPECT_TRUE(ServerIsLoaded());  // locked

  ASSERT_EQ(plat::CoGetClassObject(CLSID_TestTwoFaces, plat::CLSCTX_INPROC_SERVER, nullptr,
                                   IID_PPV_ARGS(&factory)),
            plat::S_OK);
  ASSERT_EQ(factory->LockServer(plat::FALSE), plat::S_OK);
  plat::CoFreeUnusedLibraries();
  EXPECT_TRUE(ServerIsLoaded());  // the factory is an object too
  factory.Reset();
  plat::CoFreeUnusedLibraries();
  EXPECT_FALSE(ServerIsLoaded());

  // And it comes back on demand.
  ASSERT_EQ(Create(CLSID_TestTwoFaces, nullptr, IID_PPV_ARGS(&adder)), plat::S_OK);
  EXPECT_TRUE(ServerIsLoaded());
}

TEST_F(ComRuntime, CreationAndUnloadingRaceSafelyAcrossThreads) {
  // Threads create and drop objects while others unload unused libraries:
  // a library must never be closed under a call into it.
  std::vector<std::thread> threads;
  std::atomic<int> failures{0};
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&failures] {
      plat::CoInitializeEx(nullptr, plat::COINIT_MULTITHREADED);
      for (int i = 0; i < 40; ++i) {
        ComPtr<ITestAdder> adder;
        int sum = 0;
        if (plat::FAILED(Create(CLSID_TestTwoFaces, nullptr, IID_PPV_ARGS(&adder))) ||
            plat::FAILED(adder->Add(i, 1, &sum)) ||
            sum != i + 1) {
          ++failures;
        }
        adder.Reset();
        plat::CoFreeUnusedLibraries();
      }
      plat::CoUninitialize();
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(failures.load(), 0);
}

TEST_F(ComRuntime, BrokenRegistrationsGiveClearErrors) {
  const fs::path notALibrary = fs::path(hiveDir_) / "not-a-library.so";
  std::ofstream(notALibrary) << "plain text\n";
  const std::string missingLibrary = hiveDir_ + "/missing.so";

  struct Case {
    const char* what;
    std::string libraryPath;  // empty: class key without InprocServer32
    plat::CLSID clsid;
    HRESULT expected;
    std::string detail;
  };
  const Case cases[] = {
      {"library file missing", missingLibrary, CLSID_Scratch, plat::CO_E_DLLNOTFOUND, missingLibrary},
      {"no DllGetClassObject", kNoEntryLibrary, CLSID_Scratch, plat::CO_E_ERRORINDLL, "DllGetClassObject"},
      {"not a library", notALibrary.string(), CLSID_Scratch, plat::CO_E_ERRORINDLL, "cannot load"},
      {"no InprocServer32", "", CLSID_Scratch, plat::REGDB_E_CLASSNOTREG, "not registered"},
      {"class not in the library", kServer, CLSID_TestNotInLibrary, plat::CLASS_E_CLASSNOTAVAILABLE,
       "DllGetClassObject"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteRegistration(c.clsid, c.libraryPath);
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(Create(c.clsid, nullptr, plat::IID_IUnknown, &out), c.expected);
    EXPECT_EQ(out, nullptr);
    EXPECT_THAT(plat::CoLastErrorDetail(), HasSubstr(c.detail));
    ASSERT_EQ(DeleteKeyTree(plat::HKEY_CLASSES_ROOT, ClassKey(c.clsid)), plat::ERROR_SUCCESS);
  }

  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(Create(CLSID_Unregistered, nullptr, plat::IID_IUnknown, &out), plat::REGDB_E_CLASSNOTREG);
  EXPECT_EQ(out, nullptr);
  // Only in-process servers exist.
  EXPECT_EQ(plat::CoCreateInstance(CLSID_TestTwoFaces, nullptr, plat::CLSCTX_LOCAL_SERVER, plat::IID_IUnknown, &out),
            plat::REGDB_E_CLASSNOTREG);
  // Success leaves no stale explanation behind.
  ComPtr<plat::IUnknown> object;
  EXPECT_EQ(Create(CLSID_TestTwoFaces, nullptr, IID_PPV_ARGS(&object)), plat::S_OK);
  EXPECT_EQ(plat::CoLastErrorDetail(), "");
}

TEST_F(ComRuntime, RelativePathIsFoundBesideTheExecutable) {
  // The test server is built beside this test executable.
  WriteRegistration(CLSID_TestTwoFaces, fs::path(kServer).filename().string());
  ComPtr<ITestAdder> adder;
  EXPECT_EQ(Create(CLSID_TestTwoFaces, nullptr, IID_PPV_ARGS(&adder)), plat::S_OK)
      << plat::CoLastErrorDetail();
}

TEST_F(ComRuntime, UnregisterRemovesTheClasses) {
  const ToolResult removed = RunTool(kRegsvr, {"-u", kServer});
  ASSERT_EQ(removed.exitCode, 0) << removed.output;
  void* out = reinterpret_cast<void*>(1);
  for (const plat::CLSID& clsid : {CLSID_TestTwoFaces, CLSID_TestAggregatable, CLSID_TestSolitary}) {
    EXPECT_EQ(Create(clsid, nullptr, plat::IID_IUnknown, &out), plat::REGDB_E_CLASSNOTREG);
    EXPECT_EQ(out, nullptr);
  }
  EXPECT_FALSE(ReadDefault(std::string(kTwoFacesProgId)));
  // Unregistering what is not registered is no error.
  EXPECT_EQ(RunTool(kRegsvr, {"-u", kServer}).exitCode, 0);
}

TEST_F(ComRuntime, UnregisterKeepsAProgIdThatAnotherClassTookOver) {
  RegKey progIdClass;
  ASSERT_EQ(progIdClass.Create(plat::HKEY_CLASSES_ROOT, std::string(kTwoFacesProgId) + "\\CLSID"),
            plat::ERROR_SUCCESS);
  ASSERT_EQ(progIdClass.SetString("", plat::GuidToString(CLSID_Scratch)), plat::ERROR_SUCCESS);
  ASSERT_EQ(RunTool(kRegsvr, {"-u", kServer}).exitCode, 0);
  EXPECT_EQ(ReadDefault(std::string(kTwoFacesProgId) + "\\CLSID"), plat::GuidToString(CLSID_Scratch));
}

TEST_F(ComRuntime, RegsvrReportsFailures) {
  ToolResult result = RunTool(kRegsvr, {});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_THAT(result.output, HasSubstr("usage"));
  result = RunTool(kRegsvr, {"-x", kServer});
  EXPECT_EQ(result.exitCode, 1);

  result = RunTool(kRegsvr, {hiveDir_ + "/missing.so"});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_THAT(result.output, HasSubstr("cannot load"));

  result = RunTool(kRegsvr, {kNoEntryLibrary});
  EXPECT_EQ(result.exitCode, 3);
  EXPECT_THAT(result.output, HasSubstr("does not export DllRegisterServer"));
  result = RunTool(kRegsvr, {"-u", kNoEntryLibrary});
  EXPECT_EQ(result.exitCode, 3);
  EXPECT_THAT(result.output, HasSubstr("DllUnregisterServer"));
}

TEST_F(ComRuntime, RegsvrRecordsABareNameForALibraryBesideIt) {
  const fs::path bin = fs::path(hiveDir_) / "bin";
  fs::create_directory(bin);
  const fs::path regsvr = bin / "regsvr";
  const fs::path server = bin / fs::path(kServer).filename();
  fs::copy_file(kRegsvr, regsvr);
  fs::copy_file(kServer, server);
  const ToolResult result = RunTool(regsvr.string(), {server.string()});
  ASSERT_EQ(result.exitCode, 0) << result.output;
  EXPECT_EQ(ReadDefault(ClassKey(CLSID_TestTwoFaces) + "\\InprocServer32"), server.filename().string());
}

TEST_F(ComRuntime, SelfcheckReportsEveryClass) {
  ToolResult result = RunTool(kSelfcheck, {});
  EXPECT_EQ(result.exitCode, 0) << result.output;
  EXPECT_THAT(result.output, HasSubstr(plat::GuidToString(CLSID_TestTwoFaces) + " Test TwoFaces: ok"));
  EXPECT_THAT(result.output, HasSubstr(plat::GuidToString(CLSID_TestNested) + " Test Nested: ok"));
  EXPECT_THAT(result.output, HasSubstr("4 classes, 0 failed"));

  WriteRegistration(CLSID_Scratch, hiveDir_ + "/missing.so");
  result = RunTool(kSelfcheck, {});
  EXPECT_EQ(result.exitCode, 1) << result.output;
  EXPECT_THAT(result.output, HasSubstr(plat::GuidToString(CLSID_Scratch) + ": 0x800401F8 (CO_E_DLLNOTFOUND)"));
  EXPECT_THAT(result.output, HasSubstr("5 classes, 1 failed"));
}

}  // namespace
