// Tapes, timecode and the virtual deck: layout by the DSF bit, TS timing by
// PCR, drop-frame timecode, the transport and the tape's end; tapes that are
// no regular files, and the watch on the tapes' folders.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

#include "outside/dvdevice/virtual_camcorders.h"
#include "outside/dvdevice/virtual_deck.h"
#include "tests/outside/dvdevice/tapes.h"
#include "tests/support/temp_environment.h"

namespace {

using namespace dvdev;
using namespace std::chrono_literals;

TEST(DvTape, ProbesEachKind) {
  ASSERT_FALSE(dvtapes::Dir().empty());
  struct Row {
    std::string path;
    int kind;
    double rate;
    long units;
    double seconds;
  };
  const Row rows[] = {
      {dvtapes::Pal(), 1, 25.0, 250, 10.0},
      {dvtapes::Ntsc(), 1, 29.97, 149, 5.0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.path);
    auto tape = ProbeTape(r.path, r.kind);
    ASSERT_TRUE(tape);
    EXPECT_NEAR(tape->frameRate, r.rate, 0.01);
    EXPECT_NEAR(tape->UnitCount(), r.units, 1);
    EXPECT_NEAR(tape->Seconds(), r.seconds, 0.1);
  }
  auto ts = ProbeTape(dvtapes::Ts(), 2);
  ASSERT_TRUE(ts);
  EXPECT_NEAR(ts->frameRate, 29.97, 0.01);
  EXPECT_GT(ts->UnitCount(), 20);
  EXPECT_NEAR(ts->Seconds(), 5.0, 0.5);
  for (long i = 1; i < ts->UnitCount(); ++i) ASSERT_GE(ts->Unit(i).seconds, ts->Unit(i - 1).seconds);
  // Not a tape.
  EXPECT_FALSE(ProbeTape(dvtapes::Ts(), 1));
  EXPECT_FALSE(ProbeTape(dvtapes::Pal(), 2));
  EXPECT_FALSE(ProbeTape(dvtapes::Dir() + "/missing.dv", 1));
}

TEST(DvTape, Timecode) {
  struct Row {
    long frame;
    double rate;
    Timecode tc;
  };
  const Row rows[] = {
      {0, 25.0, {0, 0, 0, 0}},         {24, 25.0, {0, 0, 0, 24}},       {25, 25.0, {0, 0, 1, 0}},
      {1500, 25.0, {0, 1, 0, 0}},      {90000, 25.0, {1, 0, 0, 0}},     {0, 29.97, {0, 0, 0, 0}},
      {29, 29.97, {0, 0, 0, 29}},      {1799, 29.97, {0, 0, 59, 29}},   {1800, 29.97, {0, 1, 0, 2}},
      {17981, 29.97, {0, 9, 59, 29}},  {17982, 29.97, {0, 10, 0, 0}},   {17982 + 1800, 29.97, {0, 11, 0, 2}},
      {107892, 29.97, {1, 0, 0, 0}},
  };
  for (const Row& r : rows) EXPECT_EQ(FrameTimecode(r.frame, r.rate), r.tc) << r.frame << " at " << r.rate;
}

class DeckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dvtapes::Dir().empty());
    auto tape = ProbeTape(dvtapes::Pal(), 1);
    ASSERT_TRUE(tape);
    deck = std::make_unique<VirtualDeck>(dvtapes::Pal(), *tape);
    deck->SetFrameSink([this](const std::uint8_t* d, std::size_t n, bool still) {
      (still ? stills : frames)++;
      lastSize = n;
      pal = DvFrameIsPal(d, n);
    });
    deck->SetTapeEndSink([this] { ends++; });
  }
  template <class F>
  bool WaitFor(F done) {
    for (int i = 0; i < 300 && !done(); ++i) std::this_thread::sleep_for(10ms);
    return done();
  }
  std::unique_ptr<VirtualDeck> deck;
  std::atomic<int> frames{0}, stills{0}, ends{0};
  std::atomic<std::size_t> lastSize{0};
  std::atomic<bool> pal{false};
};

TEST_F(DeckTest, PlaySendsFramesAtTheTapesPace) {
  EXPECT_EQ(deck->TransportCode(), 4297);
  ASSERT_TRUE(deck->Command(TransportCommand::kPlay));
  EXPECT_EQ(deck->TransportCode(), 4296);
  std::this_thread::sleep_for(400ms);
  const int sent = frames;
  EXPECT_GE(sent, 7);   // 10 at 25 fps; the machine may be busy
  EXPECT_LE(sent, 12);
  EXPECT_EQ(lastSize, kDvFrameBytes625);
  EXPECT_TRUE(pal);
  EXPECT_EQ(deck->position(), deck->CurrentTimecode().frames + 25 * deck->CurrentTimecode().seconds);
}

TEST_F(DeckTest, PauseHoldsAStillAndStopSendsNothing) {
  deck->Seek(100);
  ASSERT_TRUE(deck->Command(TransportCommand::kPause));
  EXPECT_TRUE(WaitFor([&] { return stills == 1; }));
  EXPECT_EQ(deck->TransportCode(), 4298);
  EXPECT_EQ(deck->CurrentTimecode(), (Timecode{0, 0, 4, 0}));
  ASSERT_TRUE(deck->Command(TransportCommand::kStop));
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(frames, 0);
  EXPECT_EQ(deck->position(), 100);
}

TEST_F(DeckTest, WindingMovesTenTimesAsFast) {
  deck->Seek(50);
  ASSERT_TRUE(deck->Command(TransportCommand::kFastForward));
  EXPECT_EQ(deck->TransportCode(), 4300);
  EXPECT_TRUE(WaitFor([&] { return deck->position() >= 100; }));
  EXPECT_EQ(frames, 0);  // winding with the tape stopped shows nothing
  ASSERT_TRUE(deck->Command(TransportCommand::kPause));
  const long at = deck->position();
  EXPECT_EQ(at % 10, 0);
  ASSERT_TRUE(deck->Command(TransportCommand::kReverseScan));
  EXPECT_EQ(deck->TransportCode(), 4301);
  EXPECT_TRUE(WaitFor([&] { return frames >= 2; }));  // scanning shows the picture
  EXPECT_LT(deck->position(), at);
}

TEST_F(DeckTest, TheTapesEndStopsTheDeck) {
  deck->Seek(245);
  ASSERT_TRUE(deck->Command(TransportCommand::kPlay));
  EXPECT_TRUE(WaitFor([&] { return ends == 1; }));
  EXPECT_EQ(deck->TransportCode(), 4297);
  EXPECT_EQ(frames, 5);
  EXPECT_EQ(deck->position(), 249);
  // Rewinding to the start ends the same way.
  ASSERT_TRUE(deck->Command(TransportCommand::kRewind));
  EXPECT_TRUE(WaitFor([&] { return ends == 2; }));
  EXPECT_EQ(deck->position(), 0);
}

TEST_F(DeckTest, AnUnpluggedDeckRefuses) {
  ASSERT_TRUE(deck->Command(TransportCommand::kPlay));
  deck->Unplug();
  EXPECT_FALSE(deck->Ready());
  EXPECT_FALSE(deck->Command(TransportCommand::kPlay));
  EXPECT_EQ(deck->TransportCode(), 4297);
}

// A camcorder whose tape is a named pipe (no data ever) or /dev/zero
// (endless data), or a folder: nothing reads it, nothing waits on it. Each
// step runs with a bound; a step that waited on the pipe anyway is released
// by opening the pipe's other end.
TEST(OddTape, NamedPipesDevicesAndFoldersAreRefusedWithoutWaiting) {
  test_support::TempEnvironment env("tape");
  const std::string pipe = env.path("tape.dv");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const std::string folder = env.path("folder.dv");
  std::filesystem::create_directory(folder);
  int number = 0;
  for (const std::string& tape : {pipe, std::string("/dev/zero"), folder}) {
    SCOPED_TRACE(tape);
    ++number;
    dvtapes::Declare(std::to_string(number), tape, "Odd " + std::to_string(number));
    auto steps = std::async(std::launch::async, [&] {
      bool refused = !ProbeTape(tape, 1) && !ProbeTape(tape, 2) && TapeKind(tape) == 1;
      { VirtualDeck deck(tape, Tape{}); }  // opens the tape as it starts
      for (const VirtualCamcorder& cam : ReadVirtualCamcorders()) refused = refused && cam.tape != tape;
      return refused;
    });
    const bool returned = steps.wait_for(30s) == std::future_status::ready;
    if (!returned) {
      const int release = ::open(pipe.c_str(), O_RDWR | O_NONBLOCK);
      if (release >= 0) ::close(release);
    }
    EXPECT_TRUE(returned);
    EXPECT_TRUE(steps.get());
  }
}

// Changes of other files in a tape's folder are not news; the tape's are.
TEST(TapeWatch, OnlyTheTapesOwnChangesAreTold) {
  test_support::TempEnvironment env("watch");
  const std::string tape = env.path("tape.dv");
  std::atomic<int> told{0};
  TapeWatcher watcher({tape}, [&] { ++told; });
  for (int i = 0; i < 50; ++i) std::ofstream(env.path("other" + std::to_string(i % 5))) << i;
  // The tape arrives in one step: a single event names it.
  std::ofstream(env.path("staged")) << "tape";
  std::filesystem::rename(env.path("staged"), tape);
  for (auto end = std::chrono::steady_clock::now() + 30s; told == 0 && std::chrono::steady_clock::now() < end;)
    std::this_thread::sleep_for(10ms);
  // The other files' events came before the tape's, in one queue: had they
  // been told, the count would be past one.
  EXPECT_EQ(told, 1);
}

}  // namespace
