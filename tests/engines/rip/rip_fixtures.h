// Generated audio for the rip engine tests (tones as PCM, WAV files, a
// CUE/BIN audio CD image), decoding of the ripped files, tone detection, and
// the message loop a rip's reports arrive through.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "interfaces/event_sinks.h"

namespace rip_test {

inline constexpr int kRate = 44100;

// A scratch folder removed at the end of the scope.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Interleaved 16-bit stereo samples of a sine tone.
std::vector<std::int16_t> StereoTone(double seconds, double hertz, int rate = kRate);
void WriteWav(const std::string& path, const std::vector<std::int16_t>& samples, int rate = kRate, int channels = 2);
std::vector<std::uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

// "<folder>/disc.bin" (raw little-endian CD audio) and "<folder>/disc.cue",
// one track per frequency, each `seconds` long (rounded to whole sectors).
// `pcm` receives each track's bytes.
std::string WriteCdImage(const std::string& folder, const std::vector<double>& hertz, double seconds,
                         std::vector<std::vector<std::uint8_t>>* pcm);

// The media of make_rip_fixtures.sh (built once, cached by the script's
// hash): vcd.mpg, dvd.mpg, mpeg1.mpg, av.mkv, video.mkv, vcd.bin/vcd.cue.
// Every sound in them is a 1000 Hz tone of about 3 s.
std::string MediaFixture(const std::string& name);

// A RIFF "CDXA" file (a "fmt " chunk, then the sectors as its "data" chunk).
std::vector<std::uint8_t> CdxaFile(const std::vector<std::uint8_t>& sectors);
// The Video CD image's MPEG track (from its second track's start) wrapped
// as a CDXA file at `path`, as a Video CD's .DAT file is.
void WriteVideoCdDat(const std::string& path);

// The data chunk of a RIFF/WAVE file; empty when there is none or when its
// size reaches past the end of the file (a header never finished).
std::vector<std::uint8_t> WavData(const std::string& path);

// A file decoded by GStreamer to 44.1 kHz mono 16-bit samples.
struct Decoded {
  bool ok = false;
  std::vector<std::int16_t> samples;
  double seconds() const { return static_cast<double>(samples.size()) / kRate; }
};
Decoded Decode(const std::string& path);

// True when `hertz` carries far more energy than a few other frequencies.
bool ToneDominant(const std::vector<std::int16_t>& samples, double hertz);

// Pumps this thread's messages until `done` or `timeoutMs` ran out.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs);
// Pumps messages for about `ms`.
void PumpFor(int ms);

// Records the reports in order; answers OnProgress with `answer`.
class RecordingSink final : public IRipperEventSink {
 public:
  int OnProgress(float fraction) override;
  int OnFinished() override;
  int OnAborted() override;

  std::vector<std::string> log;
  std::vector<float> fractions;
  int answer = 1;
  std::function<void()> onFinished;
  int Count(const std::string& entry) const;
  bool Ended() const { return Count("finished") + Count("aborted") > 0; }
};

// Sets up the process for the servers: a private copy of the build's
// registry hive (so tests may declare virtual inputs) and COM.
class ServerEnvironment {
 public:
  ServerEnvironment();
  ~ServerEnvironment();
  const std::string& registryDir() const { return dir_.path(); }

 private:
  TempDir dir_;
};

}  // namespace rip_test
