#include "platform/audio/sound/sound.h"

#include <cstdlib>
#include <cstring>

#include "platform/display/display.h"

namespace plat {
namespace sound {

namespace {

// Longest a synchronous PlaySound waits for its sound.
constexpr int kSyncLimitMs = 30'000;

std::mutex g_mutex;
std::shared_ptr<SoundOutput> g_output;

bool Headless() {
  if (display::CurrentHeadless()) return true;
  if (display::CurrentBackend()) return false;
  const char* env = std::getenv("MARIVEL_DISPLAY");
  return env && std::strncmp(env, "headless", 8) == 0;
}

std::shared_ptr<SoundOutput> Choose() {
  const char* env = std::getenv("MARIVEL_SOUND");
  const std::string wanted = env ? env : "";
  if (wanted == "record" || (wanted != "sdl" && Headless())) return std::make_shared<RecordingOutput>();
  return MakeSdlOutput();
}

std::shared_ptr<SoundOutput> Output() {
  std::lock_guard lock(g_mutex);
  if (!g_output) g_output = Choose();
  return g_output;
}

}  // namespace

bool RecordingOutput::play(const std::string& path, DWORD) {
  Pcm pcm;
  if (!LoadWav(path, 44100, 2, &pcm, nullptr)) return false;
  std::lock_guard lock(mutex_);
  current_ = path;
  return true;
}
void RecordingOutput::stop() {
  std::lock_guard lock(mutex_);
  current_.clear();
}
bool RecordingOutput::playing() const {
  std::lock_guard lock(mutex_);
  return !current_.empty();
}
void RecordingOutput::wait(int) {
  // Recorded sounds take no time: a synchronous one has ended on return.
  stop();
}
void RecordingOutput::note(const Call& call) {
  std::lock_guard lock(mutex_);
  calls_.push_back(call);
}
std::vector<RecordingOutput::Call> RecordingOutput::calls() const {
  std::lock_guard lock(mutex_);
  return calls_;
}
std::string RecordingOutput::current() const {
  std::lock_guard lock(mutex_);
  return current_;
}
void RecordingOutput::clear() {
  std::lock_guard lock(mutex_);
  calls_.clear();
  current_.clear();
}

SoundOutput& CurrentSoundOutput() { return *Output(); }

void SetSoundOutput(std::shared_ptr<SoundOutput> output) {
  std::lock_guard lock(g_mutex);
  g_output = std::move(output);
}

RecordingOutput* CurrentRecording() { return dynamic_cast<RecordingOutput*>(Output().get()); }

}  // namespace sound

BOOL PlaySound(const char* name, HMODULE, DWORD flags) {
  const std::shared_ptr<sound::SoundOutput> out = sound::Output();
  auto* recording = dynamic_cast<sound::RecordingOutput*>(out.get());
  auto answer = [&](bool ok) {
    if (recording) recording->note({name ? name : "", flags, ok});
    return ok ? TRUE : FALSE;
  };
  if (!name || !*name || (flags & SND_PURGE)) {
    out->stop();
    return answer(true);
  }
  // Only files: sounds from memory, resources or the system's aliases have
  // no source here.
  const bool from_file = (flags & SND_FILENAME) != 0;
  if (!from_file && ((flags & SND_ALIAS) || (flags & SND_MEMORY))) return answer(false);
  if ((flags & SND_NOSTOP) && out->playing()) return answer(false);
  if (!out->play(name, flags)) return answer(false);
  if (!(flags & SND_ASYNC)) out->wait(sound::kSyncLimitMs);
  return answer(true);
}

}  // namespace plat
