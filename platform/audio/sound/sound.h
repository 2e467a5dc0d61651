// PlaySound: short sounds (clicks, notices) from WAV files, played on the
// sound output. The output is chosen at first use: the recording output
// when MARIVEL_SOUND=record or the display is headless, else SDL audio
// (MARIVEL_SOUND=sdl forces it). Without an audio device nothing plays and
// nothing is shown: PlaySound just answers FALSE.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/core/types.h"

namespace plat {

inline constexpr DWORD SND_SYNC = 0x00000000;
inline constexpr DWORD SND_ASYNC = 0x00000001;
inline constexpr DWORD SND_NODEFAULT = 0x00000002;
inline constexpr DWORD SND_MEMORY = 0x00000004;
inline constexpr DWORD SND_LOOP = 0x00000008;
inline constexpr DWORD SND_NOSTOP = 0x00000010;
inline constexpr DWORD SND_PURGE = 0x00000040;
inline constexpr DWORD SND_NOWAIT = 0x00002000;
inline constexpr DWORD SND_ALIAS = 0x00010000;
inline constexpr DWORD SND_FILENAME = 0x00020000;
inline constexpr DWORD SND_RESOURCE = 0x00040004;

// A null name stops what plays (as does SND_PURGE). A file name plays that
// WAV file (SND_FILENAME or no source flag); SND_ASYNC returns at once,
// otherwise the call returns when the sound ended. SND_NOSTOP refuses while
// a sound plays. FALSE when the file cannot be read, is no valid WAV, or
// no output plays it; no default sound is ever substituted. Memory,
// resource and alias sounds are not supported (FALSE).
BOOL PlaySound(const char* name, HMODULE module, DWORD flags);
inline BOOL PlaySoundA(const char* name, HMODULE module, DWORD flags) { return PlaySound(name, module, flags); }

namespace sound {

// PCM sample data ready for an output.
struct Pcm {
  int rate = 0;
  int channels = 0;
  std::vector<std::int16_t> samples;  // interleaved, native byte order
  int duration_ms() const {
    return rate > 0 && channels > 0
               ? static_cast<int>(static_cast<long long>(samples.size()) * 1000 / (static_cast<long long>(rate) * channels))
               : 0;
  }
};

// Reads a WAV file and converts it to 16-bit samples at `rate` with
// `channels` channels; false with `error` set for a missing, unreadable or
// malformed file.
bool LoadWav(const std::string& path, int rate, int channels, Pcm* out, std::string* error);

class SoundOutput {
 public:
  virtual ~SoundOutput() = default;
  virtual std::string name() const = 0;
  // Starts playing `path` (replacing what plays); false when it cannot.
  virtual bool play(const std::string& path, DWORD flags) = 0;
  virtual void stop() = 0;
  virtual bool playing() const = 0;
  // Blocks until the current sound ended, at most `limit_ms` (real time).
  virtual void wait(int limit_ms) = 0;
};

// Records every request and keeps it; the file must load like a real one
// (so bad files fail the same way), and a sound counts as playing until it
// is stopped.
class RecordingOutput final : public SoundOutput {
 public:
  struct Call {
    std::string name;  // empty for a stop
    DWORD flags = 0;
    bool result = false;
  };
  std::string name() const override { return "record"; }
  bool play(const std::string& path, DWORD flags) override;
  void stop() override;
  bool playing() const override;
  void wait(int) override;
  // What PlaySound was asked, stops included, in order.
  void note(const Call& call);
  std::vector<Call> calls() const;
  std::string current() const;  // the sound playing now, empty for none
  void clear();

 private:
  mutable std::mutex mutex_;
  std::vector<Call> calls_;
  std::string current_;
};

// Plays through an SDL audio device queue; the audio subsystem is opened
// at the first sound and closed with the output.
std::unique_ptr<SoundOutput> MakeSdlOutput();

// The output in use (chosen at first use, see above); tests may set one
// (null: choose again at next use).
SoundOutput& CurrentSoundOutput();
void SetSoundOutput(std::shared_ptr<SoundOutput> output);
// The recording output when it is the one in use, else null.
RecordingOutput* CurrentRecording();

}  // namespace sound
}  // namespace plat
