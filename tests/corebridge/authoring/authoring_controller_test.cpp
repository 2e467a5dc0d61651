// The authoring controller on a scripted engine: what each action hands the
// engine and in which order, and that a failed step ends the sequence.
#include <filesystem>
#include <fstream>

#include "tests/corebridge/authoring/authoring_test_support.h"

namespace authoring_test {
namespace {

namespace fs = std::filesystem;

using Calls = std::vector<std::string>;

class AuthoringControllerTest : public AuthoringTest {
 protected:
  std::string MakeFile(const std::string& name) {
    const std::string path = env_.path(name);
    std::ofstream(path) << "x";
    return path;
  }
};

TEST_F(AuthoringControllerTest, EntryFromPhotoAddsTheChosenFilesAndHandsTheEngineItsSink) {
  const std::string a = MakeFile("a.jpg");
  const std::string b = MakeFile("b ü.jpg");
  ChooseFiles({a, b});
  Config().m_nActiveModule = MODULE_PHOTO;
  Job().m_arrElements = {"old.jpg"};
  ASSERT_EQ(Act("Authoring Entry"), S_OK);
  ASSERT_EQ(requests_.size(), 1u);
  EXPECT_EQ(requests_[0].filter, "Photo files (*.jpg;*.jpeg;*.bmp)|*.jpg;*.jpeg;*.bmp||");
  EXPECT_EQ(requests_[0].flags, plat::OFN_ALLOWMULTISELECT | plat::OFN_FILEMUSTEXIST);
  EXPECT_EQ(Job().m_arrElements, (Calls{a, b}));
  EXPECT_EQ(Job().m_nDiscType, AUTHORING_DISC_DVD);  // a job without a disc type starts as a DVD
  EXPECT_EQ(authoringPage_.calls, (Calls{"ShowAuthoringPage"}));
  EXPECT_EQ(Engine().calls, (Calls{"3", "54 " + a, "54 " + b, "57 3", "5 sink"}));
  // The photo section's picture duration, kept within what a disc can show.
  for (const auto& [duration, seconds] : {std::pair{7, "57 7"}, {0, "57 1"}, {600, "57 60"}}) {
    Config().m_pPhoto->m_nSlideDuration = duration;
    Engine().calls.clear();
    ASSERT_EQ(Act("Authoring Entry"), S_OK);
    EXPECT_EQ(Engine().calls.at(3), seconds);
  }
  EXPECT_TRUE(frame_.Saw("NotifyCaptionBar 1"));
}

TEST_F(AuthoringControllerTest, EntryFromVideoAsksForVideosAndACancelledDialogLeavesAnEmptyJob) {
  Config().m_nActiveModule = MODULE_VIDEO;
  ChooseFiles({});
  Job().m_arrElements = {"old.mpg"};
  Job().m_nDiscType = AUTHORING_DISC_VCD;  // a type the user chose stays
  ASSERT_EQ(Act("Authoring Entry"), S_OK);
  EXPECT_EQ(Job().m_nDiscType, AUTHORING_DISC_VCD);
  ASSERT_EQ(requests_.size(), 1u);
  EXPECT_EQ(requests_[0].filter, "Video files (*.mpg;*.mpeg;*.avi;*.dat)|*.mpg;*.mpeg;*.avi;*.dat||");
  EXPECT_TRUE(Job().m_arrElements.empty());
  EXPECT_EQ(Engine().calls, (Calls{"3", "57 3", "5 sink"}));

  // A path that is no existing file makes the dialog refuse the answer.
  ChooseFiles({MakeFile("c.mpg"), env_.path("missing.mpg")});
  Engine().calls.clear();
  ASSERT_EQ(Act("Authoring Entry"), S_OK);
  EXPECT_TRUE(Job().m_arrElements.empty());
  EXPECT_EQ(Engine().calls, (Calls{"3", "57 3", "5 sink"}));
}

TEST_F(AuthoringControllerTest, EntryFailsWithoutTheEngineOrWhenAStepFails) {
  engineOn_ = false;
  Config().m_nActiveModule = MODULE_PHOTO;
  EXPECT_EQ(Act("Authoring Entry"), E_FAIL);
  EXPECT_EQ(authoringPage_.calls, (Calls{"ShowAuthoringPage"}));
  EXPECT_FALSE(frame_.Saw("NotifyCaptionBar 1"));

  engineOn_ = true;
  Engine().failing = {3};
  EXPECT_EQ(Act("Authoring Entry"), E_FAIL);
  EXPECT_EQ(Engine().calls, (Calls{"3"}));
  Engine().failing = {5};
  Engine().calls.clear();
  EXPECT_EQ(Act("Authoring Entry"), E_FAIL);
  EXPECT_EQ(Engine().calls, (Calls{"3", "57 3", "5 sink"}));
  EXPECT_FALSE(frame_.Saw("NotifyCaptionBar 1"));
}

TEST_F(AuthoringControllerTest, ReturnQueriesTheWriterAndSelectsTheCurrentOne) {
  Job().m_nDiscType = AUTHORING_DISC_AUDIOCD;
  Engine().currentWriter = 2;
  EXPECT_EQ(Act("Authoring Return"), E_FAIL);  // the handler answers 0
  EXPECT_EQ(Engine().calls,
            (Calls{"136", "137 0", "140", "141 0", "144", "145 0", "142 3", "146", "121 2 1", "147 2"}));

  Engine().calls.clear();
  Engine().failing = {141};
  Act("Authoring Return");
  EXPECT_EQ(Engine().calls, (Calls{"136", "137 0", "140", "141 0"}));
}

TEST_F(AuthoringControllerTest, BurnSetsTheFlavourFormatAndWorkFolderThenStarts) {
  const std::string folder = AuthoringWorkFolder();
  EXPECT_EQ(folder, env_.path("cache") + "/Marivel/WUTemp");
  Engine().elements = {"a.mpg"};
  Job().m_nDiscType = AUTHORING_DISC_DVD;
  Job().m_nVideoQuality = 3;
  EXPECT_EQ(Act("Authoring Burn"), E_FAIL);  // the handler answers 0
  EXPECT_EQ(Engine().calls, (Calls{"56 -1", "142 0", "40 1", "45 -1", "48 70", "49 70", "50 70", "51 70",
                                   "53 " + folder, "88 1", "99 1", "91 0", "84 " + folder}));
  EXPECT_EQ(Engine().format.width, 352);
  EXPECT_EQ(Engine().format.height, 240);
  EXPECT_EQ(Engine().format.averageBitRate, 1750000);

  // Disc types and their flavours; the CD types set none.
  const struct {
    int discType;
    std::vector<std::string> flavour;
  } kCases[] = {{AUTHORING_DISC_SVCD, {"142 1", "40 2"}},
                {AUTHORING_DISC_VCD, {"142 2", "40 0"}},
                {AUTHORING_DISC_AUDIOCD, {"142 3"}},
                {AUTHORING_DISC_DATACD, {"142 4"}}};
  for (const auto& c : kCases) {
    Engine().calls.clear();
    Job().m_nDiscType = c.discType;
    Act("Authoring Burn");
    ASSERT_GE(Engine().calls.size(), 2 + c.flavour.size()) << c.discType;
    const Calls got(Engine().calls.begin() + 1, Engine().calls.begin() + 1 + static_cast<long>(c.flavour.size()));
    EXPECT_EQ(got, c.flavour) << c.discType;
    EXPECT_EQ(Engine().calls.back(), "84 " + folder) << c.discType;
  }
}

TEST_F(AuthoringControllerTest, BurnStopsAtTheFirstFailureAndSkipsADoneStage) {
  Job().m_nDiscType = AUTHORING_DISC_DVD;
  Act("Authoring Burn");  // no elements: nothing to burn
  EXPECT_EQ(Engine().calls, (Calls{"56 -1"}));

  Engine().elements = {"a.mpg"};
  Engine().calls.clear();
  Engine().failing = {45};
  Act("Authoring Burn");
  EXPECT_EQ(Engine().calls, (Calls{"56 -1", "142 0", "40 1", "45 -1"}));

  Engine().calls.clear();
  Engine().failing = {50};
  Act("Authoring Burn");
  EXPECT_EQ(Engine().Slots(), (std::vector<int>{56, 142, 40, 45, 48, 49, 50}));

  Engine().calls.clear();
  Engine().failing = {};
  Engine().stageDone = 1;
  Act("Authoring Burn");
  EXPECT_EQ(Engine().Slots(), (std::vector<int>{56, 142, 40, 45, 48, 53, 88, 99, 91, 84}));
}

TEST_F(AuthoringControllerTest, BurnDvdFolderBurnsTheKeptFolderAndReportsSetupFailures) {
  const std::string folder = AuthoringDvdFolder();
  EXPECT_EQ(folder, env_.path("cache") + "/Marivel/Work Folder/DVD Folder");
  EXPECT_EQ(Act("Authoring BurnDVDFolder"), S_OK);
  EXPECT_EQ(Engine().calls,
            (Calls{"3", "5 sink", "151 " + folder, "152 4", "153 " + folder, "150 Marivel Product", "155"}));

  Engine().calls.clear();
  Engine().failing = {3};
  EXPECT_EQ(Act("Authoring BurnDVDFolder"), E_FAIL);
  EXPECT_EQ(boxes_, (Calls{"Initialize AuthoringEngine Failed!!"}));
  Engine().failing = {5};
  EXPECT_EQ(Act("Authoring BurnDVDFolder"), E_FAIL);
  EXPECT_EQ(boxes_.back(), "Set AuthoringEngine Callback Failed!!");
  // Later steps fail without a box.
  boxes_.clear();
  Engine().calls.clear();
  Engine().failing = {155};
  EXPECT_EQ(Act("Authoring BurnDVDFolder"), E_FAIL);
  EXPECT_EQ(Engine().calls.size(), 7u);
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(AuthoringControllerTest, StopBurnCancelsTheJob) {
  EXPECT_EQ(Act("Authoring StopBurn"), E_FAIL);  // the handler answers 0
  EXPECT_EQ(Engine().calls, (Calls{"85 E_FAIL"}));
}

TEST_F(AuthoringControllerTest, DiscTypeStepsWrapAndRedrawThePage) {
  const struct {
    const char* action;
    int from;
    int to;
  } kCases[] = {{"Authoring DiscType Left", 1, 5},  {"Authoring DiscType Left", 5, 4},
                {"Authoring DiscType Left", 2, 1},  {"Authoring DiscType Right", 5, 1},
                {"Authoring DiscType Right", 1, 2}, {"Authoring DiscType Right", 4, 5},
                {"Authoring DiscType Right", 0, 1}, {"Authoring DiscType Left", 0, 5}};
  for (const auto& c : kCases) {
    Job().m_nDiscType = c.from;
    authoringPage_.calls.clear();
    EXPECT_EQ(Act(c.action), S_OK);
    EXPECT_EQ(Job().m_nDiscType, c.to) << c.action << " from " << c.from;
    EXPECT_EQ(authoringPage_.calls, (Calls{"Redraw 1"}));
  }
  EXPECT_TRUE(Engine().calls.empty());
}

TEST_F(AuthoringControllerTest, SinkSlotZeroPreviewsTheElementInThePagesArea) {
  Config().m_nActiveModule = MODULE_PHOTO;
  ASSERT_EQ(Act("Authoring Entry"), S_OK);
  ASSERT_NE(Engine().sink, nullptr);
  Engine().calls.clear();
  Engine().previewPlaying = 1;
  Engine().previewShown = 0;
  EXPECT_EQ(Engine().sink->Notify0(2, 0), 1);
  EXPECT_EQ(Engine().calls, (Calls{"106", "104 0", "9 2 0 1 1", "7 10 20 330 260", "12", "11 1", "64"}));

  Engine().calls.clear();
  Engine().previewPlaying = 0;
  Engine().previewShown = 1;
  EXPECT_EQ(Engine().sink->Notify0(0, 0), 1);
  EXPECT_EQ(Engine().calls, (Calls{"106", "9 0 0 1 1", "7 10 20 330 260", "12", "64"}));

  // An element the engine refuses, or a page without a preview area, ends it.
  Engine().calls.clear();
  Engine().failing = {9};
  EXPECT_EQ(Engine().sink->Notify0(7, 0), 0);
  EXPECT_EQ(Engine().calls, (Calls{"106", "9 7 0 1 1"}));
  Engine().calls.clear();
  Engine().failing = {};
  authoringPage_.hasArea = false;
  EXPECT_EQ(Engine().sink->Notify0(0, 0), 0);
  EXPECT_EQ(Engine().calls, (Calls{"106", "9 0 0 1 1"}));
}

// "Authoring Preview" shows an element of the job in the page's preview
// area; an index outside the job is refused without asking the engine.
TEST_F(AuthoringControllerTest, PreviewShowsAnElementOfTheJob) {
  const std::string a = MakeFile("a.jpg");
  const std::string b = MakeFile("b.jpg");
  ChooseFiles({a, b});
  Config().m_nActiveModule = MODULE_PHOTO;
  ASSERT_EQ(Act("Authoring Entry"), S_OK);
  Engine().calls.clear();
  EXPECT_EQ(Act("Authoring Preview", 1), S_OK);
  EXPECT_EQ(Engine().calls, (Calls{"106", "9 1 0 1 1", "7 10 20 330 260", "12", "11 1", "64"}));
  Engine().calls.clear();
  EXPECT_EQ(Act("Authoring Preview", 2), E_FAIL);
  EXPECT_EQ(Act("Authoring Preview", -1), E_FAIL);
  EXPECT_TRUE(Engine().calls.empty());
}

TEST_F(AuthoringControllerTest, SinkSlotSevenCopiesTheStatusFiguresAndRedraws) {
  Config().m_nActiveModule = MODULE_VIDEO;
  ASSERT_EQ(Act("Authoring Entry"), S_OK);
  Engine().calls.clear();
  authoringPage_.calls.clear();
  Engine().status.stage = kAuthoringStageWriting;
  Engine().status.elapsedSeconds = 75;
  Engine().status.totalBytes = 5'000'000'000;
  Engine().status.discRemainMB = 123;
  AuthoringStatus stale;  // what the notice carried: the handler asks for the latest
  EXPECT_EQ(Engine().sink->Notify7(reinterpret_cast<std::intptr_t>(&stale), 0), 1);
  EXPECT_EQ(Engine().calls, (Calls{"100"}));
  EXPECT_EQ(Job().m_nElapsedSeconds, 75);
  EXPECT_EQ(Job().m_llTotalBytes, 5'000'000'000);
  EXPECT_EQ(Job().m_nDiscRemainMB, 123);
  EXPECT_EQ(Job().m_nStage, kAuthoringStageWriting);
  EXPECT_EQ(authoringPage_.calls, (Calls{"Redraw 1"}));
  // The other slots do nothing.
  Engine().calls.clear();
  EXPECT_EQ(Engine().sink->Notify3(0, 0), 0);
  EXPECT_EQ(Engine().sink->Notify15(0, 0), 0);
  EXPECT_TRUE(Engine().calls.empty());
}

TEST_F(AuthoringControllerTest, TheEngineIsObtainedOnceAndLetGoAtStop) {
  Config().m_nActiveModule = MODULE_PHOTO;
  ASSERT_EQ(Act("Authoring Entry"), S_OK);
  engineOn_ = false;  // the kept engine serves later actions
  Act("Authoring StopBurn");
  EXPECT_EQ(Engine().calls.back(), "85 E_FAIL");
  ASSERT_EQ(system_->Stop(), S_OK);
  EXPECT_EQ(Engine().calls.back(), "5 null");
  EXPECT_EQ(Engine().sink, nullptr);
}

}  // namespace
}  // namespace authoring_test
