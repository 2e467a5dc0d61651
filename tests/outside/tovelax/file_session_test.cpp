// Video files played directly by the file session: a source that cannot
// seek reports fast forward and rewind as prohibited; a seekable file does
// not, and a file that ends before its first picture is refused.
#include "outside/tovelax/file_session.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <thread>

#include "tests/outside/tovelax/test_dvd.h"

namespace tovelax {
namespace {

namespace fs = std::filesystem;

using tovelax_test::FixtureDir;

// The prohibited-operations masks the session reported.
std::vector<std::intptr_t> ValidOperationEvents(EventQueue& events) {
  std::vector<std::intptr_t> masks;
  std::int32_t code = 0;
  std::intptr_t v1 = 0, v2 = 0;
  while (events.Take(&code, &v1, &v2)) {
    if (code == kEvValidOpsChange) masks.push_back(v1);
    EventQueue::Free(code, v1, v2);
  }
  return masks;
}

class FileSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(FixtureDir().empty());
    settings_.discardAudio = true;
    std::string pattern = (fs::path(::testing::TempDir()) / "filesession-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  EventQueue events_;
  FrameHub frames_;
  PlayerSettings settings_;
  fs::path dir_;
};

TEST_F(FileSessionTest, AFileThatCanSeekAllowsScans) {
  FileSession session(events_, frames_, settings_);
  ASSERT_EQ(session.Open({(FixtureDir() / "video.mpg").string()}, true), kOk);
  EXPECT_TRUE(ValidOperationEvents(events_).empty());
  session.Close();
}

TEST_F(FileSessionTest, AStreamThatCannotSeekProhibitsFastForwardAndRewind) {
  ::signal(SIGPIPE, SIG_IGN);  // the writer may outlive the reader
  const fs::path pipe = dir_ / "stream.mpg";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  std::atomic<bool> stop{false};
  // Serves the clip to each reader that opens the pipe (the media framework
  // may open it more than once), without ever blocking the test's end.
  std::thread writer([&] {
    while (!stop) {
      const int fd = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
      if (fd < 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        continue;
      }
      ::fcntl(fd, F_SETFL, 0);  // blocking writes; they fail once the reader is gone
      std::ifstream in(FixtureDir() / "video.mpg", std::ios::binary);
      char buffer[16384];
      while (!stop && (in.read(buffer, sizeof buffer) || in.gcount() > 0)) {
        if (::write(fd, buffer, static_cast<std::size_t>(in.gcount())) < 0) break;
      }
      ::close(fd);
    }
  });
  {
    FileSession session(events_, frames_, settings_);
    const HRESULT opened = session.Open({pipe.string()}, true);
    EXPECT_EQ(opened, kOk);
    if (opened == kOk) {
      EXPECT_EQ(ValidOperationEvents(events_), std::vector<std::intptr_t>{(1 << 8) | (1 << 9)});
    }
    session.Close();
  }
  stop = true;
  writer.join();
}

TEST_F(FileSessionTest, AFileEndingBeforeItsFirstPictureIsRefused) {
  const fs::path cut = dir_ / "cut.mpg";
  {
    std::ifstream in(FixtureDir() / "video.mpg", std::ios::binary);
    std::string head(1024, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    std::ofstream(cut, std::ios::binary) << head;
  }
  FileSession session(events_, frames_, settings_);
  EXPECT_EQ(session.Open({cut.string()}, true), kUnplayable);
  const fs::path text = dir_ / "text.mpg";
  std::ofstream(text) << "not a video\n";
  EXPECT_EQ(session.Open({text.string()}, true), kUnplayable);
}

// A poster that counts the waits an open made on the client's thread.
class WaitCountingPoster final : public INotifyPoster {
 public:
  void Post(HWND, std::uint32_t, std::uintptr_t, std::intptr_t) override {}
  void WaitOnClientThread(unsigned ms) override {
    ++waits;
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }
  int waits = 0;
};

TEST_F(FileSessionTest, AnOpenWaitsOnTheClientsThreadInShortSteps) {
  WaitCountingPoster poster;
  events_.SetPoster(&poster);
  FileSession session(events_, frames_, settings_);
  ASSERT_EQ(session.Open({(FixtureDir() / "video.mpg").string()}, true), kOk);
  EXPECT_GT(poster.waits, 0);
  session.Close();
  events_.SetPoster(nullptr);
}

// Counts the sound outputs the automatic audio sink makes: it logs each one
// it creates.
class SoundOutputCounter {
 public:
  SoundOutputCounter() {
    gst_init(nullptr, nullptr);
    previous_ = gst_debug_get_default_threshold();
    gst_debug_set_threshold_for_name("autodetect", GST_LEVEL_DEBUG);
    removedDefault_ = gst_debug_remove_log_function(gst_debug_log_default) > 0;
    gst_debug_add_log_function(&SoundOutputCounter::Log, this, nullptr);
  }
  ~SoundOutputCounter() {
    gst_debug_remove_log_function(&SoundOutputCounter::Log);
    if (removedDefault_) gst_debug_add_log_function(gst_debug_log_default, nullptr, nullptr);
    gst_debug_unset_threshold_for_name("autodetect");
    gst_debug_set_default_threshold(previous_);
  }
  SoundOutputCounter(const SoundOutputCounter&) = delete;
  SoundOutputCounter& operator=(const SoundOutputCounter&) = delete;
  int made() const { return made_.load(); }

 private:
  static void Log(GstDebugCategory* category, GstDebugLevel, const gchar*, const gchar*, gint, GObject*,
                  GstDebugMessage* message, gpointer data) {
    const gchar* text = gst_debug_message_get(message);
    if (std::string_view(gst_debug_category_get_name(category)) == "autodetect" && text &&
        std::string_view(text).find("Creating new kid") != std::string_view::npos)
      ++static_cast<SoundOutputCounter*>(data)->made_;
  }
  GstDebugLevel previous_;
  bool removedDefault_ = false;
  std::atomic<int> made_{0};
};

TEST_F(FileSessionTest, PlayingAndStoppingAClipOpensItsSoundOutputOnce) {
  settings_.discardAudio = false;
  SoundOutputCounter sound;
  FileSession session(events_, frames_, settings_);
  ASSERT_EQ(session.Open({(FixtureDir() / "video.mpg").string()}, false), kOk);
  EXPECT_EQ(session.Stop(), kOk);
  EXPECT_EQ(session.Play(), kOk);
  EXPECT_EQ(session.Stop(), kOk);
  session.Close();
  EXPECT_EQ(sound.made(), 1);
}

}  // namespace
}  // namespace tovelax
