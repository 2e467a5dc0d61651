// Sound through an SDL audio device in queue mode: a sound is converted to
// the device's format once and queued whole; stopping clears the queue.
#include <SDL.h>

#include <chrono>
#include <thread>

#include "platform/audio/sound/sound.h"

namespace plat::sound {

namespace {

constexpr int kRate = 44100;
constexpr int kChannels = 2;

class SdlOutput final : public SoundOutput {
 public:
  ~SdlOutput() override {
    if (device_) SDL_CloseAudioDevice(device_);
    if (initialised_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
  std::string name() const override { return "sdl"; }

  bool play(const std::string& path, DWORD) override {
    std::lock_guard lock(mutex_);
    if (!open_locked()) return false;
    Pcm pcm;
    if (!LoadWav(path, kRate, kChannels, &pcm, nullptr)) return false;
    SDL_ClearQueuedAudio(device_);
    if (SDL_QueueAudio(device_, pcm.samples.data(), static_cast<Uint32>(pcm.samples.size() * sizeof(std::int16_t))) != 0)
      return false;
    SDL_PauseAudioDevice(device_, 0);
    return true;
  }
  void stop() override {
    std::lock_guard lock(mutex_);
    if (device_) SDL_ClearQueuedAudio(device_);
  }
  bool playing() const override {
    std::lock_guard lock(mutex_);
    return device_ && SDL_GetQueuedAudioSize(device_) > 0;
  }
  void wait(int limit_ms) override {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limit_ms);
    while (playing() && std::chrono::steady_clock::now() < end)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }

 private:
  // Opens the audio subsystem and a device once; a machine without sound
  // stays silent and is not asked again.
  bool open_locked() {
    if (tried_) return device_ != 0;
    tried_ = true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    initialised_ = true;
    SDL_AudioSpec want{};
    want.freq = kRate;
    want.format = AUDIO_S16SYS;
    want.channels = kChannels;
    want.samples = 2048;
    SDL_AudioSpec have{};
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    return device_ != 0;
  }

  mutable std::mutex mutex_;
  bool tried_ = false;
  bool initialised_ = false;
  SDL_AudioDeviceID device_ = 0;
};

}  // namespace

std::unique_ptr<SoundOutput> MakeSdlOutput() { return std::make_unique<SdlOutput>(); }

}  // namespace plat::sound
