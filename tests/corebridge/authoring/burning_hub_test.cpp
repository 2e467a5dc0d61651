// The burning hub: its entry and refusals, the modules it opens to choose
// files with "Burning Go Back Door" as the way back, and what coming back
// leaves in the hub.
#include <filesystem>

#include "corebridge/core/video_config.h"
#include "interfaces/chosen_files.h"
#include "tests/corebridge/authoring/authoring_test_support.h"

namespace authoring_test {
namespace {

namespace fs = std::filesystem;

using Calls = std::vector<std::string>;

class BurningHubTest : public AuthoringTest {
 protected:
  void SetUp() override {
    AuthoringTest::SetUp();
    Config().m_aFeatureWords[FEATURE_ROOT] = 0x10;
    stick_ = env_.path("stick");
    fs::create_directories(stick_);
    VolumeInfo removable;
    removable.letter = 'E';
    removable.type = DRIVE_REMOVABLE;
    removable.root = stick_;
    removable.isVirtual = true;
    VolumeInfo optical;
    optical.letter = 'D';
    optical.type = DRIVE_CDROM;
    optical.root = env_.path("disc");
    optical.isVirtual = true;
    volumes_->volumes = {removable, optical};
  }
  HRESULT EnterOn(const char* root) { return Act("Burning Enter Other Module", reinterpret_cast<std::intptr_t>(root)); }

  std::string stick_;
};

TEST_F(BurningHubTest, EntrySetsTheBurnTitleAndChoicesOnlyWhenBurningIsOffered) {
  ASSERT_EQ(Act("Burning Entry"), S_OK);
  EXPECT_EQ(Hub().m_strTitleImage, "Layout\\Img\\Common\\Title_Burn.BMP");
  EXPECT_EQ(Hub().m_arrChoices, (Calls{"Burn video", "Burn music", "Burn photos"}));
  EXPECT_EQ(Config().m_nActiveModule, MODULE_BURNING);
  EXPECT_EQ(recordPage_.calls, (Calls{"ShowRecordPage"}));
  EXPECT_TRUE(frame_.Saw("NotifyCaptionBar 1"));

  // Bit 4 of the root feature word off: refused, nothing changes.
  Config().m_nActiveModule = MODULE_NONE;
  Hub().m_strTitleImage.clear();
  recordPage_.calls.clear();
  for (int word : {0, 0x0f, 0x20, 0x08}) {
    Config().m_aFeatureWords[FEATURE_ROOT] = word;
    EXPECT_EQ(Act("Burning Entry"), E_FAIL) << word;
  }
  EXPECT_EQ(Config().m_nActiveModule, MODULE_NONE);
  EXPECT_TRUE(Hub().m_strTitleImage.empty());
  EXPECT_TRUE(recordPage_.calls.empty());
  // "RootFeatureset" absent reads as all bits.
  Config().m_aFeatureWords[FEATURE_ROOT] = -1;
  EXPECT_EQ(Act("Burning Entry"), S_OK);
}

TEST_F(BurningHubTest, EnteringAModuleRefusesEmptyUnknownPathsAndKinds) {
  ASSERT_EQ(Act("Burning Entry"), S_OK);
  Hub().m_nChosenKind = MODULE_VIDEO;
  EXPECT_EQ(EnterOn(""), E_FAIL);
  EXPECT_EQ(Act("Burning Enter Other Module", 0), E_FAIL);
  EXPECT_EQ(EnterOn("Q:\\"), E_FAIL);
  EXPECT_EQ(Hub().m_strTargetPath, "Q:\\");  // stored before the checks
  for (int kind : {0, 3, 5, 8}) {
    Hub().m_nChosenKind = kind;
    EXPECT_EQ(EnterOn("E:\\"), E_FAIL) << kind;
  }
  EXPECT_EQ(Config().m_nActiveModule, MODULE_BURNING);
  EXPECT_TRUE(steps_.empty());
}

TEST_F(BurningHubTest, VideoAndMusicOpenWithTheBurningWayBack) {
  ASSERT_EQ(Act("Burning Entry"), S_OK);
  Hub().m_nChosenKind = MODULE_VIDEO;
  EnterOn("E:\\");
  EXPECT_EQ(Hub().m_strTargetPath, "E:\\");
  EXPECT_EQ(Config().m_pVideo->m_strPendingAction, "Burning Go Back Door");
  EXPECT_EQ(Config().m_pVideo->m_strOpenFolderPath, stick_);

  // Music picks from its own folders: reached from a removable drive, never
  // from an optical one.
  ASSERT_EQ(Act("Burning Entry"), S_OK);
  Hub().m_nChosenKind = MODULE_MUSIC;
  steps_.clear();
  EXPECT_EQ(EnterOn("D:\\"), E_FAIL);
  EXPECT_TRUE(steps_.empty());
  EnterOn("E:\\");
  EXPECT_NE(std::find(steps_.begin(), steps_.end(), "OnMusicEntry"), steps_.end());
}

TEST_F(BurningHubTest, GoingBackWithFilesSetsTheListAndResultTwo) {
  ChosenFiles chosen;
  chosen.files = {stick_ + "/one.mp3", stick_ + "/twö.mp3"};
  chosen.filter = "|.mp3|.wma|.wav|";
  chosen.name = "Mix";
  Hub().m_strTargetPath = "E:\\";
  ASSERT_EQ(Act("Burning Go Back Door", 1, reinterpret_cast<std::intptr_t>(&chosen)), S_OK);
  EXPECT_EQ(Config().m_nActiveModule, MODULE_BURNING);
  EXPECT_EQ(Hub().m_strTitleImage, "Layout\\Img\\Common\\Title_Burn.BMP");
  EXPECT_EQ(Hub().m_arrFiles, chosen.files);
  EXPECT_EQ(Hub().m_strSelectionName, "Mix");
  EXPECT_EQ(Hub().m_strFilter, chosen.filter);
  EXPECT_EQ(Hub().m_nResultState, 2);
  EXPECT_EQ(Hub().m_nState, 2);
  EXPECT_EQ(Hub().m_strTargetPath, "E:\\");
  EXPECT_EQ(recordPage_.calls, (Calls{"ShowRecordPage", "ShowSubPage"}));

  // Nothing chosen, an empty list or no list: result 1, the volume list.
  ChosenFiles empty;
  const struct {
    std::intptr_t flag;
    const ChosenFiles* list;
  } kCases[] = {{0, &chosen}, {1, &empty}, {1, nullptr}};
  for (const auto& c : kCases) {
    Hub().m_nResultState = 0;
    recordPage_.calls.clear();
    ASSERT_EQ(Act("Burning Go Back Door", c.flag, reinterpret_cast<std::intptr_t>(c.list)), S_OK);
    EXPECT_EQ(Hub().m_nResultState, 1);
    EXPECT_EQ(Hub().m_nState, 1);
    EXPECT_EQ(recordPage_.calls.back(), "ShowSubPage");
  }
}

// The Record page's reader slots outside vendor 4 come from the drive table.
class ReaderSlotsTest : public BridgeTest {};

TEST_F(ReaderSlotsTest, OpticalThenRemovableDrivesFillTheSlotsAndTheRestAreEmpty) {
  const auto volume = [](char letter, UINT type) {
    VolumeInfo v;
    v.letter = letter;
    v.type = type;
    v.root = "/media/" + std::string(1, letter);
    return v;
  };
  volumes_->volumes = {volume('C', DRIVE_FIXED), volume('E', DRIVE_REMOVABLE), volume('F', DRIVE_CDROM),
                       volume('G', DRIVE_CDROM), volume('K', DRIVE_FIXED), volume('M', DRIVE_REMOVABLE)};
  Start();
  EXPECT_EQ(Config().m_szDriveRoots,
            (std::array<std::string, 7>{"C:\\", "F:\\", "E:\\", "M:\\", "", "", ""}));

  // No drives at all: every reader slot is refused, the archive slot stays.
  volumes_->volumes.clear();
  system_->BuildDriveLists();
  EXPECT_EQ(Config().m_szDriveRoots, (std::array<std::string, 7>{"C:\\", "", "", "", "", "", ""}));
}

}  // namespace
}  // namespace authoring_test
