#include "engines/rip/rip_engine.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "engines/rip/mp3_catalogue.h"
#include "engines/rip/rip_source.h"
#include "engines/rip/wma_profile.h"
#include "platform/win/message.h"
#include "platform/win/window.h"
// GStreamer after the platform headers: GLib defines TRUE and FALSE.
#include "platform/media/gstreamer.h"

namespace rip {

using namespace plat;

namespace {

// The WMA ripper's window procedure reaches its object only through the
// newest live WMA engine, as that class always did.
std::atomic<RipEngine*> g_liveWma{nullptr};

// How long Stop lets the end of stream travel to the file.
constexpr std::chrono::milliseconds kStopDrain{5000};

// A rip at the clock's pace instead of the encoder's (MARIVEL_RIP_PACE=clock):
// for watching a rip's reports as they come, and for tests that stop one
// halfway.
bool ClockPaced() {
  const char* pace = std::getenv("MARIVEL_RIP_PACE");
  return pace && std::string(pace) == "clock";
}

}  // namespace

void ReportProgress(Variant variant, IRipperEventSink* sink, std::int64_t position, std::int64_t duration,
                    bool& finished) {
  // An unknown length (a live input) gives no fraction to report.
  if (!sink || duration <= 0) return;
  const double quotient = static_cast<double>(position) / static_cast<double>(duration);
  const float fraction = static_cast<float>(quotient);
  if (variant == Variant::Wma) {
    if (sink->OnProgress(fraction) == 0) {
      finished = true;
      sink->OnFinished();
    }
    return;
  }
  int answer = 1;
  if (quotient < 1.0) answer = sink->OnProgress(fraction);
  if (fraction == 1.0f && !finished) {
    finished = true;
    sink->OnFinished();
  }
  if (answer == 0) sink->OnAborted();
}

RipEngine::RipEngine(Variant variant) : variant_(variant) {
  if (variant_ == Variant::Wma) g_liveWma.store(this);
}

RipEngine::~RipEngine() {
  StopTimer();
  // The pipeline and its bus handler go before the window they post to.
  graph_.reset();
  if (window_) DestroyWindow(window_);
  window_ = nullptr;
  RipEngine* self = this;
  g_liveWma.compare_exchange_strong(self, nullptr);
}

HRESULT RipEngine::Initialize() {
  if (window_ || initialized_) Uninitialize();
  if (!media::InitializeGStreamer()) return E_FAIL;
  // The class's own procedure lives in the platform library, which never
  // unloads; each window then takes this module's procedure.
  WNDCLASS wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = &DefWindowProc;
  wc.lpszClassName = kEventWindowClass;
  RegisterClass(&wc);
  window_ = CreateWindowEx(0, kEventWindowClass, kEventWindowClass, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr,
                           nullptr);
  if (window_) {
    SetWindowLongPtr(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtr(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RipEngine::EventWindowProc));
  }
  initialized_ = true;
  if (variant_ == Variant::Mp3) encoderDriver_ = FindEncoderDriver(InstalledCompressors());
  return S_OK;
}

HRESULT RipEngine::Uninitialize() {
  encoderDriver_ = false;
  StopTimer();
  // The pipeline and its bus handler go before the window they post to; a
  // notice already posted then finds no engine behind the window.
  graph_.reset();
  if (window_) {
    SetWindowLongPtr(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
    window_ = nullptr;
  }
  previewBuilt_ = false;
  initialized_ = false;
  return S_OK;
}

HRESULT RipEngine::SetEventSink(IRipperEventSink* sink) {
  sink_ = sink;
  return S_OK;
}

void RipEngine::NewGraph() {
  // The previous pipeline goes completely, with whatever it still queued.
  graph_.reset();
  previewBuilt_ = false;
  finished_ = false;
  duration_ = 0;
  const HWND window = window_;
  graph_ = std::make_unique<RipGraph>([window] { PostMessage(window, kGraphNotifyMessage, 0, 0); });
}

HRESULT RipEngine::FindCaptureFilter(const char* name) {
  if (!initialized_) return E_FAIL;
  graph_.reset();
  SourceSpec source;
  const HRESULT found = ResolveAudioInput(name ? name : "", &source);
  if (FAILED(found)) return found;
  NewGraph();
  return graph_->Open(source);
}

HRESULT RipEngine::OpenSource(const std::string& path, bool wide) {
  if (!initialized_) return E_FAIL;
  graph_.reset();
  const HRESULT probe = ProbeMediaFile(path);
  // The WMA ripper's ANSI entry sniffs only files the detector accepted.
  const bool sniff = variant_ == Variant::Mp3 || wide || SUCCEEDED(probe);
  SourceSpec source;
  std::string root;
  int track = 0;
  if (FAILED(probe) && ParseCdTrackPath(path, &root, &track)) {
    const HRESULT hr = ResolveCdTrack(path, &source);
    if (FAILED(hr)) return hr;
  } else {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return kFileNotFound;
    source = FileSource(path, sniff);
  }
  sourcePath_ = path;
  NewGraph();
  return graph_->Open(source);
}

HRESULT RipEngine::BuildOutput(const std::string& encoder, const char* path, int preview) {
  if (!path || !*path) return E_POINTER;
  OutputSpec output;
  output.encoder = encoder;
  output.path = path;
  output.preview = preview != 0;
  output.clockPaced = ClockPaced();
  if (FAILED(graph_->Build(output))) return E_FAIL;
  previewBuilt_ = output.preview;
  duration_ = graph_->Duration();
  return S_OK;
}

HRESULT RipEngine::BuildWmaGraph(const char* path, int bitRate, int preview) {
  if (!graph_ || !graph_->HasAudioPin() || graph_->Built()) return E_FAIL;
  std::unique_ptr<Profile> profile;
  const HRESULT hr = CreateWmaProfile(InstalledCodecs(), static_cast<std::uint32_t>(bitRate), &profile);
  if (FAILED(hr)) return hr;
  const ProfileStream& audio = profile->streams.front();
  const int rate = graph_->AudioRate();
  // The writer takes the profile's rate and channels; resampling only when
  // the source's rate differs.
  std::string encoder = "audioconvert ! ";
  if (rate != static_cast<int>(audio.wave.samplesPerSec)) encoder += "audioresample ! ";
  encoder += "audio/x-raw,rate=" + std::to_string(audio.wave.samplesPerSec) +
             ",channels=" + std::to_string(audio.wave.channels) + " ! " + audio.encoder +
             " bitrate=" + std::to_string(audio.bitRate) + " ! asfmux";
  return BuildOutput(encoder, path, preview);
}

HRESULT RipEngine::BuildMp3Graph(const char* path, int preview) {
  if (!graph_ || !graph_->HasAudioPin() || graph_->Built()) return E_FAIL;
  std::string encoder;
  if (path && IsMp3Path(path)) {
    Mp3Chain chain;
    const HRESULT hr = ChooseMp3Chain(InstalledCompressors(), encoderDriver_, &chain);
    if (FAILED(hr)) return hr;
    encoder = Mp3ChainDescription(chain);
  } else {
    // Any other extension: 16-bit PCM in a RIFF/WAVE file.
    encoder = "audioconvert ! audio/x-raw,format=S16LE ! wavenc";
  }
  return BuildOutput(encoder, path, preview);
}

HRESULT RipEngine::GetDuration(std::int64_t* duration) {
  if (!duration) return E_POINTER;
  if (variant_ == Variant::Mp3 && !initialized_) return E_FAIL;
  *duration = duration_;
  return S_OK;
}

HRESULT RipEngine::GetPosition(std::int64_t* position) {
  if (!position) return E_POINTER;
  *position = 0;
  if (!initialized_ || !graph_) return E_FAIL;
  return graph_->Position(position) ? S_OK : E_FAIL;
}

void RipEngine::StartTimer() {
  if (window_) SetTimer(window_, reinterpret_cast<UINT_PTR>(this), kProgressPeriodMs, &RipEngine::OnProgressTimer);
}

void RipEngine::StopTimer() {
  if (window_) KillTimer(window_, reinterpret_cast<UINT_PTR>(this));
}

HRESULT RipEngine::Run() {
  if (!graph_) return E_FAIL;
  const HRESULT hr = graph_->Play();
  if (SUCCEEDED(hr)) StartTimer();
  return hr;
}

HRESULT RipEngine::Pause() {
  if (!graph_) return E_FAIL;
  const HRESULT hr = graph_->Pause();
  StopTimer();
  return hr;
}

HRESULT RipEngine::Stop() {
  StopTimer();
  if (!graph_) return E_FAIL;
  return graph_->Stop(kStopDrain);
}

// The rip graph renders no video: after a preview build the video slots
// answer as a graph without a video window does.
HRESULT RipEngine::SetVideoOwner(HWND) { return previewBuilt_ ? E_NOINTERFACE : E_FAIL; }
HRESULT RipEngine::SetVideoPosition(int, int, int, int) { return previewBuilt_ ? E_NOINTERFACE : E_FAIL; }
HRESULT RipEngine::GetVideoPosition(int*, int*, int*, int*) { return previewBuilt_ ? E_NOINTERFACE : E_FAIL; }
HRESULT RipEngine::ShowVideo(int) { return previewBuilt_ ? E_NOINTERFACE : S_OK; }

int RipEngine::IsEncoderAvailable() {
  const CompressorCatalogue& catalogue = InstalledCompressors();
  if (!encoderDriver_) encoderDriver_ = FindEncoderDriver(catalogue);
  return FindFilterByFriendlyName(catalogue, kMakerMp3Compressor, nullptr) == S_OK ? 1 : 0;
}

void RipEngine::OnProgressTimer(HWND, UINT, UINT_PTR id, DWORD) {
  if (id != 0) reinterpret_cast<RipEngine*>(id)->ProgressStep();
}

void RipEngine::ProgressStep() {
  if (!sink_ || !graph_) return;
  std::int64_t position = 0;
  if (!graph_->Position(&position)) return;
  ReportProgress(variant_, sink_, position, duration_, finished_);
}

void RipEngine::ReportFinished() {
  if (finished_) return;
  finished_ = true;
  if (sink_) sink_->OnFinished();
}

LRESULT RipEngine::EventWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != kGraphNotifyMessage && msg != kCompleteMessage) return DefWindowProc(hwnd, msg, wParam, lParam);
  auto* engine = reinterpret_cast<RipEngine*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
  if (engine && engine->variant_ == Variant::Wma) engine = g_liveWma.load();
  if (!engine) return 0;
  // The sink may stop and release the graph and this window while it is
  // called: nothing here touches either afterwards.
  if (msg == kGraphNotifyMessage) {
    engine->OnGraphNotify();
  } else if (engine->variant_ == Variant::Wma) {
    engine->OnComplete();
  }
  return 0;
}

void RipEngine::OnGraphNotify() {
  if (!graph_) return;
  long code = 0;
  if (!graph_->GetEvent(&code)) return;
  if (code == kEcComplete) {
    if (variant_ == Variant::Wma) {
      PostMessage(window_, kCompleteMessage, 0, 0);
    } else {
      Stop();
      ReportFinished();
    }
  } else if (code == kEcErrorAbort) {
    if (sink_) sink_->OnAborted();
  }
}

void RipEngine::OnComplete() {
  Stop();
  ReportFinished();
}

}  // namespace rip
