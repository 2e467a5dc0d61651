#include <dlfcn.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "corebridge/core/movie_config.h"
#include "corebridge/core/registry_key.h"
#include "platform/com/server.h"
#include "platform/registry/registry.h"
#include "tests/corebridge/bridge/bridge_test_support.h"

namespace bridge_test {
namespace {

using UISystemTest = BridgeTest;

TEST_F(UISystemTest, SettersAndQueriesBeforeStart) {
  CConfig* config = nullptr;
  EXPECT_EQ(system_->GetConfig(&config), S_OK);
  EXPECT_EQ(config, system_->Config());
  CScheduleList* list = nullptr;
  EXPECT_EQ(system_->GetScheduleList(&list), S_OK);
  EXPECT_NE(list, nullptr);
  EXPECT_EQ(system_->SetUICallback(&frame_), 1);  // 1, not S_OK
  EXPECT_EQ(system_->SetHomePageCallback(&home_), S_OK);
  int kind = -1;
  EXPECT_EQ(system_->GetDriveInfo(2, &kind), E_FAIL);  // no core object yet
  EXPECT_EQ(kind, -1);
  // Before Start the system messages are refused, other messages left alone.
  EXPECT_EQ(system_->OnSystemMessage(nullptr, WM_POWERBROADCAST, PBT_APMSUSPEND, 0), E_FAIL);
  EXPECT_EQ(system_->OnSystemMessage(nullptr, WM_DISPLAYCHANGE, 32, 0), E_FAIL);
  EXPECT_EQ(system_->OnSystemMessage(nullptr, WM_PAINT, 0, 0), E_NOTIMPL);
  EXPECT_EQ(system_->OnSystemMessage(nullptr, WM_KEYDOWN, 'A', 0), E_NOTIMPL);
}

TEST_F(UISystemTest, StartCreatesTheCoreObjectOnceAndConnectsItsServices) {
  core_ = nullptr;
  ASSERT_EQ(system_->Start(), S_OK);
  EXPECT_EQ(system_->IsStarted(), 1);
  EXPECT_EQ(coreCreations_, 1);
  ASSERT_NE(core_, nullptr);
  EXPECT_TRUE(core_->keys->Started());
  EXPECT_EQ(core_->keys->Sink(), system_->KeyDispatchSink());
  ASSERT_NE(system_->HiddenWindow(), nullptr);
  EXPECT_TRUE(IsWindow(system_->HiddenWindow()->Handle()));
  // Mute and volume of the audio service are read into the configuration.
  EXPECT_EQ(Config().m_bMute, 0);
  EXPECT_FLOAT_EQ(Config().m_fVolume, 0.5f);
  // A second Start keeps the core object.
  ASSERT_EQ(system_->Start(), S_OK);
  EXPECT_EQ(coreCreations_, 1);
  EXPECT_EQ(system_->OnSystemMessage(nullptr, WM_PAINT, 0, 0), E_NOTIMPL);
}

TEST_F(UISystemTest, StartPreparesTheDvdEngineOfTheCoreObject) {
  dvdEngine_ = true;
  ASSERT_EQ(system_->Start(), S_OK);
  ASSERT_NE(core_, nullptr);
  EXPECT_EQ(core_->dvd->op102Calls, 1);
}

// The DVD engine's audio outputs (which start GStreamer) are asked once the
// start-up is over, or at once by a Movie entry that comes first.
TEST_F(UISystemTest, TheDvdAudioOutputsAreAskedAfterTheStart) {
  dvdEngine_ = true;
  ASSERT_EQ(system_->Start(), S_OK);
  EXPECT_TRUE(Config().m_pMovie->m_arrSpeakers.empty());
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (Config().m_pMovie->m_arrSpeakers.empty() && std::chrono::steady_clock::now() < deadline) {
    Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(Config().m_pMovie->m_arrSpeakers, (std::vector<std::uint32_t>{1, 3, 4, 5}));
  system_->Stop();

  // Started again and entered at once: the entry asks.
  Config().m_pMovie->m_arrSpeakers.clear();
  ASSERT_EQ(system_->Start(), S_OK);
  EXPECT_TRUE(Config().m_pMovie->m_arrSpeakers.empty());
  system_->ExecuteAction("Movie Entry", 0, 0);
  EXPECT_EQ(Config().m_pMovie->m_arrSpeakers, (std::vector<std::uint32_t>{1, 3, 4, 5}));
}

TEST_F(UISystemTest, AFailingCoreObjectFailsStart) {
  coreFailure_ = REGDB_E_CLASSNOTREG;
  EXPECT_EQ(system_->Start(), REGDB_E_CLASSNOTREG);
  EXPECT_EQ(system_->IsStarted(), 0);
  EXPECT_EQ(system_->HiddenWindow(), nullptr);
  EXPECT_EQ(system_->OnSystemMessage(nullptr, WM_POWERBROADCAST, PBT_APMSUSPEND, 0), E_FAIL);
  // Actions still run; those needing the core object do nothing.
  EXPECT_EQ(system_->ExecuteAction("Vol Up", 0, 0), E_FAIL);
}

TEST_F(UISystemTest, StopGivesVolumeBackBeforeReleasingAndSavesConfigLast) {
  Start();
  ComPtr<ComObject<CMemoryAudio>> audio = core_->audio;  // outlives the core object
  Config().m_bMute = 1;
  Config().m_fVolume = 0.25f;
  Config().m_nActiveModule = MODULE_TV;
  const std::string configFile = Config().ConfigFilePath();
  std::filesystem::remove(configFile);
  EXPECT_EQ(system_->Stop(), S_OK);
  EXPECT_EQ(system_->IsStarted(), 0);
  EXPECT_FALSE(system_->HasCoreObject());
  EXPECT_EQ(system_->HiddenWindow(), nullptr);
  int mute = 0;
  float volume = 0;
  audio->GetSpeakersLineState(0, &mute, &volume, nullptr);
  EXPECT_EQ(mute, 1);
  EXPECT_FLOAT_EQ(volume, 0.25f);
  EXPECT_TRUE(Stepped("TVStopModule"));
  EXPECT_TRUE(frame_.calls.empty());  // no on-screen text while stopping
  EXPECT_TRUE(std::filesystem::exists(configFile));
  // After Stop the actions that need the core object do nothing.
  EXPECT_EQ(system_->ExecuteAction("Vol Mute", 0, 0), E_FAIL);
  int kind = 0;
  EXPECT_EQ(system_->GetDriveInfo(0, &kind), E_FAIL);
  EXPECT_EQ(system_->OnSystemMessage(nullptr, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0), E_FAIL);
  // Start after Stop creates a new core object.
  ASSERT_EQ(system_->Start(), S_OK);
  EXPECT_EQ(coreCreations_, 2);
}

TEST_F(UISystemTest, StopSavesConfigEvenWithoutALoadAndStartReadsIt) {
  Start();
  Config().m_nOsdDuration = 7;
  system_->Stop();
  std::ifstream in(Config().ConfigFilePath());
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(text.str().find("CONFIGURATION"), std::string::npos);
  Config().m_nOsdDuration = 2;
  ASSERT_EQ(system_->Start(), S_OK);
  EXPECT_EQ(Config().m_nOsdDuration, 7);
}

TEST_F(UISystemTest, RegistryValuesReadAtStart) {
  CRegistryKey key(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(key.Create(HKEY_LOCAL_MACHINE, CConfig::kRegistryKey));
  key.SetDword("InitVolume", 20);
  key.SetDword("LCDControl", 1);
  key.Close();
  RemoteWindow remote;
  remote.brightness = 6;
  Start();
  EXPECT_EQ(system_->VolumeSteps(), 20);
  EXPECT_EQ(system_->LcdBrightnessLevel(), 6);
  // The per-user key exists after Start.
  CRegistryKey user(HKEY_CURRENT_USER);
  EXPECT_TRUE(user.Open(HKEY_CURRENT_USER, CConfig::kRegistryKey, true));
}

TEST_F(UISystemTest, VendorOneSetsTheWideDisplayMode) {
  frame_.vendor = 1;
  Start();
  EXPECT_EQ(Config().m_nDisplayMode, 2);
}

TEST_F(UISystemTest, AudioChangeNoticeUpdatesTheLiveValues) {
  Start();
  core_->audio->SetSpeakersMute(0, 1);
  core_->audio->SetSpeakersVolume(0, 0.8f);
  EXPECT_EQ(system_->CoreAudioSink()->OnMixerChange(), 1);
  EXPECT_EQ(Config().m_bCurMute, 1);
  EXPECT_FLOAT_EQ(Config().m_fCurVolume, 0.8f);
  EXPECT_TRUE(frame_.Saw("NotifyPlaybackBar 0"));
}

TEST_F(UISystemTest, PhotoNoticeSinkFollowsTheAppFlag) {
  frame_.flags = 0x40;
  Start();
  EXPECT_EQ(core_->drives->PhotoSink(), system_->PhotoNotifySink());
  ComPtr<ComObject<CDriveEnumerator>> drives = core_->drives;
  system_->Stop();
  EXPECT_EQ(drives->PhotoSink(), nullptr);
}

// The server as the program loads it: its class factory, aggregation and the
// IUISystem interface.
TEST(CorebridgeServer, ClassFactoryMakesAggregatableObjects) {
  settings_test::TempEnvironment env;
  const std::string path = std::string(MARIVEL_TEST_BIN_DIR) + "/corebridge.so";
  void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << ::dlerror();
  auto getClassObject = reinterpret_cast<DllGetClassObjectFn>(::dlsym(library, "DllGetClassObject"));
  ASSERT_NE(getClassObject, nullptr);
  {
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(getClassObject(CLSID_UISystem, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    ComPtr<IUISystem> system;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUISystem, reinterpret_cast<void**>(&system)), S_OK);
    CConfig* config = nullptr;
    EXPECT_EQ(system->GetConfig(&config), S_OK);
    EXPECT_NE(config, nullptr);
    // Inside an outer object only the inner unknown may be asked for.
    struct Outer final : IUnknown {
      HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
      ULONG AddRef() override { return 2; }
      ULONG Release() override { return 1; }
    } outer;
    ComPtr<IUnknown> inner;
    EXPECT_EQ(factory->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&inner)), S_OK);
    ComPtr<IUISystem> aggregated;
    EXPECT_EQ(inner->QueryInterface(IID_IUISystem, reinterpret_cast<void**>(&aggregated)), S_OK);
    EXPECT_EQ(factory->CreateInstance(&outer, IID_IUISystem, reinterpret_cast<void**>(&system)), CLASS_E_NOAGGREGATION);
  }
  ::dlclose(library);
}

}  // namespace
}  // namespace bridge_test
