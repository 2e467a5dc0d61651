#include "tests/engines/rip/rip_fixtures.h"

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <thread>

#include "platform/com/runtime.h"
#include "platform/win/message.h"
// GStreamer after the platform headers: GLib defines TRUE and FALSE.
#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include "platform/media/gstreamer.h"

namespace rip_test {

namespace fs = std::filesystem;

TempDir::TempDir() {
  std::string pattern = (fs::temp_directory_path() / "marivel-rip-XXXXXX").string();
  if (::mkdtemp(pattern.data())) path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code error;
  if (!path_.empty()) fs::remove_all(path_, error);
}

std::vector<std::int16_t> StereoTone(double seconds, double hertz, int rate) {
  const auto frames = static_cast<std::size_t>(seconds * rate);
  std::vector<std::int16_t> samples(frames * 2);
  for (std::size_t i = 0; i < frames; ++i) {
    const double v = 12000.0 * std::sin(2.0 * std::numbers::pi * hertz * static_cast<double>(i) / rate);
    samples[2 * i] = samples[2 * i + 1] = static_cast<std::int16_t>(std::lround(v));
  }
  return samples;
}

namespace {

void Put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, static_cast<std::uint16_t>(v));
  Put16(out, static_cast<std::uint16_t>(v >> 16));
}
std::uint32_t Le32(const std::uint8_t* b) {
  return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
         static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

std::vector<std::uint8_t> PcmBytes(const std::vector<std::int16_t>& samples) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(samples.size() * 2);
  for (std::int16_t s : samples) Put16(bytes, static_cast<std::uint16_t>(s));
  return bytes;
}

}  // namespace

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteWav(const std::string& path, const std::vector<std::int16_t>& samples, int rate, int channels) {
  const std::vector<std::uint8_t> data = PcmBytes(samples);
  std::vector<std::uint8_t> file;
  file.insert(file.end(), {'R', 'I', 'F', 'F'});
  Put32(file, static_cast<std::uint32_t>(36 + data.size()));
  file.insert(file.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  Put32(file, 16);
  Put16(file, 1);
  Put16(file, static_cast<std::uint16_t>(channels));
  Put32(file, static_cast<std::uint32_t>(rate));
  Put32(file, static_cast<std::uint32_t>(rate * channels * 2));
  Put16(file, static_cast<std::uint16_t>(channels * 2));
  Put16(file, 16);
  file.insert(file.end(), {'d', 'a', 't', 'a'});
  Put32(file, static_cast<std::uint32_t>(data.size()));
  file.insert(file.end(), data.begin(), data.end());
  WriteBytes(path, file);
}

std::string WriteCdImage(const std::string& folder, const std::vector<double>& hertz, double seconds,
                         std::vector<std::vector<std::uint8_t>>* pcm) {
  constexpr int kFramesPerSector = 588;  // 2352 bytes of 16-bit stereo
  const int sectors = static_cast<int>(seconds * 75);
  std::vector<std::uint8_t> bin;
  std::string cue = "FILE \"disc.bin\" BINARY\n";
  for (std::size_t t = 0; t < hertz.size(); ++t) {
    std::vector<std::int16_t> tone = StereoTone(static_cast<double>(sectors) * kFramesPerSector / kRate, hertz[t]);
    tone.resize(static_cast<std::size_t>(sectors) * kFramesPerSector * 2);
    const std::vector<std::uint8_t> bytes = PcmBytes(tone);
    const std::size_t startSector = bin.size() / 2352;
    char line[96];
    std::snprintf(line, sizeof line, "  TRACK %02zu AUDIO\n    INDEX 01 %02zu:%02zu:%02zu\n", t + 1,
                  startSector / 75 / 60, startSector / 75 % 60, startSector % 75);
    cue += line;
    bin.insert(bin.end(), bytes.begin(), bytes.end());
    if (pcm) pcm->push_back(bytes);
  }
  WriteBytes(folder + "/disc.bin", bin);
  std::ofstream(folder + "/disc.cue") << cue;
  return folder + "/disc.cue";
}

std::string MediaFixture(const std::string& name) {
  static const bool built = [] {
    const std::string command = std::string(RIP_FIXTURE_SCRIPT) + " " + RIP_FIXTURE_DIR;
    return std::system(command.c_str()) == 0;
  }();
  return built ? std::string(RIP_FIXTURE_DIR) + "/" + name : std::string();
}

std::vector<std::uint8_t> CdxaFile(const std::vector<std::uint8_t>& sectors) {
  std::vector<std::uint8_t> file;
  file.insert(file.end(), {'R', 'I', 'F', 'F'});
  Put32(file, static_cast<std::uint32_t>(4 + 8 + 16 + 8 + sectors.size()));
  file.insert(file.end(), {'C', 'D', 'X', 'A', 'f', 'm', 't', ' '});
  Put32(file, 16);
  file.insert(file.end(), 16, 0);
  file.insert(file.end(), {'d', 'a', 't', 'a'});
  Put32(file, static_cast<std::uint32_t>(sectors.size()));
  file.insert(file.end(), sectors.begin(), sectors.end());
  return file;
}

void WriteVideoCdDat(const std::string& path) {
  // vcd.cue puts the MPEG track's INDEX 01 at 00:06:00, sector 450.
  constexpr std::size_t kTrackStart = 450 * 2352;
  const std::vector<std::uint8_t> bin = ReadBytes(MediaFixture("vcd.bin"));
  if (bin.size() <= kTrackStart) return;
  WriteBytes(path, CdxaFile({bin.begin() + static_cast<std::ptrdiff_t>(kTrackStart), bin.end()}));
}

std::vector<std::uint8_t> WavData(const std::string& path) {
  const std::vector<std::uint8_t> file = ReadBytes(path);
  if (file.size() < 12 || std::memcmp(file.data(), "RIFF", 4) != 0 || std::memcmp(file.data() + 8, "WAVE", 4) != 0) {
    return {};
  }
  std::size_t at = 12;
  while (at + 8 <= file.size()) {
    const std::size_t size = Le32(file.data() + at + 4);
    if (std::memcmp(file.data() + at, "data", 4) == 0) {
      // A header that claims more than the file holds was never finished.
      if (at + 8 + size > file.size()) return {};
      return {file.begin() + static_cast<std::ptrdiff_t>(at + 8),
              file.begin() + static_cast<std::ptrdiff_t>(at + 8 + size)};
    }
    at += 8 + size + (size & 1);
  }
  return {};
}

Decoded Decode(const std::string& path) {
  Decoded decoded;
  if (!plat::media::InitializeGStreamer()) return decoded;
  GError* error = nullptr;
  GstElement* pipeline = gst_parse_launch(
      "filesrc name=in ! decodebin ! audioconvert ! audioresample ! "
      "audio/x-raw,format=S16LE,channels=1,rate=44100 ! appsink name=out sync=false",
      &error);
  if (error) g_error_free(error);
  if (!pipeline) return decoded;
  GstElement* in = gst_bin_get_by_name(GST_BIN(pipeline), "in");
  g_object_set(in, "location", path.c_str(), nullptr);
  gst_object_unref(in);
  GstElement* out = gst_bin_get_by_name(GST_BIN(pipeline), "out");
  gst_element_set_state(pipeline, GST_STATE_PLAYING);
  while (GstSample* sample = gst_app_sink_pull_sample(GST_APP_SINK(out))) {
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstMapInfo map;
    if (gst_buffer_map(buffer, &map, GST_MAP_READ)) {
      const auto* s = reinterpret_cast<const std::int16_t*>(map.data);
      decoded.samples.insert(decoded.samples.end(), s, s + map.size / 2);
      gst_buffer_unmap(buffer, &map);
    }
    gst_sample_unref(sample);
  }
  GstBus* bus = gst_element_get_bus(pipeline);
  GstMessage* message = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR);
  decoded.ok = message == nullptr && !decoded.samples.empty();
  if (message) gst_message_unref(message);
  gst_object_unref(bus);
  gst_object_unref(out);
  gst_element_set_state(pipeline, GST_STATE_NULL);
  gst_object_unref(pipeline);
  return decoded;
}

namespace {

double Goertzel(const std::vector<std::int16_t>& samples, double hertz) {
  const double w = 2.0 * std::numbers::pi * hertz / kRate;
  const double coefficient = 2.0 * std::cos(w);
  double s1 = 0, s2 = 0;
  for (std::int16_t x : samples) {
    const double s0 = x + coefficient * s1 - s2;
    s2 = s1;
    s1 = s0;
  }
  return s1 * s1 + s2 * s2 - coefficient * s1 * s2;
}

}  // namespace

bool ToneDominant(const std::vector<std::int16_t>& samples, double hertz) {
  if (samples.size() < kRate / 10) return false;
  // The middle second (or what there is): encoder delay and edges left out.
  const std::size_t length = std::min<std::size_t>(samples.size() / 2, kRate);
  const std::vector<std::int16_t> middle(samples.begin() + static_cast<std::ptrdiff_t>(samples.size() / 4),
                                         samples.begin() + static_cast<std::ptrdiff_t>(samples.size() / 4 + length));
  const double at = Goertzel(middle, hertz);
  for (double other : {hertz * 0.63, hertz * 1.41, hertz * 2.3}) {
    if (at < 20.0 * Goertzel(middle, other)) return false;
  }
  return at > 0;
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    plat::MSG msg;
    bool any = false;
    while (plat::PeekMessage(&msg, nullptr, 0, 0, plat::PM_REMOVE)) {
      any = true;
      plat::TranslateMessage(&msg);
      plat::DispatchMessage(&msg);
      if (done()) return true;
    }
    if (!any) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

void PumpFor(int ms) {
  PumpUntil([] { return false; }, ms);
}

int RecordingSink::OnProgress(float fraction) {
  log.push_back("progress");
  fractions.push_back(fraction);
  return answer;
}
int RecordingSink::OnFinished() {
  log.push_back("finished");
  if (onFinished) onFinished();
  return 0;
}
int RecordingSink::OnAborted() {
  log.push_back("aborted");
  return 0;
}
int RecordingSink::Count(const std::string& entry) const {
  int n = 0;
  for (const std::string& e : log) n += e == entry;
  return n;
}

ServerEnvironment::ServerEnvironment() {
  std::error_code error;
  fs::copy_file(std::string(MARIVEL_TEST_BIN_DIR) + "/registry/machine.reg", dir_ / "machine.reg",
                fs::copy_options::overwrite_existing, error);
  ::setenv("MARIVEL_REGISTRY_DIR", dir_.path().c_str(), 1);
  plat::CoInitializeEx(nullptr, plat::COINIT_APARTMENTTHREADED);
}

ServerEnvironment::~ServerEnvironment() {
  plat::CoFreeUnusedLibraries();
  plat::CoUninitialize();
}

}  // namespace rip_test
