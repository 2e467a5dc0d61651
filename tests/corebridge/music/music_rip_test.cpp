// Audio CDs in the Music controller: a CUE/BIN image on a virtual CD drive,
// its track list, and ripping it with the real rip engines to safe, unique
// file names; stopping in a track, resuming, and each output format.
#include "tests/corebridge/music/music_test_support.h"

#include "corebridge/modules/music_names.h"

namespace music_test {
namespace {

// Runs a call from the message loop on a clean stack, as a key press would.
std::function<void()>& PendingCall() {
  static std::function<void()> call;
  return call;
}
void RunPendingCall(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (auto call = std::move(PendingCall())) call();
}
void Later(std::function<void()> call) {
  PendingCall() = std::move(call);
  SetTimer(nullptr, 0, 1, &RunPendingCall);
}

class MusicRipTest : public MusicTest {
 protected:
  void SetUp() override {
    MusicTest::SetUp();
    disc_ = env_.path("disc");
    fs::create_directories(disc_);
    const std::string cue = wmhost_test::WriteCdImage(
        disc_, "Road/Trip", "Band", {{2.0, "Intro", ""}, {4.0, "Intro", ""}, {2.0, "AC/DC: Live", ""}});
    VolumeInfo drive;
    drive.letter = 'R';
    drive.type = DRIVE_CDROM;
    drive.isVirtual = true;
    drive.image = cue;
    volumes_->volumes.push_back(drive);
    Enter();
    ASSERT_EQ(system_->MusicLoadAudioCd("R:"), 1);
    page_.onRedraw = [this] {
      const int index = Music().m_nRipIndex;
      if (index < 0 || static_cast<std::size_t>(index) >= Music().m_vecRipJobs.size()) return;
      const std::string& status = Music().m_vecRipJobs[static_cast<std::size_t>(index)].strTexts[6];
      if (status.rfind("Copying  ", 0) == 0) copying_.push_back(status);
    };
  }
  std::vector<std::string> Statuses() {
    std::vector<std::string> statuses;
    for (const auto& job : Music().m_vecRipJobs) statuses.push_back(job.strTexts[6]);
    return statuses;
  }
  std::vector<std::string> Outputs() {
    std::vector<std::string> outputs;
    for (const auto& job : Music().m_vecRipJobs) outputs.push_back(job.strTexts[5]);
    return outputs;
  }

  std::string disc_;
  std::vector<std::string> copying_;
};

TEST_F(MusicRipTest, TheDiscListsItsAudioTracks) {
  EXPECT_EQ(Page(), 19);
  EXPECT_EQ(Names(Music().m_vecLibraryTracks), (std::vector<std::string>{"Intro", "Intro", "AC/DC: Live"}));
  EXPECT_EQ(Names(Music().m_vecLibraryTracks, 3),
            (std::vector<std::string>{"wmpcd://0/0", "wmpcd://0/1", "wmpcd://0/2"}));
  EXPECT_EQ(system_->TrackSourcePath(2), "R:\\Track03.cda");
  // Addresses that name no drive or no track give no path.
  for (const char* url : {"wmpcd://1/0", "wmpcd://0", "wmpcd:///1", "wmpcd://x/1", "/music/a.mp3", "wmpcd://0/999"}) {
    EXPECT_EQ(system_->CdTrackPath(url), "") << url;
  }
  // A drive without an audio disc is refused.
  EXPECT_EQ(system_->MusicLoadAudioCd("C:"), 0);
  EXPECT_EQ(system_->MusicLoadAudioCd("Q:"), 0);
}

TEST_F(MusicRipTest, CdAddressesCountOpticalDrivesInLetterOrder) {
  // An empty optical drive before R: makes R: the second optical drive.
  VolumeInfo empty;
  empty.letter = 'D';
  empty.type = DRIVE_CDROM;
  empty.device = disc_ + "/no-such-device";
  volumes_->volumes.insert(volumes_->volumes.begin(), empty);
  ASSERT_EQ(system_->MusicLoadAudioCd("R:\\"), 1);
  EXPECT_EQ(Names(Music().m_vecLibraryTracks, 3),
            (std::vector<std::string>{"wmpcd://1/0", "wmpcd://1/1", "wmpcd://1/2"}));
  EXPECT_EQ(system_->TrackSourcePath(0), "R:\\Track01.cda");
  EXPECT_EQ(system_->CdTrackPath("wmpcd://0/0"), "D:\\Track01.cda");
  EXPECT_EQ(system_->MusicLoadAudioCd("D:"), 0);  // no disc in it
  // The reload timer finds the disc's drive from the same address.
  steps_.clear();
  system_->OnCdDriveTimer();
  EXPECT_EQ(steps_, std::vector<std::string>{"MusicLoadAudioCd R:"});
  // Away from the disc's page it does nothing.
  ASSERT_EQ(Act("Music Back"), S_OK);
  steps_.clear();
  system_->OnCdDriveTimer();
  EXPECT_TRUE(steps_.empty());
}

TEST_F(MusicRipTest, AnArrivingAudioCdIsShownAndPlayed) {
  int page = 0;
  while (Music().PopMusicPage(page)) {
  }
  Music().m_vecLibraryTracks.clear();
  ASSERT_EQ(system_->MusicOnDeviceChange(0x8000, 'R' - 'A'), 1);
  EXPECT_EQ(Page(), 19);
  EXPECT_EQ(Music().m_arrPageHistory, (std::vector<int>{4, 19}));
  EXPECT_EQ(Music().m_vecLibraryTracks.size(), 3u);
  EXPECT_EQ(Music().m_nMusicState, MUSIC_PLAYING);
  // The drive going away stops the CD it plays and leaves its page.
  ASSERT_EQ(system_->MusicOnDeviceChange(0x8004, 'R' - 'A'), 1);
  EXPECT_EQ(Music().m_nMusicState, MUSIC_STOPPED);
  EXPECT_EQ(Page(), 4);
  // An arrival on a drive without an audio CD changes nothing.
  EXPECT_EQ(system_->MusicOnDeviceChange(0x8000, 'C' - 'A'), 0);
  EXPECT_EQ(Page(), 4);
}

// A CD that arrived while another module ran is loaded from its own drive
// and played when the user enters Music.
TEST_F(MusicRipTest, TheMusicEntryPlaysTheCdThatArrivedElsewhere) {
  ASSERT_EQ(Act("Home"), S_OK);
  Music().m_vecLibraryTracks.clear();
  Music().m_bAudioCdArrived = 1;
  Music().m_nCurrentDrive = 'R' - 'A';
  ASSERT_EQ(Act("Music Entry"), S_OK);
  EXPECT_EQ(Music().m_strCurrentDrive, "R:");
  EXPECT_EQ(Page(), 19);
  EXPECT_EQ(Music().m_vecLibraryTracks.size(), 3u);
  EXPECT_EQ(Music().m_nMusicState, MUSIC_PLAYING);
  EXPECT_EQ(Music().m_bAudioCdArrived, 0);
}

// With autoplay suppressed an arriving CD neither takes the page nor plays.
TEST_F(MusicRipTest, AnArrivingCdWaitsWhenAutoplayIsSuppressed) {
  ASSERT_EQ(Act("Music Back"), S_OK);
  ASSERT_EQ(Page(), 4);
  Config().m_bSuppress = 1;
  ASSERT_EQ(system_->MusicOnDeviceChange(0x8000, 'R' - 'A'), 1);
  EXPECT_EQ(Page(), 4);
  EXPECT_EQ(Music().m_nMusicState, MUSIC_STOPPED);
}

TEST_F(MusicRipTest, RipsToSafeUniqueNamesAndASecondRipGoesToAudioCd) {
  Music().m_nRippingFormat = 1;
  ASSERT_EQ(Act("Music Rip Now"), S_OK);
  const fs::path folder = fs::path(music_) / "Road_Trip";
  EXPECT_EQ(Outputs(), (std::vector<std::string>{(folder / "Intro.mp3").string(), (folder / "Intro (2).mp3").string(),
                                                 (folder / "AC_DC: Live.mp3").string()}));
  EXPECT_EQ(Statuses(), (std::vector<std::string>{"Complete", "Complete", "Complete"}));
  EXPECT_EQ(Music().m_nRipIndex, -1);
  EXPECT_EQ(Music().m_bRipping, 0);
  for (const auto& output : Outputs()) EXPECT_GT(fs::file_size(output), 1000u) << output;

  ASSERT_EQ(Act("Music Rip Now"), S_OK);
  EXPECT_EQ(fs::path(Outputs()[0]).parent_path(), fs::path(music_) / "AudioCD");
  EXPECT_TRUE(fs::exists(folder / "Intro.mp3"));  // the first rip is untouched
}

TEST_F(MusicRipTest, StopInTrackTwoThenResume) {
  Music().m_nRippingFormat = 0;
  // Paced by the clock, the second track reports its progress before it ends.
  ::setenv("MARIVEL_RIP_PACE", "clock", 1);
  bool stopped = false;
  page_.onRedraw = [this, &stopped] {
    if (stopped || Music().m_nRipIndex != 1) return;
    const std::string& status = Music().m_vecRipJobs[1].strTexts[6];
    if (status.rfind("Copying  ", 0) != 0) return;
    copying_.push_back(status);
    stopped = true;
    Later([this] { Act("Music Stop Ripping"); });
  };
  ASSERT_EQ(Act("Music Rip Now"), S_OK);
  ::unsetenv("MARIVEL_RIP_PACE");
  ASSERT_TRUE(stopped);
  ASSERT_EQ(copying_.size(), 1u);
  const int percent = std::atoi(copying_[0].c_str() + 9);
  EXPECT_EQ(copying_[0], "Copying  " + std::to_string(percent) + "%");
  EXPECT_GT(percent, 0);
  EXPECT_LT(percent, 100);
  EXPECT_EQ(Statuses(), (std::vector<std::string>{"Complete", "Incomplete", ""}));
  EXPECT_EQ(Music().m_nRipIndex, 1);
  EXPECT_EQ(Music().m_bRipping, 0);
  EXPECT_TRUE(fs::exists(Outputs()[0]));
  EXPECT_FALSE(fs::exists(Outputs()[1]));
  EXPECT_FALSE(fs::exists(Outputs()[2]));

  page_.onRedraw = nullptr;
  ASSERT_EQ(Act("Music Resume Ripping"), S_OK);
  EXPECT_EQ(Statuses(), (std::vector<std::string>{"Complete", "Complete", "Complete"}));
  for (const auto& output : Outputs()) EXPECT_TRUE(fs::exists(output)) << output;
  EXPECT_EQ(fs::path(Outputs()[1]).extension(), ".wav");
  // The redone track is whole: 4 s of 44.1 kHz stereo 16-bit samples.
  EXPECT_GE(fs::file_size(Outputs()[1]), 4u * 44100 * 4);
}

TEST_F(MusicRipTest, WmaRip) {
  Music().m_nRippingFormat = 1;
  ASSERT_EQ(Act("Music Ripping Format Left"), S_OK);
  ASSERT_EQ(Music().m_nRippingFormat, 2);
  for (auto& track : Music().m_vecLibraryTracks) track.bChecked = 0;
  Music().m_vecLibraryTracks[2].bChecked = 1;
  ASSERT_EQ(Act("Music Rip Now"), S_OK);
  ASSERT_EQ(Music().m_vecRipJobs.size(), 1u);
  EXPECT_EQ(fs::path(Outputs()[0]).filename(), "AC_DC: Live.wma");
  EXPECT_EQ(Statuses(), (std::vector<std::string>{"Complete"}));
  EXPECT_GT(fs::file_size(Outputs()[0]), 1000u);
}

TEST_F(MusicRipTest, NothingToRipIsRefused) {
  for (auto& track : Music().m_vecLibraryTracks) track.bChecked = 0;
  EXPECT_EQ(Act("Music Rip Now"), E_FAIL);
  // Tracks whose source cannot be found are not queued.
  Music().m_vecLibraryTracks[0].bChecked = 1;
  Music().m_vecLibraryTracks[0].strTexts[3] = "wmpcd://5/0";
  EXPECT_EQ(Act("Music Rip Now"), E_FAIL);
  EXPECT_TRUE(Music().m_vecRipJobs.empty());
}

TEST(MusicNames, SafeComponents) {
  struct Case {
    std::string title;
    std::string expected;
  } cases[] = {
      {"Intro", "Intro"},
      {"AC/DC: Live", "AC_DC: Live"},
      {"back\\slash", "back_slash"},
      {std::string("nul\0byte", 8), "nul_byte"},
      {"tab\tline\n", "tab_line_"},
      {"", "Track 3"},
      {".", "Track 3"},
      {"..", "Track 3"},
      {"../../etc", ".._.._etc"},
  };
  for (const auto& c : cases) EXPECT_EQ(music::SafeComponent(c.title, "Track 3"), c.expected) << c.title;
  // Long titles are cut without splitting a character.
  std::string longTitle;
  for (int i = 0; i < 200; ++i) longTitle += "\xC3\xA9";  // é
  const std::string cut = music::SafeComponent(longTitle, "x");
  EXPECT_LE(cut.size(), 255u);
  EXPECT_EQ(cut.size() % 2, 0u);

  std::vector<std::string> taken;
  EXPECT_EQ(music::UniqueName("Intro", taken), "Intro");
  EXPECT_EQ(music::UniqueName("intro", taken), "intro (2)");
  EXPECT_EQ(music::UniqueName("Intro", taken), "Intro (3)");
}

}  // namespace
}  // namespace music_test
