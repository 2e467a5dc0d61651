#include "platform/audio/sound/sound.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/display/display.h"

namespace {

using namespace plat;
using namespace plat::sound;
namespace fs = std::filesystem;

void Put32(std::string& s, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void Put16(std::string& s, std::uint16_t v) {
  s.push_back(static_cast<char>(v & 0xFF));
  s.push_back(static_cast<char>(v >> 8));
}

// A 16-bit PCM WAV file with a sine tone.
std::string MakeWav(int rate, int channels, int frames) {
  std::string data;
  for (int i = 0; i < frames; ++i) {
    const auto v = static_cast<std::int16_t>(8000 * std::sin(2 * 3.14159265 * 440 * i / rate));
    for (int c = 0; c < channels; ++c) Put16(data, static_cast<std::uint16_t>(v));
  }
  std::string wav = "RIFF";
  Put32(wav, static_cast<std::uint32_t>(36 + data.size()));
  wav += "WAVEfmt ";
  Put32(wav, 16);
  Put16(wav, 1);  // PCM
  Put16(wav, static_cast<std::uint16_t>(channels));
  Put32(wav, static_cast<std::uint32_t>(rate));
  Put32(wav, static_cast<std::uint32_t>(rate * channels * 2));
  Put16(wav, static_cast<std::uint16_t>(channels * 2));
  Put16(wav, 16);
  wav += "data";
  Put32(wav, static_cast<std::uint32_t>(data.size()));
  return wav + data;
}

class SoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("marivel_sound_" + std::to_string(getpid()));
    fs::create_directories(dir);
    click = Write("click.wav", MakeWav(22050, 1, 2205));  // 100 ms
    const std::string good = MakeWav(22050, 1, 2205);
    truncated = Write("truncated.wav", good.substr(0, 30));
    garbage = Write("garbage.wav", "this is not a sound at all, just text");
    empty = Write("empty.wav", "");
  }
  void TearDown() override {
    SetSoundOutput(nullptr);
    fs::remove_all(dir);
  }
  std::string Write(const std::string& name, const std::string& bytes) {
    const fs::path p = dir / name;
    std::ofstream(p, std::ios::binary) << bytes;
    return p.string();
  }
  fs::path dir;
  std::string click, truncated, garbage, empty;
};

TEST_F(SoundTest, WavFilesLoadAndConvertBadOnesAreRefusedClearly) {
  Pcm pcm;
  std::string error;
  ASSERT_TRUE(LoadWav(click, 44100, 2, &pcm, &error)) << error;
  EXPECT_EQ(pcm.rate, 44100);
  EXPECT_EQ(pcm.channels, 2);
  EXPECT_NEAR(static_cast<double>(pcm.samples.size()), 2 * 4410, 64);
  EXPECT_NEAR(pcm.duration_ms(), 100, 2);
  // Mono became two equal channels, and the tone survived.
  int loud = 0;
  for (std::size_t i = 0; i + 1 < pcm.samples.size(); i += 2) {
    EXPECT_EQ(pcm.samples[i], pcm.samples[i + 1]);
    loud += std::abs(pcm.samples[i]) > 4000;
  }
  EXPECT_GT(loud, 1000);

  for (const std::string& bad : {truncated, garbage, empty, (dir / "missing.wav").string()}) {
    error.clear();
    Pcm untouched;
    untouched.rate = 7;
    EXPECT_FALSE(LoadWav(bad, 44100, 2, &untouched, &error)) << bad;
    EXPECT_NE(error.find(bad), std::string::npos) << error;
    EXPECT_EQ(untouched.rate, 7);
  }
}

TEST_F(SoundTest, PlaySoundRequestsAreRecorded) {
  auto rec = std::make_shared<RecordingOutput>();
  SetSoundOutput(rec);
  // The click-sound pattern: stop what plays, then play asynchronously.
  EXPECT_TRUE(PlaySound(nullptr, nullptr, SND_NOWAIT));
  EXPECT_TRUE(PlaySound(click.c_str(), nullptr, SND_ASYNC | SND_NOWAIT));
  EXPECT_EQ(rec->current(), click);
  // SND_NOSTOP refuses while something plays; a bad file fails quietly and
  // leaves the sound playing.
  EXPECT_FALSE(PlaySound(click.c_str(), nullptr, SND_ASYNC | SND_NOSTOP));
  EXPECT_FALSE(PlaySound(garbage.c_str(), nullptr, SND_ASYNC | SND_NODEFAULT));
  EXPECT_FALSE(PlaySound((dir / "missing.wav").c_str(), nullptr, SND_ASYNC | SND_FILENAME));
  EXPECT_EQ(rec->current(), click);
  // Purge stops; memory and alias sounds are not supported.
  EXPECT_TRUE(PlaySound(click.c_str(), nullptr, SND_PURGE));
  EXPECT_EQ(rec->current(), "");
  EXPECT_FALSE(PlaySound("SystemAsterisk", nullptr, SND_ALIAS | SND_ASYNC));
  // Synchronous: over when the call returns.
  EXPECT_TRUE(PlaySound(click.c_str(), nullptr, SND_FILENAME | SND_NODEFAULT));
  EXPECT_EQ(rec->current(), "");

  const auto calls = rec->calls();
  ASSERT_EQ(calls.size(), 8u);
  EXPECT_EQ(calls[0].name, "");
  EXPECT_EQ(calls[0].flags, SND_NOWAIT);
  EXPECT_TRUE(calls[0].result);
  EXPECT_EQ(calls[1].name, click);
  EXPECT_EQ(calls[1].flags, SND_ASYNC | SND_NOWAIT);
  EXPECT_TRUE(calls[1].result);
  EXPECT_FALSE(calls[2].result);
  EXPECT_FALSE(calls[3].result);
  EXPECT_EQ(calls[5].flags, SND_PURGE);
  EXPECT_EQ(calls[7].flags, SND_FILENAME | SND_NODEFAULT);
  EXPECT_TRUE(calls[7].result);
}

TEST_F(SoundTest, TheRecordingOutputIsChosenWhenHeadlessOrAsked) {
  SetSoundOutput(nullptr);
  setenv("MARIVEL_SOUND", "record", 1);
  EXPECT_TRUE(CurrentRecording());
  unsetenv("MARIVEL_SOUND");
  SetSoundOutput(nullptr);
  display::DisplayOptions o;
  o.backend = "headless";
  o.size = SIZE{64, 64};
  std::string error;
  ASSERT_TRUE(display::StartDisplay(o, &error)) << error;
  EXPECT_TRUE(CurrentRecording());
  display::StopDisplay();
  // Forced to the device even when headless.
  SetSoundOutput(nullptr);
  setenv("MARIVEL_SOUND", "sdl", 1);
  setenv("MARIVEL_DISPLAY", "headless", 1);
  EXPECT_EQ(CurrentSoundOutput().name(), "sdl");
  unsetenv("MARIVEL_SOUND");
  unsetenv("MARIVEL_DISPLAY");
}

// The real output on SDL's silent "dummy" device, which consumes the queue
// at the playing speed, and on a machine without any audio device.
TEST_F(SoundTest, SdlOutputQueuesStopsAndStaysSilentWithoutADevice) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  {
    auto out = MakeSdlOutput();
    ASSERT_TRUE(out->play(click, SND_ASYNC));
    EXPECT_TRUE(out->playing());
    out->stop();
    EXPECT_FALSE(out->playing());
    EXPECT_FALSE(out->play(garbage, SND_ASYNC));
    // A synchronous sound has ended when wait returns (100 ms of sound,
    // bounded generously).
    ASSERT_TRUE(out->play(click, 0));
    out->wait(5000);
    EXPECT_FALSE(out->playing());
  }
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  {
    SetSoundOutput(MakeSdlOutput());
    EXPECT_FALSE(PlaySound(click.c_str(), nullptr, SND_ASYNC | SND_NODEFAULT));
    EXPECT_FALSE(CurrentSoundOutput().playing());
    EXPECT_TRUE(PlaySound(nullptr, nullptr, 0));  // stopping nothing is fine
  }
  unsetenv("SDL_AUDIODRIVER");
}

}  // namespace
