// The music worker: the audio files under the music folder reach the media
// library through the UI thread; links are not followed, and a stop ends
// the walk.
#include "tests/corebridge/music/music_test_support.h"

#include "corebridge/modules/music_worker.h"

namespace music_test {
namespace {

class MusicWorkerTest : public MusicTest {
 protected:
  void WriteSong(const std::string& path, wmhost_test::AudioFormat format) {
    fs::create_directories(fs::path(path).parent_path());
    ASSERT_TRUE(wmhost_test::WriteTone(path, format, 0.5));
  }
};

TEST_F(MusicWorkerTest, EntryAddsTheMusicFolderToTheLibrary) {
  WriteSong(music_ + "/a.mp3", wmhost_test::AudioFormat::Mp3);
  WriteSong(music_ + "/sub/deeper/b.WAV", wmhost_test::AudioFormat::Wav);
  wmhost_test::WriteText(music_ + "/notes.txt", "not music");
  const std::string outside = env_.path("outside");
  WriteSong(outside + "/c.mp3", wmhost_test::AudioFormat::Mp3);
  fs::create_directory_symlink(outside, music_ + "/link");
  fs::create_symlink(outside + "/c.mp3", music_ + "/c-link.mp3");

  std::atomic<bool> stop{false};
  std::vector<std::string> files;
  EXPECT_EQ(music::CollectMusicFiles(music_, stop, files), 0);
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{music_ + "/a.mp3", music_ + "/sub/deeper/b.WAV"}));
  files.clear();
  stop = true;
  EXPECT_EQ(music::CollectMusicFiles(music_, stop, files), 0);
  EXPECT_TRUE(files.empty());
  EXPECT_EQ(music::CollectMusicFiles(music_ + "/missing", stop, files), 1);

  Config().m_nLoungeState = 4;
  Enter();
  int count = 0;
  EXPECT_TRUE(PumpUntil([&] { return SUCCEEDED(Player().GetAllAudioFileCount(&count)) && count == 2; }, 20s));
  EXPECT_EQ(count, 2);
  // Leaving the module joins a worker that may still run.
  ASSERT_EQ(Act("Home"), S_OK);
  EXPECT_EQ(Config().m_nActiveModule, MODULE_NONE);
}

TEST_F(MusicWorkerTest, LeavingStopsAndJoinsARunningWorker) {
  for (int i = 0; i < 50; ++i) fs::create_directories(music_ + "/d" + std::to_string(i) + "/e");
  WriteSong(music_ + "/d49/e/late.mp3", wmhost_test::AudioFormat::Mp3);
  Config().m_nLoungeState = 4;
  Enter();
  // Leaving before the UI thread took the list: whatever the worker found
  // is dropped with it, and its notice finds no worker.
  ASSERT_EQ(Act("Home"), S_OK);
  int count = -1;
  PumpUntil([] { return false; }, 200ms);
  ASSERT_EQ(Player().GetAllAudioFileCount(&count), S_OK);
  EXPECT_EQ(count, 0);
}

}  // namespace
}  // namespace music_test
