// The authoring controller with the real engine on a virtual writer: files
// chosen in the dialog become a data disc or a photo DVD through
// "Authoring Entry", "Authoring Return" and "Authoring Burn", the engine's
// status reaches the job's fields on this thread, and an element gone before
// the burn writes nothing.
#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "outside/authoring/authoring_engine.h"
#include "platform/registry/registry.h"
#include "tests/corebridge/authoring/authoring_test_support.h"
#include "tests/outside/authoring/iso_reader.h"

namespace authoring_test {
namespace {

namespace fs = std::filesystem;

std::string Fixture(const std::string& name) {
  static const bool built = [] {
    const std::string command = std::string(AUTHORING_FIXTURE_SCRIPT) + " " + AUTHORING_FIXTURE_DIR;
    return std::system(command.c_str()) == 0;
  }();
  EXPECT_TRUE(built);
  return std::string(AUTHORING_FIXTURE_DIR) + "/" + name;
}

struct DvdTitles {
  bool ok = false;
  int titles = 0;
  int chapters = 0;
  int seconds = 0;
};

DvdTitles ReadDvd(const std::string& path) {
  DvdTitles d;
  dvd_reader_t* dvd = DVDOpen(path.c_str());
  if (!dvd) return d;
  if (ifo_handle_t* vmg = ifoOpen(dvd, 0)) {
    d.titles = vmg->tt_srpt->nr_of_srpts;
    if (d.titles > 0) {
      const title_info_t& title = vmg->tt_srpt->title[0];
      d.chapters = title.nr_of_ptts;
      if (ifo_handle_t* vts = ifoOpen(dvd, title.title_set_nr)) {
        const dvd_time_t& t = vts->vts_pgcit->pgci_srp[0].pgc->playback_time;
        const auto bcd = [](std::uint8_t v) { return (v >> 4) * 10 + (v & 0x0F); };
        d.seconds = bcd(t.hour) * 3600 + bcd(t.minute) * 60 + bcd(t.second);
        ifoClose(vts);
      }
    }
    ifoClose(vmg);
    d.ok = true;
  }
  DVDClose(dvd);
  return d;
}

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
  void Prepare(const std::vector<std::string>& files, int discType = AUTHORING_DISC_DATACD) {
    ChooseFiles(files);
    Config().m_nActiveModule = MODULE_PHOTO;
    ASSERT_EQ(Act("Authoring Entry"), S_OK);
    Job().m_nDiscType = discType;
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

TEST_F(AuthoringEngineFlowTest, ThreePhotosBecomeADvdTitleOfAChapterEachForThePictureDuration) {
  ::setenv("LC_ALL", "en_GB.UTF-8", 1);  // PAL
  Config().m_pPhoto->m_nSlideDuration = 4;
  Job().m_nVideoQuality = 1;  // the DVD's high quality
  Prepare({Fixture("photo1.jpg"), Fixture("turned.jpg"), Fixture("photo.bmp")}, AUTHORING_DISC_DVD);
  Act("Authoring Burn");
  ASSERT_TRUE(PumpUntil([&] { return Job().m_nStage >= kAuthoringStageDone; })) << "the job did not end";
  ::unsetenv("LC_ALL");
  ASSERT_EQ(Job().m_nStage, kAuthoringStageDone);
  const DvdTitles dvd = ReadDvd(image_);
  ASSERT_TRUE(dvd.ok);
  EXPECT_EQ(dvd.titles, 1);
  EXPECT_EQ(dvd.chapters, 3);
  EXPECT_NEAR(dvd.seconds, 12, 1);
  // The authored folder is kept: "Authoring BurnDVDFolder" burns it again.
  fs::remove(image_);
  EXPECT_EQ(Act("Authoring BurnDVDFolder"), S_OK);
  Job().m_nStage = 0;
  ASSERT_TRUE(PumpUntil([&] { return Job().m_nStage >= kAuthoringStageDone; })) << "the second burn did not end";
  EXPECT_EQ(ReadDvd(image_).chapters, 3);
}

}  // namespace
}  // namespace authoring_test
