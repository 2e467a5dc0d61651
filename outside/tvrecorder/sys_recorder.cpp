#include "outside/tvrecorder/sys_recorder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <utility>

#include "outside/tvrecorder/picture_convert.h"
#include "platform/gdi/bmp_codec.h"
#include "platform/gdi/jpeg_codec.h"
#include "platform/media/tv/v4l2_tuner.h"
#include "platform/media/tv/virtual_tuner.h"
#include "platform/registry/registry.h"
#include "platform/sys/atomic_file.h"
#include "platform/sys/clock.h"

using namespace plat;
using plat::tv::ChannelFrequencyKHz;
using plat::tv::ChannelNumbers;
using plat::tv::PictureControl;

namespace {

constexpr int kStationPercent = 50;

void Put(char* out, const std::string& text) {
  if (out) std::snprintf(out, kTvNameChars, "%s", text.c_str());
}

// The tuner cards, and the virtual tuner: first when it is preferred or
// there is no card, else after the cards.
std::vector<std::shared_ptr<plat::tv::ITunerDevice>> MachineDevices() {
  std::vector<std::shared_ptr<plat::tv::ITunerDevice>> devices;
  for (const std::string& path : plat::tv::FindTunerDevices()) {
    if (auto io = plat::tv::OpenV4l2Device(path)) {
      devices.push_back(std::make_shared<plat::tv::V4l2Tuner>(std::move(io), path));
    }
  }
  plat::tv::VirtualTunerConfig config = plat::tv::ReadVirtualTunerConfig();
  const bool first = config.prefer || devices.empty();
  auto virtualTuner = std::make_shared<plat::tv::VirtualTuner>(std::move(config));
  devices.insert(first ? devices.begin() : devices.end(), virtualTuner);
  return devices;
}

// A card's sound: the sound card on the same device, else the machine's
// "TVAudioDevice" setting.
std::string CaptureAudioFor(const std::string& videoNode) {
  std::string audio = plat::tv::TunerAudioDevice(videoNode);
  if (!audio.empty()) return audio;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SoftWare\\Kestrovia\\Marivel", 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
  char text[256] = {};
  DWORD type = 0;
  DWORD size = sizeof text - 1;
  if (RegQueryValueExA(key, "TVAudioDevice", nullptr, &type, reinterpret_cast<BYTE*>(text), &size) == ERROR_SUCCESS &&
      type == REG_SZ) {
    audio.assign(text, strnlen(text, sizeof text));
  }
  RegCloseKey(key);
  return audio;
}

}  // namespace

CSysRecorder::CSysRecorder() : CSysRecorder(MachineDevices()) {}

CSysRecorder::CSysRecorder(std::vector<std::shared_ptr<plat::tv::ITunerDevice>> devices)
    : m_devices(std::move(devices)) {}

CSysRecorder::~CSysRecorder() {
  StopSearchWorker();
  StopRecordingNow(false);
  StopTimeShiftNow();
  m_vbi.reset();
  if (m_source) m_source->Stop();
}

int CSysRecorder::Fire(int code, std::int32_t a, std::int32_t b, const TvPicture* picture) {
  std::lock_guard lock(m_sinkMutex);
  return m_pSink ? m_pSink->OnRecorderEvent(kSysRecorderSource, code, a, b, picture) : 0;
}

std::shared_ptr<plat::tv::ITunerDevice> CSysRecorder::Device() const {
  std::lock_guard lock(m_mutex);
  if (m_nDevice < 0 || m_nDevice >= static_cast<int>(m_devices.size())) return nullptr;
  return m_devices[static_cast<std::size_t>(m_nDevice)];
}

plat::tv::ChannelPlan CSysRecorder::Plan() const {
  std::lock_guard lock(m_mutex);
  return plat::tv::PlanFor(m_nCountryCode, m_nStandard);
}

tvrec::ChannelStore& CSysRecorder::Band(int antenna) { return antenna ? m_antenna : m_cable; }

int CSysRecorder::SignalPercent() const {
  const auto device = Device();
  return device ? device->Signal() * 100 / 65535 : 0;
}

// --- Set-up and devices -------------------------------------------------------------

HRESULT CSysRecorder::Initialize(int value) {
  std::lock_guard lock(m_mutex);
  m_nInitValue = value;
  return S_OK;
}

HRESULT CSysRecorder::SetEventSink(ISysRecorderEventSink* sink) {
  std::lock_guard lock(m_sinkMutex);
  m_pSink = sink;
  return S_OK;
}

HRESULT CSysRecorder::GetDeviceName(int index, char* name) {
  if (index < 0 || index >= static_cast<int>(m_devices.size())) return E_FAIL;
  Put(name, m_devices[static_cast<std::size_t>(index)]->Name());
  return S_OK;
}

HRESULT CSysRecorder::GetVideoDeviceName(int index, char* name) { return GetDeviceName(index, name); }

HRESULT CSysRecorder::GetAudioDeviceName(int index, char* name) {
  if (index < 0 || index >= static_cast<int>(m_devices.size())) return E_FAIL;
  Put(name, m_devices[static_cast<std::size_t>(index)]->Name() + " Audio");
  return S_OK;
}

HRESULT CSysRecorder::SelectDevices(const char* video, const char* audio) {
  if (!video) return E_FAIL;
  for (std::size_t i = 0; i < m_devices.size(); ++i) {
    if (m_devices[i]->Name() != video) continue;
    std::lock_guard lock(m_mutex);
    m_nDevice = static_cast<int>(i);
    m_audioDevice = audio ? audio : "";
    return S_OK;
  }
  return E_FAIL;
}

HRESULT CSysRecorder::GetSelectedDevices(char* video, char* audio) {
  const auto device = Device();
  if (!device) return E_FAIL;
  Put(video, device->Name());
  std::lock_guard lock(m_mutex);
  Put(audio, m_audioDevice);
  return S_OK;
}

HRESULT CSysRecorder::FinishDisc() { return E_FAIL; }

HRESULT CSysRecorder::SetValue(int value) {
  std::lock_guard lock(m_mutex);
  m_values[0] = value;
  return S_OK;
}
HRESULT CSysRecorder::SetValue12(int value) {
  std::lock_guard lock(m_mutex);
  m_values[1] = value;
  return S_OK;
}
HRESULT CSysRecorder::SetValue13(int value) {
  std::lock_guard lock(m_mutex);
  m_values[2] = value;
  return S_OK;
}

HRESULT CSysRecorder::GetVideoInput(int* input) {
  const auto device = Device();
  if (!device || !input) return E_FAIL;
  *input = device->Input();
  return S_OK;
}

HRESULT CSysRecorder::SetVideoInput(int input) {
  const auto device = Device();
  return device && device->SetInput(input) ? S_OK : E_FAIL;
}

HRESULT CSysRecorder::IsDeviceReady() { return Device() ? S_OK : E_FAIL; }

HRESULT CSysRecorder::HasTuner() {
  const auto device = Device();
  return device && device->HasTuner() ? S_OK : E_FAIL;
}

HRESULT CSysRecorder::EnableVideo(int) { return Device() ? S_OK : E_FAIL; }
HRESULT CSysRecorder::EnableDevice(int) { return Device() ? S_OK : E_FAIL; }

HRESULT CSysRecorder::ApplyCountry(int countryCode, int* inputType) {
  const auto device = Device();
  if (!device) return E_FAIL;
  {
    std::lock_guard lock(m_mutex);
    m_nCountryCode = countryCode;
  }
  if (inputType) *inputType = device->HasTuner() ? 1 : 2;
  return S_OK;
}

HRESULT CSysRecorder::SetCountryCode(int code) {
  std::lock_guard lock(m_mutex);
  m_nCountryCode = code;
  return S_OK;
}

HRESULT CSysRecorder::SetVideoStandard(int standard) {
  const auto device = Device();
  if (device && !device->SetStandard(standard)) return E_FAIL;
  std::lock_guard lock(m_mutex);
  m_nStandard = standard;
  return S_OK;
}

HRESULT CSysRecorder::SetCaptureOption(int value) {
  std::lock_guard lock(m_mutex);
  m_nCaptureOption = value;
  return S_OK;
}

HRESULT CSysRecorder::SetCableKey(const char* key) {
  if (!key) return E_FAIL;
  m_cable.SetKey(key);
  return S_OK;
}

HRESULT CSysRecorder::SetAntennaKey(const char* key) {
  if (!key) return E_FAIL;
  m_antenna.SetKey(key);
  return S_OK;
}

// --- Tuning ---------------------------------------------------------------------------

HRESULT CSysRecorder::GetTunerInput(int* antenna) {
  if (!antenna) return E_FAIL;
  std::lock_guard lock(m_mutex);
  *antenna = m_nAntenna;
  return S_OK;
}

HRESULT CSysRecorder::SetTunerInput(int antenna) {
  if (antenna != 0 && antenna != 1) return E_FAIL;
  std::lock_guard lock(m_mutex);
  m_nAntenna = antenna;
  return S_OK;
}

HRESULT CSysRecorder::GetChannelRange(int* first, int* last) {
  int antenna = 1;
  GetTunerInput(&antenna);
  const std::vector<int> channels = ChannelNumbers(Plan(), antenna != 0);
  if (channels.empty() || !first || !last) return E_FAIL;
  *first = channels.front();
  *last = channels.back();
  return S_OK;
}

HRESULT CSysRecorder::TuneTo(int channel, bool report) {
  const auto device = Device();
  if (!device || !device->HasTuner()) return E_FAIL;
  int antenna = 1;
  GetTunerInput(&antenna);
  const auto kHz = ChannelFrequencyKHz(Plan(), antenna != 0, channel);
  if (!kHz || !device->SetFrequencyKHz(*kHz)) return E_FAIL;
  {
    std::lock_guard lock(m_mutex);
    if (m_nChannel != channel) m_nPreviousChannel = m_nChannel;
    m_nChannel = channel;
  }
  if (m_source) m_source->Retune();
  // Another channel: its teletext starts afresh.
  m_teletext->Reset();
  m_feeder.Restart();
  if (report) Fire(tvevent::kChannelTuned, channel, SignalPercent());
  return S_OK;
}

HRESULT CSysRecorder::Tune(int channel) { return TuneTo(channel, true); }

HRESULT CSysRecorder::GetTunedChannel(int* channel) {
  if (!channel) return E_FAIL;
  std::lock_guard lock(m_mutex);
  *channel = m_nChannel;
  return S_OK;
}

// The next stored channel up or down the band; every channel of the band
// when none is stored.
HRESULT CSysRecorder::StepStored(int direction) {
  int antenna = 1;
  GetTunerInput(&antenna);
  std::vector<int> channels;
  for (const auto& [channel, c] : Band(antenna).All()) channels.push_back(channel);
  if (channels.empty()) channels = ChannelNumbers(Plan(), antenna != 0);
  if (channels.empty()) return E_FAIL;
  int current = 0;
  GetTunedChannel(&current);
  int next = direction > 0 ? channels.front() : channels.back();
  if (direction > 0) {
    for (const int c : channels) {
      if (c > current) {
        next = c;
        break;
      }
    }
  } else {
    for (auto it = channels.rbegin(); it != channels.rend(); ++it) {
      if (*it < current) {
        next = *it;
        break;
      }
    }
  }
  return Tune(next);
}

HRESULT CSysRecorder::ChannelUp() { return StepStored(1); }
HRESULT CSysRecorder::ChannelDown() { return StepStored(-1); }

HRESULT CSysRecorder::ChannelPrevious() {
  int previous = 0;
  {
    std::lock_guard lock(m_mutex);
    previous = m_nPreviousChannel;
  }
  return Tune(previous);
}

HRESULT CSysRecorder::ChannelChanged() { return S_OK; }

HRESULT CSysRecorder::Query(int antenna, int channel, TvChannelInfo* info) {
  if (!info || channel < 0 || channel >= 500) return E_FAIL;
  *info = TvChannelInfo{};
  const tvrec::StoredChannel stored = Band(antenna).Get(channel);
  std::string name = stored.name;
  int tuned = -1;
  GetTunedChannel(&tuned);
  int antennaNow = 1;
  GetTunerInput(&antennaNow);
  const auto device = Device();
  // The live signal for the tuned channel; what the table kept for others.
  if (tuned == channel && antennaNow == antenna && device) {
    info->value = SignalPercent();
    if (name.empty()) name = device->StationName();
  } else {
    info->value = stored.value;
  }
  info->status = info->value >= kStationPercent ? 1 : 0;
  info->stored = stored.stored;
  if (name.empty()) name = std::to_string(channel);
  Put(info->name, name);
  return S_OK;
}

HRESULT CSysRecorder::QueryCableChannel(int channel, TvChannelInfo* info) { return Query(0, channel, info); }
HRESULT CSysRecorder::QueryAntennaChannel(int channel, TvChannelInfo* info) { return Query(1, channel, info); }

HRESULT CSysRecorder::SetChannelStored(int antenna, int channel, int value) {
  if (channel < 0 || channel >= 500) return E_FAIL;
  Band(antenna).SetStored(channel, value);
  return S_OK;
}

HRESULT CSysRecorder::SetChannelValue(int antenna, int channel, int value) {
  if (channel < 0 || channel >= 500) return E_FAIL;
  Band(antenna).SetValue(channel, value);
  return S_OK;
}

HRESULT CSysRecorder::SetChannelParam(int antenna, int channel, int value) {
  if (channel < 0 || channel >= 500) return E_FAIL;
  Band(antenna).SetParam(channel, value);
  return S_OK;
}

// The station name the search kept for the channel, or the live one.
HRESULT CSysRecorder::GetFoundChannelName(int channel, char* name) {
  int antenna = 1;
  GetTunerInput(&antenna);
  std::string station = Band(antenna).Get(channel).name;
  int tuned = -1;
  GetTunedChannel(&tuned);
  const auto device = Device();
  if (station.empty() && device && tuned == channel) station = device->StationName();
  if (station.empty()) return E_FAIL;
  Put(name, station);
  return S_OK;
}

HRESULT CSysRecorder::IsSignalPresent() { return SignalPercent() > 0 ? S_OK : E_FAIL; }

// --- Search -----------------------------------------------------------------------------

void CSysRecorder::SearchWorker(int antenna) {
  const auto device = Device();
  const std::vector<int> channels = ChannelNumbers(Plan(), antenna != 0);
  const int count = static_cast<int>(channels.size());
  for (int i = 0; i < count && !m_bStopSearch && device; ++i) {
    const int channel = channels[static_cast<std::size_t>(i)];
    if (SUCCEEDED(TuneTo(channel, false))) {
      if (const int settle = device->SettleMs(); settle > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(settle));
      }
      const int percent = SignalPercent();
      if (percent >= kStationPercent) {
        tvrec::ChannelStore& band = Band(antenna);
        band.SetStored(channel, 1);
        band.SetValue(channel, percent);
        if (const std::string station = device->StationName(); !station.empty()) band.SetName(channel, station);
        Fire(tvevent::kChannelTuned, channel, percent);
      }
    }
    // An empty band never divides by zero: the loop does not run.
    Fire(tvevent::kSearchPercent, (i + 1) * 100 / count);
  }
  Fire(tvevent::kSearchFinished);
}

HRESULT CSysRecorder::StartSearch() {
  const auto device = Device();
  if (!device || !device->HasTuner()) return E_FAIL;
  std::lock_guard lock(m_searchMutex);
  if (m_search.joinable()) m_search.join();
  int antenna = 1;
  GetTunerInput(&antenna);
  m_bStopSearch = false;
  m_search = std::thread([this, antenna] { SearchWorker(antenna); });
  return S_OK;
}

void CSysRecorder::StopSearchWorker() {
  std::lock_guard lock(m_searchMutex);
  m_bStopSearch = true;
  if (m_search.joinable()) m_search.join();
}

HRESULT CSysRecorder::StopSearch() {
  StopSearchWorker();
  return S_OK;
}

HRESULT CSysRecorder::StartSearchAlternate() { return StartSearch(); }
HRESULT CSysRecorder::StopSearchAlternate() { return StopSearch(); }

// --- Picture and sound ------------------------------------------------------------------

HRESULT CSysRecorder::PictureRange(PictureControl c, int* minimum, int* maximum, int* byDefault) {
  const auto device = Device();
  plat::tv::ControlRange range;
  if (!device || !device->ControlRangeOf(c, range)) return E_FAIL;
  if (minimum) *minimum = range.minimum;
  if (maximum) *maximum = range.maximum;
  if (byDefault) *byDefault = range.byDefault;
  return S_OK;
}

HRESULT CSysRecorder::PictureGet(PictureControl c, int* value) {
  const auto device = Device();
  return device && value && device->GetControl(c, *value) ? S_OK : E_FAIL;
}

HRESULT CSysRecorder::PictureSet(PictureControl c, int value) {
  const auto device = Device();
  return device && device->SetControl(c, value) ? S_OK : E_FAIL;
}

HRESULT CSysRecorder::GetBrightnessRange(int* a, int* b, int* c) { return PictureRange(PictureControl::kBrightness, a, b, c); }
HRESULT CSysRecorder::GetBrightness(int* v) { return PictureGet(PictureControl::kBrightness, v); }
HRESULT CSysRecorder::SetBrightness(int v) { return PictureSet(PictureControl::kBrightness, v); }
HRESULT CSysRecorder::GetContrastRange(int* a, int* b, int* c) { return PictureRange(PictureControl::kContrast, a, b, c); }
HRESULT CSysRecorder::GetContrast(int* v) { return PictureGet(PictureControl::kContrast, v); }
HRESULT CSysRecorder::SetContrast(int v) { return PictureSet(PictureControl::kContrast, v); }
HRESULT CSysRecorder::GetHueRange(int* a, int* b, int* c) { return PictureRange(PictureControl::kHue, a, b, c); }
HRESULT CSysRecorder::GetHue(int* v) { return PictureGet(PictureControl::kHue, v); }
HRESULT CSysRecorder::SetHue(int v) { return PictureSet(PictureControl::kHue, v); }
HRESULT CSysRecorder::GetSaturationRange(int* a, int* b, int* c) { return PictureRange(PictureControl::kSaturation, a, b, c); }
HRESULT CSysRecorder::GetSaturation(int* v) { return PictureGet(PictureControl::kSaturation, v); }
HRESULT CSysRecorder::SetSaturation(int v) { return PictureSet(PictureControl::kSaturation, v); }

HRESULT CSysRecorder::HasTvAudio() {
  const auto device = Device();
  return device && device->HasTuner() ? S_OK : E_FAIL;
}

HRESULT CSysRecorder::SetTvAudio(int mode) {
  const auto device = Device();
  return device && device->SetAudioMode(mode) ? S_OK : E_FAIL;
}

HRESULT CSysRecorder::GetTvAudio(int* mode) {
  const auto device = Device();
  if (!device || !mode) return E_FAIL;
  *mode = device->AudioMode();
  return S_OK;
}

HRESULT CSysRecorder::SetAudioChannelMode(int mode) {
  if (mode < 0 || mode > 2) return E_FAIL;
  std::lock_guard lock(m_mutex);
  m_nAudioChannelMode = mode;
  return S_OK;
}

// --- Video window -----------------------------------------------------------------------

HRESULT CSysRecorder::SetOwnerWindow(HWND owner, int, int) {
  m_video.SetOwner(owner);
  return owner && !m_video.hwnd() ? E_FAIL : S_OK;
}

HRESULT CSysRecorder::SetVideoOrigin(int left, int top) {
  std::lock_guard lock(m_mutex);
  m_videoRect[0] = left;
  m_videoRect[1] = top;
  m_video.Place(m_videoRect[0], m_videoRect[1], m_videoRect[2], m_videoRect[3]);
  return S_OK;
}

HRESULT CSysRecorder::SetVideoSize(int width, int height) {
  if (width < 0 || height < 0) return E_FAIL;
  std::lock_guard lock(m_mutex);
  m_videoRect[2] = width;
  m_videoRect[3] = height;
  m_video.Place(m_videoRect[0], m_videoRect[1], m_videoRect[2], m_videoRect[3]);
  return S_OK;
}

HRESULT CSysRecorder::ShowVideo(int show) {
  m_video.Show(show != 0);
  return S_OK;
}

HRESULT CSysRecorder::SetFrameSize(int width, int height) {
  if (width <= 0 || height <= 0 || width > 4096 || height > 4096) return E_FAIL;
  std::lock_guard lock(m_mutex);
  m_frameSize[0] = width;
  m_frameSize[1] = height;
  return S_OK;
}

HRESULT CSysRecorder::SetPreviewOption(int value) {
  std::lock_guard lock(m_mutex);
  m_nPreviewOption = value;
  return S_OK;
}

HRESULT CSysRecorder::SetProfileFamily(int value) {
  std::lock_guard lock(m_mutex);
  m_nProfileFamily = value;
  return S_OK;
}

HRESULT CSysRecorder::SetPreviewFamily(int value) {
  std::lock_guard lock(m_mutex);
  m_nPreviewFamily = value;
  return S_OK;
}

HRESULT CSysRecorder::SetTimeShiftFolder(const char* folder) {
  if (!folder) return E_FAIL;
  std::lock_guard lock(m_mutex);
  m_timeShiftFolder = folder;
  return S_OK;
}

// --- Timed scan: each step tunes the channel the engine chose -----------------------

HRESULT CSysRecorder::ScanStart(int first, int last) { return first <= last ? S_OK : E_FAIL; }
HRESULT CSysRecorder::ScanStop() { return S_OK; }
HRESULT CSysRecorder::ScanStep(int, int channel) { return TuneTo(channel, false); }
HRESULT CSysRecorder::ScanControl(int, int, int, int, int) { return S_OK; }

// --- Web cameras and discs --------------------------------------------------------------

HRESULT CSysRecorder::GetWebCameraCount(int* count) {
  if (!count) return E_FAIL;
  *count = 0;
  return S_OK;
}

HRESULT CSysRecorder::GetWebCamera(int, int*) { return E_FAIL; }
HRESULT CSysRecorder::AcknowledgeDisc(int) { return S_OK; }

// --- Programme guide: analogue broadcast carries none, so it stays empty ---------------

HRESULT CSysRecorder::SetGuideRange(int, int) { return S_OK; }
HRESULT CSysRecorder::GuideStep(int) { return S_OK; }
HRESULT CSysRecorder::GuideOp217(int) { return S_OK; }
HRESULT CSysRecorder::GuideOp218(int) { return S_OK; }
HRESULT CSysRecorder::GuideOp219(int) { return S_OK; }
HRESULT CSysRecorder::GuideOp220(int) { return S_OK; }

HRESULT CSysRecorder::SetProgressSink(ISysRecorderProgressSink* sink) {
  std::lock_guard lock(m_sinkMutex);
  m_pProgress = sink;
  return S_OK;
}

HRESULT CSysRecorder::ClearProgressSink() {
  std::lock_guard lock(m_sinkMutex);
  m_pProgress = nullptr;
  return S_OK;
}

// --- Live source, pictures and recording -------------------------------------------

std::shared_ptr<plat::tv::VirtualTuner> CSysRecorder::VirtualDevice() const {
  return std::dynamic_pointer_cast<plat::tv::VirtualTuner>(Device());
}

bool CSysRecorder::EnsureSource() {
  if (m_source && m_source->running()) return true;
  int standard = 0x10;
  {
    std::lock_guard lock(m_mutex);
    standard = m_nStandard;
  }
  if (const auto tuner = VirtualDevice()) {
    m_source = std::make_unique<tvrec::TvSource>(tuner);
  } else if (const auto card = std::dynamic_pointer_cast<plat::tv::V4l2Tuner>(Device())) {
    m_source = std::make_unique<tvrec::TvSource>(tvrec::TvSource::CaptureDevice{card->path(), CaptureAudioFor(card->path())});
    OpenVbi(card->path());
  } else {
    return false;
  }
  m_nFrameConsumer = m_source->AddVideoConsumer([this](const tvrec::VideoFrameI420& f) { OnFrame(f); });
  if (!m_source->Start(tvrec::FormatForStandard(standard))) {
    m_vbi.reset();
    m_source.reset();
    return false;
  }
  return true;
}

// The card's VBI device, when it has one that gives teletext.
void CSysRecorder::OpenVbi(const std::string& videoNode) {
  m_vbi.reset();
  const std::string node = plat::tv::TunerVbiDevice(videoNode);
  if (node.empty()) return;
  auto io = plat::tv::OpenV4l2Device(node);
  if (!io) return;
  auto vbi = std::make_unique<plat::tv::V4l2Vbi>(std::move(io));
  if (!vbi->ok()) return;
  m_vbi = std::make_unique<tvrec::VbiReader>(std::move(vbi), m_teletext, [this] { m_teletextWindow.Refresh(); });
}

void CSysRecorder::StopSourceIfIdle() {
  if (!m_source || m_bPreview || m_recording || m_shift || m_bSourceOpen) return;
  {
    // A picture still asked for keeps the source running.
    std::lock_guard lock(m_pictureMutex);
    if (!m_snapshotPath.empty() || m_bWallRequest) return;
  }
  m_vbi.reset();
  m_source->Stop();
  m_source.reset();
}

// Streaming thread: serves the picture requests with the newest frame.
void CSysRecorder::OnFrame(const tvrec::VideoFrameI420& frame) {
  std::string snapshot;
  bool wall = false;
  {
    std::lock_guard lock(m_pictureMutex);
    snapshot.swap(m_snapshotPath);
    wall = std::exchange(m_bWallRequest, false);
  }
  {
    std::lock_guard lock(m_shiftMutex);
    const bool replaying = (m_shift && m_shift->replaying()) || (m_watch && m_watch->replaying());
    if (m_bPreview && !replaying) m_video.Present(frame);
  }
  // A station with teletext sends a field's lines with every picture.
  if (const auto tuner = VirtualDevice()) {
    if (const auto station = tuner->Station(); station && station->teletext && tuner->Signal() > 0) {
      const int before = m_teletext->pagesReceived();
      m_feeder.NextField(station->name, static_cast<double>(frame.ptsNs) / 1e9);
      if (m_teletext->pagesReceived() != before) m_teletextWindow.Refresh();
    }
  }
  if (!snapshot.empty()) {
    const auto surface = tvrec::FrameToSurface(frame);
    const std::vector<std::uint8_t> jpeg = surface ? plat::gdi::EncodeJpeg(*surface) : std::vector<std::uint8_t>{};
    if (!jpeg.empty() &&
        plat::WriteFileAtomically(snapshot, std::string_view(reinterpret_cast<const char*>(jpeg.data()), jpeg.size()))) {
      Fire(tvevent::kPictureReady);
    }
  }
  if (wall) {
    constexpr int kWallWidth = 160;
    constexpr int kWallHeight = 120;
    const std::vector<std::uint8_t> bgr = tvrec::FrameToBgr24(frame, kWallWidth, kWallHeight);
    if (!bgr.empty()) {
      const TvPicture picture{kWallWidth, kWallHeight, kWallWidth * 3, bgr.data()};
      Fire(tvevent::kPictureReady, 0, 0, &picture);
    }
  }
}

HRESULT CSysRecorder::Preview(int on) {
  if (on) {
    if (!EnsureSource()) return E_FAIL;
    m_bPreview = true;
    return S_OK;
  }
  m_bPreview = false;
  StopSourceIfIdle();
  return S_OK;
}

HRESULT CSysRecorder::SaveSnapshot(const char* path) {
  if (!path || !*path || !EnsureSource()) return E_FAIL;
  std::lock_guard lock(m_pictureMutex);
  m_snapshotPath = path;
  return S_OK;
}

HRESULT CSysRecorder::RequestWallPicture() {
  if (!EnsureSource()) return E_FAIL;
  std::lock_guard lock(m_pictureMutex);
  m_bWallRequest = true;
  return S_OK;
}

HRESULT CSysRecorder::StartRecording(const char* file, int, const EncoderBlock* block, int) {
  if (!file || !block || m_recording || !EnsureSource()) return E_FAIL;
  tvrec::EncodeSettings settings = tvrec::SettingsFromBlock(*block, m_source->format());
  {
    std::lock_guard lock(m_mutex);
    if (settings.avi) {
      // Zero keeps the block's own value.
      if (m_aviKeyInterval > 0) settings.gopLength = std::min(m_aviKeyInterval, 300);
      if (m_aviBitRate > 0) settings.videoBitRate = std::clamp(m_aviBitRate, 100000, 15000000);
    }
    if (m_frameSize[0] > 0 && m_frameSize[1] > 0) {
      settings.width = (m_frameSize[0] + 1) & ~1;
      settings.height = (m_frameSize[1] + 1) & ~1;
    }
  }
  auto recording = std::make_unique<tvrec::AvRecorder>();
  if (!recording->Open(file, settings)) {
    StopSourceIfIdle();
    return E_FAIL;
  }
  tvrec::AvRecorder* r = recording.get();
  m_recording = std::move(recording);
  m_recordConsumers[0] = m_source->AddVideoConsumer([r](const tvrec::VideoFrameI420& f) { r->AddVideo(f); });
  m_recordConsumers[1] = m_source->AddAudioConsumer([r](const tvrec::AudioChunk& c) { r->AddAudio(c); });
  m_recordingFile = file;
  m_recordStart = std::chrono::duration_cast<std::chrono::seconds>(GetClock().wall_now().time_since_epoch()).count();
  m_recordStartSteady = GetClock().steady_ms();
  return S_OK;
}

void CSysRecorder::StopRecordingNow(bool report) {
  if (!m_recording) return;
  StopWatchNow();
  // Once the consumers are gone no frame reaches the file; then it is completed.
  if (m_source) {
    m_source->RemoveConsumer(m_recordConsumers[0]);
    m_source->RemoveConsumer(m_recordConsumers[1]);
  }
  m_recording->Close();
  m_recording.reset();
  if (report) Fire(tvevent::kRecordingFinalised);
  StopSourceIfIdle();
}

HRESULT CSysRecorder::StopRecording(int) {
  if (!m_recording) return E_FAIL;
  StopRecordingNow(true);
  return S_OK;
}

HRESULT CSysRecorder::GetRecordedSize(std::int64_t* kilobytes) {
  if (!kilobytes || !m_recording) return E_FAIL;
  *kilobytes = m_recording->bytesWritten() / 1024;
  return S_OK;
}

HRESULT CSysRecorder::GetRecordTimes(std::int64_t* startTime, std::int64_t* elapsedSeconds) {
  if (!m_recording) return E_FAIL;
  if (startTime) *startTime = m_recordStart;
  if (elapsedSeconds) *elapsedSeconds = static_cast<std::int64_t>((GetClock().steady_ms() - m_recordStartSteady) / 1000);
  return S_OK;
}

// --- Time shift -------------------------------------------------------------------------

HRESULT CSysRecorder::CanTimeShift() {
  if (!Device() || m_recording || m_shift) return E_FAIL;
  std::lock_guard lock(m_mutex);
  return m_timeShiftFolder.empty() ? E_FAIL : S_OK;
}

HRESULT CSysRecorder::StartTimeShift(int on, const EncoderBlock* block, int segmentMB, int segmentCount, int,
                                     int) {
  if (!on) {
    if (!m_shift) return E_FAIL;
    StopTimeShiftNow();
    return S_OK;
  }
  if (!block || m_shift || FAILED(CanTimeShift()) || !EnsureSource()) return E_FAIL;
  std::string folder;
  {
    std::lock_guard lock(m_mutex);
    folder = m_timeShiftFolder;
  }
  const tvrec::EncodeSettings settings = tvrec::SettingsFromBlock(*block, m_source->format());
  auto shift = std::make_unique<tvrec::TimeShift>(folder, settings, segmentMB, segmentCount,
                                                  [this](const tvrec::VideoFrameI420& f) { m_video.Present(f); });
  tvrec::TimeShift* s = shift.get();
  {
    std::lock_guard lock(m_shiftMutex);
    m_shift = std::move(shift);
  }
  m_shiftConsumers[0] = m_source->AddVideoConsumer([s](const tvrec::VideoFrameI420& f) { s->AddVideo(f); });
  m_shiftConsumers[1] = m_source->AddAudioConsumer([s](const tvrec::AudioChunk& c) { s->AddAudio(c); });
  m_shiftStart = std::chrono::duration_cast<std::chrono::milliseconds>(GetClock().wall_now().time_since_epoch()).count();
  m_bPreview = true;
  return S_OK;
}

void CSysRecorder::StopTimeShiftNow() {
  if (!m_shift) return;
  if (m_source) {
    m_source->RemoveConsumer(m_shiftConsumers[0]);
    m_source->RemoveConsumer(m_shiftConsumers[1]);
  }
  std::unique_ptr<tvrec::TimeShift> shift;
  {
    std::lock_guard lock(m_shiftMutex);
    shift = std::move(m_shift);
  }
  shift.reset();
}

HRESULT CSysRecorder::ReplayPlay() {
  if (!Replayer()) return E_FAIL;
  Replayer()->Play();
  return S_OK;
}

HRESULT CSysRecorder::ReplayPause() {
  if (!Replayer()) return E_FAIL;
  Replayer()->Pause();
  return S_OK;
}

HRESULT CSysRecorder::ReplayHold(int) { return Replayer() ? S_OK : E_FAIL; }

HRESULT CSysRecorder::GetReplayPosition(std::int64_t* ms) {
  if (!Replayer() || !ms) return E_FAIL;
  *ms = Replayer()->Position();
  return S_OK;
}

HRESULT CSysRecorder::SetReplayPosition(std::int64_t ms) {
  if (!Replayer()) return E_FAIL;
  return Replayer()->SetPosition(ms) ? S_OK : E_FAIL;
}

// Normal speed, or a scan forward or back at `rate` times it.
HRESULT CSysRecorder::SetReplayRate(int, double rate) {
  tvrec::TimeShift* r = Replayer();
  if (!r) return E_FAIL;
  return r->SetRate(rate) ? S_OK : E_INVALIDARG;
}

// The time of day the replay shows.
HRESULT CSysRecorder::GetReplayClock(int* hour, int* minute, int* second) {
  if (!m_shift) return E_FAIL;
  const std::time_t at = static_cast<std::time_t>((m_shiftStart + m_shift->Position()) / 1000);
  std::tm tm{};
  ::localtime_r(&at, &tm);
  if (hour) *hour = tm.tm_hour;
  if (minute) *minute = tm.tm_min;
  if (second) *second = tm.tm_sec;
  return S_OK;
}

HRESULT CSysRecorder::ResetReplay() { return S_OK; }

// --- Watching the recording, the time-shift source ------------------------------------

tvrec::TimeShift* CSysRecorder::Replayer() const { return m_shift ? m_shift.get() : m_watch.get(); }

void CSysRecorder::StopWatchNow() {
  std::unique_ptr<tvrec::TimeShift> watch;
  {
    std::lock_guard lock(m_shiftMutex);
    watch = std::move(m_watch);
  }
}

// The recording so far, from its start, while it goes on recording.
HRESULT CSysRecorder::WatchRecording(int on) {
  if (!on) {
    if (!m_watch) return E_FAIL;
    StopWatchNow();
    return S_OK;
  }
  if (!m_recording || m_watch) return E_FAIL;
  const std::uint64_t started = m_recordStartSteady;
  auto watch = std::make_unique<tvrec::TimeShift>(
      m_recordingFile, [started] { return static_cast<std::int64_t>(GetClock().steady_ms() - started); },
      [this](const tvrec::VideoFrameI420& f) { m_video.Present(f); });
  tvrec::TimeShift* w = watch.get();
  {
    std::lock_guard lock(m_shiftMutex);
    m_watch = std::move(watch);
  }
  w->PlayFrom(0);
  return S_OK;
}

// The time-shift source: the live picture kept running for recordings from it.
HRESULT CSysRecorder::OpenTimeShiftSource(int open) {
  if (!open) {
    if (!m_bSourceOpen) return E_FAIL;
    StopRecordingNow(true);
    m_bSourceOpen = false;
    m_bSourcePaused = false;
    StopSourceIfIdle();
    return S_OK;
  }
  if (m_bSourceOpen || !EnsureSource()) return E_FAIL;
  m_bSourceOpen = true;
  return S_OK;
}

HRESULT CSysRecorder::ApplySourceBlock(const EncoderBlock* block) {
  if (!block || !m_bSourceOpen) return E_FAIL;
  std::lock_guard lock(m_mutex);
  m_sourceBlock = *block;
  m_bSourceBlock = true;
  return S_OK;
}

HRESULT CSysRecorder::RecordSource(const char* file) {
  if (!m_bSourceOpen || m_recording || !file) return E_FAIL;
  EncoderBlock block{};
  {
    std::lock_guard lock(m_mutex);
    if (m_bSourceBlock) block = m_sourceBlock;
  }
  if (block.videoBitRate == 0) {
    // Without a block of its own the source records as "DVD SP" would.
    block.format = 2;
    block.videoBitRate = 6000000;
    block.audioBitRate = 224;
  }
  return StartRecording(file, 0, &block, 1);
}

HRESULT CSysRecorder::RecordSourceNamed(const char* file, int start) { return RecordSource(file) == S_OK ? S_OK : E_FAIL; }

// Pausing stops feeding the file; it stays open.
HRESULT CSysRecorder::PauseSource(int) {
  if (!m_recording || m_bSourcePaused || !m_source) return E_FAIL;
  m_source->RemoveConsumer(m_recordConsumers[0]);
  m_source->RemoveConsumer(m_recordConsumers[1]);
  m_bSourcePaused = true;
  return S_OK;
}

// Back to the running source: the recording from it is completed.
HRESULT CSysRecorder::ResumeSource() {
  if (!m_recording) return E_FAIL;
  m_bSourcePaused = false;
  StopRecordingNow(true);
  return S_OK;
}

// Steps of `step` seconds on the replay shown.
HRESULT CSysRecorder::SourceSeek(int, double step) {
  tvrec::TimeShift* r = Replayer();
  if (!r) return E_FAIL;
  return r->SetPosition(r->Position() + static_cast<std::int64_t>(step * 1000)) ? S_OK : E_FAIL;
}

HRESULT CSysRecorder::SourceSeek2(int mode, double step) { return SourceSeek(mode, -step); }

HRESULT CSysRecorder::SetSourceRate(int, double rate) {
  tvrec::TimeShift* r = Replayer();
  if (!r) return E_FAIL;
  if (rate == 1.0) {
    r->Play();
    return S_OK;
  }
  return r->SetRate(rate) ? S_OK : E_INVALIDARG;
}

// Back to live.
HRESULT CSysRecorder::SourceOp44() {
  tvrec::TimeShift* r = Replayer();
  if (!r) return E_FAIL;
  r->Play();
  return r->SetPosition(r->LivePosition()) ? S_OK : E_FAIL;
}

// --- Teletext ---------------------------------------------------------------------------

// The colour the video shows through the teletext window with (magenta).
HRESULT CSysRecorder::GetTeletextKeyColour(COLORREF* colour) {
  if (!colour) return E_FAIL;
  *colour = 0x00FF00FF;
  return S_OK;
}

HRESULT CSysRecorder::IsTeletextAvailable() { return m_teletext->Has(100) ? S_OK : E_FAIL; }

HRESULT CSysRecorder::GetTeletextPage(int* page) {
  if (!page) return E_FAIL;
  std::lock_guard lock(m_mutex);
  *page = m_nTeletextPage;
  return S_OK;
}

HRESULT CSysRecorder::SetTeletextPage(int page) {
  if (page < 100 || page > 899) return E_FAIL;
  {
    std::lock_guard lock(m_mutex);
    m_nTeletextPage = page;
    m_nTeletextSubPage = -1;
  }
  m_teletextWindow.Refresh();
  return S_OK;
}

HRESULT CSysRecorder::PrevTeletextPage() {
  std::lock_guard lock(m_mutex);
  m_nTeletextPage = m_nTeletextPage <= 100 ? 899 : m_nTeletextPage - 1;
  m_nTeletextSubPage = -1;
  m_teletextWindow.Refresh();
  return S_OK;
}

HRESULT CSysRecorder::NextTeletextPage() {
  std::lock_guard lock(m_mutex);
  m_nTeletextPage = m_nTeletextPage >= 899 ? 100 : m_nTeletextPage + 1;
  m_nTeletextSubPage = -1;
  m_teletextWindow.Refresh();
  return S_OK;
}

// The sub-pages received of the shown page, in order, wrapping round. From
// the newest (the page just chosen), Next shows the first and Prev the last.
HRESULT CSysRecorder::StepTeletextSubPage(int step) {
  int page = 100;
  GetTeletextPage(&page);
  const std::vector<int> subs = m_teletext->SubPages(page);
  if (subs.size() < 2) return E_FAIL;
  {
    std::lock_guard lock(m_mutex);
    const auto at = std::find(subs.begin(), subs.end(), m_nTeletextSubPage);
    const int count = static_cast<int>(subs.size());
    const int from = at == subs.end() ? (step > 0 ? count - 1 : 0) : static_cast<int>(at - subs.begin());
    m_nTeletextSubPage = subs[static_cast<std::size_t>(((from + step) % count + count) % count)];
  }
  m_teletextWindow.Refresh();
  return S_OK;
}

HRESULT CSysRecorder::PrevTeletextSubPage() { return StepTeletextSubPage(-1); }
HRESULT CSysRecorder::NextTeletextSubPage() { return StepTeletextSubPage(1); }

// The colour keys follow the shown page's links (red, green, yellow, blue).
HRESULT CSysRecorder::FollowLink(int key) {
  int page = 100;
  GetTeletextPage(&page);
  const int target = m_teletext->Link(page, key);
  return target ? SetTeletextPage(target) : E_FAIL;
}

HRESULT CSysRecorder::TeletextKeyRed() { return FollowLink(0); }
HRESULT CSysRecorder::TeletextKeyGreen() { return FollowLink(1); }
HRESULT CSysRecorder::TeletextKeyYellow() { return FollowLink(2); }
HRESULT CSysRecorder::TeletextKeyBlue() { return FollowLink(3); }

HRESULT CSysRecorder::SetTeletextOwner(HWND owner) {
  m_teletextWindow.SetOwner(owner);
  return owner && !m_teletextWindow.hwnd() ? E_FAIL : S_OK;
}

HRESULT CSysRecorder::SetTeletextRect(int left, int top, int width, int height) {
  if (width < 0 || height < 0) return E_FAIL;
  m_teletextWindow.Place(left, top, width, height);
  return S_OK;
}

HRESULT CSysRecorder::ShowTeletext(int show) {
  m_teletextWindow.Show(show != 0);
  return S_OK;
}

HRESULT CSysRecorder::SetTeletextOverVideo(int on) {
  COLORREF key = 0;
  GetTeletextKeyColour(&key);
  m_teletextWindow.SetOverVideo(on != 0, key);
  return S_OK;
}

// Format 0 text, 1 HTML, 2 RTF, 3 BMP.
HRESULT CSysRecorder::SaveTeletextPage(const char* path, int format) {
  if (!path || !*path) return E_FAIL;
  // The page as shown, with its sub-page.
  const int page = teletext_page();
  const int sub = teletext_subpage();
  if (format >= 0 && format <= 2) return m_teletext->Save(page, path, format, sub) ? S_OK : E_FAIL;
  if (format != 3) return E_FAIL;
  std::vector<std::uint32_t> rgba;
  int width = 0;
  int height = 0;
  if (!m_teletext->Draw(page, rgba, width, height, sub)) return E_FAIL;
  plat::Surface surface(width, height);
  for (int y = 0; y < height; ++y) {
    std::uint32_t* row = surface.row(y);
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = rgba[static_cast<std::size_t>(y) * width + x];  // R, G, B, A bytes
      row[x] = 0xFF000000u | ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu);
    }
  }
  const std::vector<std::uint8_t> bmp = plat::gdi::EncodeBmp(surface);
  return !bmp.empty() && plat::WriteFileAtomically(path, std::string_view(reinterpret_cast<const char*>(bmp.data()),
                                                                           bmp.size()))
             ? S_OK
             : E_FAIL;
}

// Slot 178: the MPEG-4 encoder's settings for AVI recordings (kind 2). The
// key-frame interval and the bit rate apply to the next AVI recording.
HRESULT CSysRecorder::SetCodecSettings(int kind, const DivXSettings* settings, int size) {
  if (kind != 2 || !settings || size != static_cast<int>(sizeof(DivXSettings))) return E_INVALIDARG;
  if (settings->keyInterval < 0 || settings->bitRate < 0) return E_INVALIDARG;
  std::lock_guard lock(m_mutex);
  m_aviKeyInterval = settings->keyInterval;
  m_aviBitRate = settings->bitRate;
  return S_OK;
}

// --- Operations this recorder has no use for: the source's operations 43
// and 47-50 and the teletext operations 210, 213 and 214, which the grabber
// engine only passes through. They answer E_NOTIMPL; the one caller, the TV
// controller's call of 213 for vendor 4, ignores the answer.

#define TVREC_NO_MEDIA(signature) \
  HRESULT CSysRecorder::signature { return E_NOTIMPL; }
TVREC_NO_MEDIA(SourceOp43(int))
TVREC_NO_MEDIA(SourceOp47(int))
TVREC_NO_MEDIA(SourceOp48(int))
TVREC_NO_MEDIA(SourceOp49(int))
TVREC_NO_MEDIA(SourceOp50(int))
TVREC_NO_MEDIA(TeletextOp210(int))
TVREC_NO_MEDIA(TeletextOp213(int))
TVREC_NO_MEDIA(TeletextOp214(int))
#undef TVREC_NO_MEDIA
