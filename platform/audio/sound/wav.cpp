// WAV files through SDL's reader and converter (no audio device needed).
#include <SDL.h>

#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/audio/sound/sound.h"

namespace plat::sound {

namespace {

// Sounds here are clicks and short notices; anything bigger is refused
// rather than read into memory.
constexpr std::uintmax_t kMaxWavBytes = 64u << 20;

}  // namespace

bool LoadWav(const std::string& path, int rate, int channels, Pcm* out, std::string* error) {
  auto fail = [&](const std::string& why) {
    if (error) *error = "\"" + path + "\": " + why;
    return false;
  };
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (ec) return fail("cannot read the file (" + ec.message() + ")");
  if (size > kMaxWavBytes) return fail("the file is too large for a sound");

  SDL_RWops* rw = SDL_RWFromFile(path.c_str(), "rb");
  if (!rw) return fail(std::string("cannot open: ") + SDL_GetError());
  SDL_AudioSpec spec{};
  Uint8* data = nullptr;
  Uint32 length = 0;
  if (!SDL_LoadWAV_RW(rw, 1, &spec, &data, &length)) return fail(std::string("not a valid WAV file: ") + SDL_GetError());
  struct FreeWav {
    Uint8* p;
    ~FreeWav() { SDL_FreeWAV(p); }
  } free_wav{data};

  SDL_AudioCVT cvt;
  const int built = SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, static_cast<int>(spec.freq), AUDIO_S16SYS,
                                      static_cast<Uint8>(channels), rate);
  if (built < 0) return fail(std::string("unsupported sample format: ") + SDL_GetError());
  std::vector<Uint8> buffer(static_cast<std::size_t>(length) * static_cast<std::size_t>(cvt.len_mult) + 16);
  std::memcpy(buffer.data(), data, length);
  cvt.buf = buffer.data();
  cvt.len = static_cast<int>(length);
  if (built > 0 && SDL_ConvertAudio(&cvt) != 0) return fail(std::string("conversion failed: ") + SDL_GetError());
  const std::size_t bytes = built > 0 ? static_cast<std::size_t>(cvt.len_cvt) : length;

  Pcm pcm;
  pcm.rate = rate;
  pcm.channels = channels;
  pcm.samples.resize(bytes / sizeof(std::int16_t));
  std::memcpy(pcm.samples.data(), buffer.data(), pcm.samples.size() * sizeof(std::int16_t));
  *out = std::move(pcm);
  return true;
}

}  // namespace plat::sound
