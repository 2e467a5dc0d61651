// The test tapes (made once by make_test_tapes.sh, cached by its hash), the
// virtual camcorders declared over them, and ffprobe/ffmpeg checks of what
// the captures wrote.
#pragma once

#include <gtest/gtest.h>
#include <stdio.h>

#include <cstdlib>
#include <string>

#include "platform/registry/registry.h"

namespace dvtapes {

inline std::string Dir() {
  static const std::string dir = [] {
    const std::string command = std::string(DV_TAPES_SCRIPT) + " " + DV_TAPES_DIR;
    return std::system(command.c_str()) == 0 ? std::string(DV_TAPES_DIR) : std::string();
  }();
  return dir;
}
inline std::string Pal() { return Dir() + "/pal.dv"; }
inline std::string Ntsc() { return Dir() + "/ntsc.dv"; }
inline std::string Ts() { return Dir() + "/tape.ts"; }

// Declares virtual camcorder `n` in the machine hive.
inline void Declare(const std::string& n, const std::string& tape, const std::string& name) {
  using namespace plat;
  HKEY key = nullptr;
  const std::string path = std::string("SoftWare\\Kestrovia\\Marivel\\VirtualCamcorders\\") + n;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, "Tape", 0, REG_SZ, reinterpret_cast<const BYTE*>(tape.c_str()), static_cast<DWORD>(tape.size() + 1));
  if (!name.empty()) {
    RegSetValueExA(key, "Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()),
                   static_cast<DWORD>(name.size() + 1));
  }
  RegCloseKey(key);
}

// The output of a command (argument words are the test's own, never input).
inline std::string Run(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return out;
  char buffer[4096];
  std::size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  pclose(pipe);
  return out;
}

// "codec,width,height,rate" of the first video stream and the duration.
struct Probe {
  std::string codec;
  int width = 0;
  int height = 0;
  std::string rate;
  double seconds = 0;
  std::string audio;
};

inline Probe ProbeFile(const std::string& path) {
  Probe p;
  const std::string v = Run("ffprobe -v error -select_streams v:0 -show_entries stream=codec_name,width,height,r_frame_rate "
                            "-of csv=p=0 '" + path + "'");
  char codec[64] = {}, rate[64] = {};
  std::sscanf(v.c_str(), "%63[^,],%d,%d,%63s", codec, &p.width, &p.height, rate);
  p.codec = codec;
  p.rate = rate;
  while (!p.rate.empty() && (p.rate.back() == ',' || p.rate.back() == '\n')) p.rate.pop_back();
  // The duration counted from the decoded video frames.
  const std::string frames = Run("ffprobe -v error -count_frames -select_streams v:0 -show_entries "
                                 "stream=nb_read_frames -of csv=p=0 '" + path + "'");
  const double n = std::atof(frames.c_str());
  int num = 0, den = 1;
  std::sscanf(p.rate.c_str(), "%d/%d", &num, &den);
  if (num > 0) p.seconds = n * den / num;
  p.audio = Run("ffprobe -v error -select_streams a:0 -show_entries stream=codec_name -of csv=p=0 '" + path + "'");
  while (!p.audio.empty() && (p.audio.back() == '\n' || p.audio.back() == '\r')) p.audio.pop_back();
  return p;
}

// The PSNR in dB of the capture's first frame against tape frame `frame`.
inline double FirstFramePsnr(const std::string& capture, const std::string& tape, long frame, int width, int height) {
  const std::string filter = "[0:v]trim=end_frame=1,scale=" + std::to_string(width) + ":" + std::to_string(height) +
                             ",format=yuv420p,setpts=PTS-STARTPTS[a];[1:v]select=eq(n\\," + std::to_string(frame) +
                             "),scale=" + std::to_string(width) + ":" + std::to_string(height) +
                             ",format=yuv420p,setpts=PTS-STARTPTS[b];[a][b]psnr";
  const std::string out = Run("ffmpeg -hide_banner -nostats -i '" + capture + "' -i '" + tape + "' -filter_complex '" +
                              filter + "' -frames:v 1 -f null - 2>&1");
  const std::size_t at = out.find("average:");
  if (at == std::string::npos) return 0;
  const std::string value = out.substr(at + 8, out.find(' ', at + 8) - at - 8);
  return value == "inf" ? 99.0 : std::atof(value.c_str());
}

}  // namespace dvtapes
