// The authoring controller with the real engine on a virtual writer: files
// chosen in the dialog become a data disc through "Authoring Entry",
// "Authoring Return" and "Authoring Burn", the engine's status reaches the
// job's fields on this thread, and an element gone before the burn writes
// nothing.
#include <chrono>
#include <filesystem>
#include <thread>

#include "outside/authoring/authoring_engine.h"
#include "platform/registry/registry.h"
#include "tests/corebridge/authoring/authoring_test_support.h"
#include "tests/outside/authoring/iso_reader.h"

namespace authoring_test {
namespace {

namespace fs = std::filesystem;

class AuthoringEngineFlowTest : public AuthoringTest {
 protected:
  void SetUp() override {
    AuthoringTest::SetUp();
    ASSERT_TRUE(SUCCEEDED(plat::CreateComObject<CAuthoringEngine>(
        nullptr, IID_IAuthoringEngine, reinterpret_cast<void**>(real_.ReleaseAndGetAddressOf()))));
    core_->services = [this](const IID& iid, void** out) -> HRESULT {
      if (iid == IID_IAuthoringEngine) return real_->QueryInterface(iid, out);
      return E_NOINTERFACE;
    };
    authoringPage_.job = &Job();
    fs::create_directories(env_.path("writer"));
    image_ = env_.path("writer/disc.iso");
    const std::string key = std::string(CConfig::kRegistryKey) + "\\VirtualDrives\\D";
    HKEY k = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    for (const auto& [name, value] : {std::pair<std::string, std::string>{"Path", image_}, {"Type", "cdrom"}})
      RegSetValueExA(k, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>(value.size() + 1));
    const DWORD one = 1;
    RegSetValueExA(k, "Writer", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
    RegCloseKey(k);
  }
  void TearDown() override {
    AuthoringTest::TearDown();
    real_.Reset();
  }
  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = env_.path(name);
    fs::create_directories(fs::path(path).parent_path());
    test_support::WriteFile(path, bytes);
    return path;
  }
  bool PumpUntil(const std::function<bool()>& done) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (!done()) {
      if (std::chrono::steady_clock::now() > until) return false;
      Pump();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
  }
  // Chooses `files` in the Photo module's dialog and sets up a data disc.
  void Prepare(const std::vector<std::string>& files) {
    ChooseFiles(files);
    Config().m_nActiveModule = MODULE_PHOTO;
    ASSERT_EQ(Act("Authoring Entry"), S_OK);
    Job().m_nDiscType = AUTHORING_DISC_DATACD;
    Act("Authoring Return");
  }

  ComPtr<IAuthoringEngine> real_;
  std::string image_;
};

TEST_F(AuthoringEngineFlowTest, ChosenFilesBecomeADataDiscAndTheStatusReachesTheJob) {
  const std::string first = Write("pick/Fête – 1.jpg", std::string(200000, 'p'));
  const std::string second = Write("pick/写真.jpg", "tiny");
  Prepare({first, second});
  EXPECT_EQ(Act("Authoring Burn"), E_FAIL);  // the handler answers 0; the job runs on
  ASSERT_TRUE(PumpUntil([&] { return Job().m_nStage >= kAuthoringStageDone; })) << "the job did not end";
  EXPECT_EQ(Job().m_nStage, kAuthoringStageDone);

  const IsoContents disc = ReadIso(image_);
  ASSERT_TRUE(disc.ok);
  EXPECT_EQ(disc.files.size(), 2u);
  EXPECT_EQ(disc.files.at("Fête – 1.jpg"), std::string(200000, 'p'));
  EXPECT_EQ(disc.files.at("写真.jpg"), "tiny");

  // Every status was copied in before the page redrew; stages only move on.
  ASSERT_FALSE(authoringPage_.stages.empty());
  for (std::size_t i = 1; i < authoringPage_.stages.size(); ++i) {
    EXPECT_GE(authoringPage_.stages[i].stage, authoringPage_.stages[i - 1].stage);
    EXPECT_GE(authoringPage_.stages[i].elapsed, authoringPage_.stages[i - 1].elapsed);
  }
  EXPECT_EQ(authoringPage_.stages.back().stage, kAuthoringStageDone);
  EXPECT_GT(Job().m_llTotalBytes, 200000);
  // The work folder holds nothing of the job.
  std::error_code ec;
  EXPECT_TRUE(!fs::exists(AuthoringWorkFolder()) || fs::is_empty(AuthoringWorkFolder(), ec));
}

TEST_F(AuthoringEngineFlowTest, AnElementGoneBeforeTheBurnWritesNothing) {
  test_support::WriteFile(image_, "previous disc");
  const std::string kept = Write("pick/a.jpg", "aaaa");
  const std::string gone = Write("pick/b.jpg", "bbbb");
  Prepare({kept, gone});
  fs::remove(gone);
  Act("Authoring Burn");
  for (int i = 0; i < 50; ++i) {
    Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_NE(Job().m_nStage, kAuthoringStageDone);
  EXPECT_EQ(test_support::ReadFile(image_), "previous disc");
}

}  // namespace
}  // namespace authoring_test
