#include "engines/playback/discrunner/disc_runner.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <thread>
#include <vector>

#include "engines/playback/discrunner/frame_capture.h"
#include "engines/playback/discrunner/language_names.h"
#include "engines/playback/discrunner/placement.h"
#include "platform/com/hresult.h"
#include "platform/win/display_link.h"
#include "platform/win/input.h"
#include "platform/win/message.h"
#include "platform/win/system.h"
#include "platform/win/window.h"

using plat::E_FAIL;
using plat::E_NOTIMPL;
using plat::E_POINTER;
using plat::HRESULT;
using plat::S_OK;
using plat::FAILED;
using plat::SUCCEEDED;
using plat::TRUE;
using plat::FALSE;

namespace {

std::atomic<CDiscRunner*> g_current{nullptr};

constexpr std::uint32_t kCmdFlags = 5;
constexpr std::int32_t kNormalSpeed = tovelax::kNormalSpeed;
constexpr std::int32_t kLibraryVideoStyle = 0x46000000;  // WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN
constexpr HRESULT kTrackAtEnd = tovelax::kTrackAtEnd;

// The local application-data folder: $XDG_DATA_HOME or ~/.local/share.
std::filesystem::path LocalAppData() {
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/') return data;
  const char* home = std::getenv("HOME");
  return std::filesystem::path(home && *home ? home : "/tmp") / ".local/share";
}

discrunner::Box ToBox(const plat::RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// Source kind from the library's classification bits, tested in this order.
struct KindRule {
  std::uint32_t bit;
  int kind;
  int subKind;  // -1 leaves the sub-kind unchanged
};
constexpr KindRule kKindRules[] = {
    {1, 1, 0},       {4, 3, 0},       {4096, 18, 4}, {2048, 18, 3}, {1024, 18, 2},
    {512, 18, 1},    {8, 17, 0},      {2, 2, 0},     {16, 4, 0},    {32, 33, 17},
    {64, 33, 18},    {128, 33, 19},   {256, 33, 20},
};

}  // namespace

CDiscRunner::CDiscRunner() {
  g_current.store(this);
  bindResult_ = BindLibrary();
}

CDiscRunner::~CDiscRunner() {
  if (digitTimer_) plat::KillTimer(nullptr, digitTimer_);
  if (api()) {
    if (auto* v = video()) {
      v->SetFrameSink(nullptr);
      v->SetMessageDrain(nullptr);
    }
    if (auto* e = events()) e->SetNotifyWindow(nullptr, 0, 0);
    api()->SetNotifyPoster(nullptr);
  }
  binding_.Unbind();
  DestroyWindows();
  CDiscRunner* self = this;
  g_current.compare_exchange_strong(self, nullptr);
}

CDiscRunner* CDiscRunner::Current() { return g_current.load(); }

tovelax::IMMSource* CDiscRunner::source() const { return api() ? api()->Source() : nullptr; }
tovelax::IMMTransport* CDiscRunner::transport() const { return api() ? api()->Transport() : nullptr; }
tovelax::IMMInfo* CDiscRunner::info() const { return api() ? api()->Info() : nullptr; }
tovelax::IMMNavControl* CDiscRunner::nav() const { return api() ? api()->NavControl() : nullptr; }
tovelax::IMMVideoWindow* CDiscRunner::video() const { return api() ? api()->VideoWindow() : nullptr; }
tovelax::IMMDecoder* CDiscRunner::decoder() const { return api() ? api()->Decoder() : nullptr; }
tovelax::IMMEventQueue* CDiscRunner::events() const { return api() ? api()->Events() : nullptr; }

// ---------------------------------------------------------------------------
// Binding, windows, opening and closing.

HRESULT CDiscRunner::BindLibrary() {
  if (FAILED(binding_.Bind(discrunner::LibraryFolder()))) return E_FAIL;
  api()->SetNotifyPoster(this);
  if (auto* v = video()) v->SetFrameSink(this);

  std::error_code ec;
  const auto folder = LocalAppData() / "Marivel";
  std::filesystem::create_directories(folder, ec);
  bookmarkPath_ = (folder / "ar.cbk").string();
  if (auto* s = source()) {
    s->SetProperty(tovelax::kPropBookmarkFile, bookmarkPath_.c_str(),
                   static_cast<std::uint32_t>(bookmarkPath_.size() + 1));
    s->SetRegistryPath(kRegistryPath);
  }
  playState_ = kDiscClosed;
  return S_OK;
}

void CDiscRunner::CreateWindows() {
  DestroyWindows();
  plat::WNDCLASS video{};
  video.lpfnWndProc = &CDiscRunner::VideoWndProc;
  video.lpszClassName = kVideoWindowClass;
  plat::RegisterClass(&video);
  plat::WNDCLASS desktop{};
  desktop.lpfnWndProc = &plat::DefWindowProc;
  desktop.lpszClassName = kDesktopWindowClass;
  plat::RegisterClass(&desktop);

  const int width = plat::GetSystemMetrics(plat::SM_CXSCREEN);
  const int height = plat::GetSystemMetrics(plat::SM_CYSCREEN);
  constexpr plat::DWORD style = plat::WS_POPUP | plat::WS_CLIPSIBLINGS | plat::WS_CLIPCHILDREN;
  videoWindow_ = plat::CreateWindowEx(0, kVideoWindowClass, "", style, 0, 0, width, height, nullptr, nullptr,
                                      nullptr, nullptr);
  desktopWindow_ = plat::CreateWindowEx(0, kDesktopWindowClass, "", style, 0, 0, width, height, nullptr,
                                        nullptr, nullptr, nullptr);
}

void CDiscRunner::DestroyWindows() {
  if (videoWindow_) plat::DestroyWindow(videoWindow_);
  if (desktopWindow_) plat::DestroyWindow(desktopWindow_);
  videoWindow_ = nullptr;
  desktopWindow_ = nullptr;
  plat::UnregisterClass(kVideoWindowClass, nullptr);
  plat::UnregisterClass(kDesktopWindowClass, nullptr);
}

void CDiscRunner::Classify(const char* path) {
  auto* s = source();
  std::uint32_t bits = 0;
  if (!s || !path || FAILED(s->GetMediaKind(path, &bits))) return;
  for (const auto& rule : kKindRules) {
    if (bits & rule.bit) {
      discKind_ = rule.kind;
      discSubKind_ = rule.subKind;
      return;
    }
  }
  discKind_ = 34;
}

HRESULT CDiscRunner::Open(const char* path) {
  if (opening_) return E_FAIL;
  opening_ = 1;
  HRESULT hr = E_FAIL;
  resumePending_ = false;
  resumeApplied_ = false;
  if (playState_ != kDiscUnbound || SUCCEEDED(BindLibrary())) {
    CreateWindows();
    const std::string source = SourcePath(path);
    ClassifyOpen(path, source);
    // A letter root without a volume (or medium) names nothing to open.
    if (auto* s = this->source(); s && path && !source.empty()) {
      ApplyDriveRegion(path);
      hr = s->Open(source.c_str());
      if (SUCCEEDED(hr)) hr = FinishOpen(hr);
    }
  }
  opening_ = 0;
  return hr;
}

HRESULT CDiscRunner::DvdOp51(const char* path) {
  if (!api()) return E_FAIL;
  resumePending_ = false;
  resumeApplied_ = false;
  CreateWindows();
  const std::string source = SourcePath(path);
  ClassifyOpen(path, source);
  if (!path || source.empty()) return E_FAIL;
  ApplyDriveRegion(path);
  const HRESULT hr = this->source()->OpenEx(source.c_str(), 0);
  if (FAILED(hr)) return hr;
  resumePending_ = true;
  return FinishOpen(hr);
}

HRESULT CDiscRunner::FinishOpen(HRESULT openResult) {
  auto* v = video();
  auto* e = events();
  if (!v || !e) return E_FAIL;
  const HRESULT style = v->SetWindowStyle(kLibraryVideoStyle);
  const HRESULT owner = v->SetOwner(videoWindow_);
  const HRESULT drain = v->SetMessageDrain(videoWindow_);
  const HRESULT notify = e->SetNotifyWindow(videoWindow_, kEventMessage, 0);
  playState_ = kDiscOpened;
  ended_ = 0;
  const std::int32_t autoPlay = 0;
  source()->SetProperty(tovelax::kPropAutoPlay, &autoPlay, sizeof autoPlay);
  // Events the library queued while opening (a refused region) came before
  // there was a window to wake: fetch them with the next messages.
  plat::PostMessage(videoWindow_, kEventMessage, 0, 0);
  return openResult | style | owner | drain | notify;
}

HRESULT CDiscRunner::CloseSource(bool withRecord) {
  HRESULT hr = E_FAIL;
  // Asked from a message run while the source opens: the open is not cut.
  if (opening_) return hr;
  if (api()) {
    if (auto* e = events()) e->SetNotifyWindow(nullptr, 0, 0);
    if (withRecord) {
      tovelax::ResumeRecord keep{};
      keep.valid = 1;
      source()->SetProperty(tovelax::kPropSaveResumeAtClose, &keep, sizeof keep);
    } else {
      const std::int32_t keep = 1;
      source()->SetProperty(tovelax::kPropSaveResumeAtClose, &keep, sizeof keep);
    }
    if (auto* v = video()) v->SetMessageDrain(nullptr);
    if (withRecord) {
      tovelax::ResumeRecord record{};
      hr = source()->CloseWithRecord(&record);
    } else {
      hr = source()->Close();
    }
    domain_ = 0;
    discKind_ = 0;
    discSubKind_ = 0;
    playState_ = kDiscClosed;
  }
  DestroyWindows();
  return hr;
}

HRESULT CDiscRunner::Close() { return CloseSource(false); }
HRESULT CDiscRunner::CloseWithRecord() { return CloseSource(true); }

HRESULT CDiscRunner::SetOwnerWindow(plat::HWND owner) {
  if (!owner || !videoWindow_) return E_FAIL;
  const auto style = static_cast<plat::DWORD>(plat::GetWindowLongPtr(videoWindow_, plat::GWL_STYLE));
  plat::SetWindowLongPtr(videoWindow_, plat::GWL_STYLE,
                         static_cast<plat::LONG_PTR>((style & ~plat::WS_POPUP) | plat::WS_CHILD));
  plat::SetParent(videoWindow_, owner);
  return plat::GetParent(videoWindow_) == owner ? S_OK : E_FAIL;
}

HRESULT CDiscRunner::GetVideoWindow(plat::HWND* window) {
  if (window) *window = videoWindow_;
  return E_FAIL;  // callers rely on the handle, not on the result
}

HRESULT CDiscRunner::ShowVideo(plat::BOOL show) {
  auto* v = video();
  if (playState_ <= kDiscClosed || !v || !videoWindow_) return E_FAIL;
  plat::ShowWindow(videoWindow_, show ? plat::SW_SHOW : plat::SW_HIDE);
  return v->SetVisible(show ? -1 : 0) | v->SetAutoShow(show ? 1 : 0);
}

// ---------------------------------------------------------------------------
// Picture placement and full screen.

plat::RECT CDiscRunner::ParentClientRect() const {
  plat::RECT r{};
  plat::HWND parent = videoWindow_ ? plat::GetParent(videoWindow_) : nullptr;
  if (parent) {
    plat::GetClientRect(parent, &r);
  } else {
    r.right = plat::GetSystemMetrics(plat::SM_CXSCREEN);
    r.bottom = plat::GetSystemMetrics(plat::SM_CYSCREEN);
  }
  return r;
}

HRESULT CDiscRunner::UpdateVideoPosition(int x, int y, int width, int height, float zoom) {
  if (!videoWindow_) return S_OK;
  auto* v = video();
  if (!v) return E_FAIL;
  if (x || y || width || height) {
    zoom_ = zoom;
  } else {
    const plat::RECT client = ParentClientRect();
    x = 0;
    y = 0;
    width = client.right;
    height = client.bottom;
  }
  plat::SetWindowPos(videoWindow_, nullptr, x, y, width, height, plat::SWP_NOZORDER | plat::SWP_NOACTIVATE);

  std::int32_t W = 0, H = 0;
  v->GetNativeVideoSize(&W, &H);
  const bool sizeCorrection = discKind_ == 1 || (discKind_ == 33 && discSubKind_ == 17);
  if (sizeCorrection && playState_ != kDiscClosed && playState_ != kDiscOpened) {
    tovelax::VideoAttributes attributes{};
    if (info() && SUCCEEDED(info()->GetVideoAttributes(&attributes)) && attributes.aspectX > 0)
      H = static_cast<std::int32_t>(std::int64_t{W} * attributes.aspectY / attributes.aspectX);
  }
  W = static_cast<std::int32_t>(static_cast<float>(W) * zoom_);

  const discrunner::Box fitted = discrunner::FitByAspect(aspectMode_, {x, y, width, height}, W, H);
  const HRESULT dest =
      v->SetDestinationPosition(fitted.left, fitted.top, fitted.right - fitted.left, fitted.bottom - fitted.top);
  if (FAILED(dest)) return dest;
  if (auto* d = decoder()) {
    const HRESULT scaling = d->SetScalingMode(0);
    if (SUCCEEDED(scaling)) return scaling;
  }
  v->GetNativeVideoSize(&W, &H);
  return v->SetSourcePosition(0, 0, W, H);
}

HRESULT CDiscRunner::SetFullScreen() {
  auto* v = video();
  if (!v || !videoWindow_) return E_FAIL;
  // The monitor nearest to the video window's top-level window: the display
  // shows the whole window tree on one screen.
  const plat::RECT monitor{0, 0, plat::GetSystemMetrics(plat::SM_CXSCREEN),
                           plat::GetSystemMetrics(plat::SM_CYSCREEN)};

  std::optional<discrunner::Ratio> aspect;
  tovelax::VideoAttributes attributes{};
  if (info() && SUCCEEDED(info()->GetVideoAttributes(&attributes)))
    aspect = discrunner::Ratio{attributes.aspectX, attributes.aspectY};
  const auto rect = discrunner::FullScreenRect(aspectMode_, ToBox(monitor), aspect);
  if (!rect) return E_FAIL;

  v->GetOwner(&savedOwner_);
  v->GetWindowStyle(&savedStyle_);
  v->GetWindowStyleEx(&savedExStyle_);
  savedValid_ = true;

  plat::MoveWindow(desktopWindow_, monitor.left, monitor.top, monitor.right, monitor.bottom, FALSE);
  plat::ShowWindow(desktopWindow_, plat::SW_SHOW);
  const HRESULT owner = v->SetOwner(desktopWindow_);
  const HRESULT reset = v->SetDestinationPosition(1, 1, 0, 0);
  const HRESULT dest = v->SetDestinationPosition(rect->left, rect->top, rect->right - rect->left,
                                                 rect->bottom - rect->top);
  const HRESULT full = v->SetFullScreenMode(1);
  plat::ShowWindow(desktopWindow_, plat::SW_HIDE);
  fullScreen_ = 1;
  return owner | reset | dest | full;
}

HRESULT CDiscRunner::RestoreWindow() {
  auto* v = video();
  if (!v) return E_FAIL;
  ShowVideo(FALSE);
  v->SetFullScreenMode(0);
  if (savedValid_ && savedOwner_) {
    v->SetOwner(savedOwner_);
    v->SetMessageDrain(savedOwner_);
    v->SetWindowStyle(static_cast<std::int32_t>(plat::WS_CHILD));
    v->SetVisible(0);
  } else {
    v->SetOwner(nullptr);
  }
  ShowVideo(TRUE);
  if (savedValid_) {
    v->SetWindowStyle(savedStyle_);
    v->SetWindowStyleEx(savedExStyle_);
  }
  savedValid_ = false;
  fullScreen_ = 0;

  plat::RECT client{};
  if (videoWindow_) plat::GetClientRect(videoWindow_, &client);
  std::int32_t W = 0, H = 0;
  v->GetNativeVideoSize(&W, &H);
  const discrunner::Box fitted = discrunner::FitByAspect(aspectMode_, ToBox(client), W, H);
  return v->SetDestinationPosition(fitted.left, fitted.top, fitted.right - fitted.left, fitted.bottom - fitted.top);
}

// ---------------------------------------------------------------------------
// Transport and the play-state machine.

HRESULT CDiscRunner::Play() {
  auto* t = transport();
  if (!t) return E_FAIL;
  HRESULT hr = S_OK;
  switch (playState_) {
    case kDiscOpened:
    case kDiscStopped:
      if (resumePending_) {
        // Continue where the disc was left; without a bookmark play from the start.
        tovelax::ResumeRecord record{};
        resumeApplied_ = t->RestoreBookmark(&record) == tovelax::kOk;
      }
      hr = resumeApplied_ && resumePending_ ? S_OK : t->Play();
      resumePending_ = false;
      break;
    case kDiscPaused:
      hr = t->Resume();
      break;
    case kDiscScanning: {
      std::int32_t speed = kNormalSpeed;
      t->GetSpeed(&speed);
      if (speed != kNormalSpeed) hr = t->ForwardScan(kNormalSpeed);
      break;
    }
    default:
      return E_FAIL;
  }
  playState_ = kDiscPlaying;
  return hr;
}

HRESULT CDiscRunner::Pause() {
  auto* t = transport();
  if (!t) return E_FAIL;
  if (playState_ == kDiscPlaying || playState_ == kDiscScanning) {
    const HRESULT hr = t->Pause();
    playState_ = kDiscPaused;
    return hr;
  }
  if (playState_ == kDiscPaused) {
    const HRESULT hr = t->Resume();
    std::int32_t speed = kNormalSpeed;
    t->GetSpeed(&speed);
    playState_ = speed == kNormalSpeed ? kDiscPlaying : kDiscScanning;
    return hr;
  }
  return E_FAIL;
}

HRESULT CDiscRunner::Stop() {
  auto* t = transport();
  if (!t) return E_FAIL;
  const HRESULT hr = t->Stop();
  playState_ = kDiscStopped;
  return hr;
}

HRESULT CDiscRunner::ScanResult(HRESULT scanResult) {
  if (SUCCEEDED(scanResult)) {
    std::int32_t speed = kNormalSpeed;
    transport()->GetSpeed(&speed);
    playState_ = speed == kNormalSpeed ? kDiscPlaying : kDiscScanning;
  }
  return scanResult;
}

HRESULT CDiscRunner::FastForward(int speed) {
  auto* t = transport();
  return t ? ScanResult(t->ForwardScan(speed)) : E_FAIL;
}

HRESULT CDiscRunner::Rewind(int speed) {
  auto* t = transport();
  return t ? ScanResult(t->BackwardScan(speed)) : E_FAIL;
}

HRESULT CDiscRunner::ChapterStep(bool next) {
  auto* t = transport();
  if (!t) return E_FAIL;
  HRESULT hr = E_FAIL;
  if (discKind_ == 3) {
    auto* track = api()->TrackControl();
    if (!track) return E_FAIL;
    hr = track->PlayTrack(next ? 7 : 6, 255, 255, 0xFFFF, -1, 0xFFFF);
    if (hr == kTrackAtEnd) hr = 1;
  } else {
    hr = next ? t->NextChapter() : t->PrevChapter();
    if (hr == kTrackAtEnd) hr = 1;  // no further chapter
  }
  if (SUCCEEDED(hr) && playState_ == kDiscScanning) {
    FastForward(kNormalSpeed);
    if (!next) playState_ = kDiscPlaying;
  }
  if (discKind_ == 18 && hr == S_OK) return 1;
  return hr;
}

HRESULT CDiscRunner::NextChapter() { return ChapterStep(true); }
HRESULT CDiscRunner::PrevChapter() { return ChapterStep(false); }

HRESULT CDiscRunner::DvdOp24() {
  auto* n = nav();
  if (!n) return E_FAIL;
  n->ReturnFromMenu(kCmdFlags);
  return PrevChapter();
}

HRESULT CDiscRunner::ShowMenu(int kind) {
  auto* t = transport();
  if (!t) return E_FAIL;
  if (kind < tovelax::kMenuTitle || kind > tovelax::kMenuChapter) return E_FAIL;
  return t->ShowMenu(kind);
}

HRESULT CDiscRunner::MenuNavigate(int code) {
  auto* t = transport();
  if (!t) return E_FAIL;
  switch (code) {
    case 1: return t->SelectUpperButton();
    case 2: return t->SelectLowerButton();
    case 3: return t->SelectLeftButton();
    case 4: return t->SelectRightButton();
    case 5: return t->ActivateButton();
    default: return E_FAIL;
  }
}

HRESULT CDiscRunner::GetPlayState(int* state) {
  if (!state) return E_POINTER;
  *state = playState_;
  return S_OK;
}

HRESULT CDiscRunner::GetPlaySpeed(int* speed) {
  auto* t = transport();
  if (!t) return E_FAIL;
  std::int32_t value = 0;
  const HRESULT hr = t->GetSpeed(&value);
  if (speed) *speed = value;
  return hr;
}

// ---------------------------------------------------------------------------
// Streams, languages and angles.

HRESULT CDiscRunner::LanguageText(std::uint32_t languageId, bool local, char* text) {
  const std::string word =
      discrunner::FirstWord(local ? discrunner::LocalLanguageName(languageId) : discrunner::EnglishLanguageName(languageId));
  if (word.empty() || !text) return E_FAIL;
  std::snprintf(text, kDiscRunnerTextChars, "%s", word.c_str());
  return S_OK;
}

HRESULT CDiscRunner::GetDefaultLanguageName(char* text) {
  auto* i = info();
  std::uint32_t language = 0, iso = 0;
  if (!i || FAILED(i->GetDefaultAudioLanguage(&language, &iso))) return E_FAIL;
  return LanguageText(language, false, text);
}

HRESULT CDiscRunner::GetDefaultLanguageNameLocal(char* text) {
  auto* i = info();
  std::uint32_t language = 0, iso = 0;
  if (!i || FAILED(i->GetDefaultSubtitleLanguage(&language, &iso))) return E_FAIL;
  return LanguageText(language, true, text);
}

HRESULT CDiscRunner::GetSubtitleLanguageText(int index, char* text) {
  auto* i = info();
  tovelax::SubtitleAttributes attributes{};
  if (!i || FAILED(i->GetSubtitleAttributes(index, &attributes))) return E_FAIL;
  return LanguageText(attributes.language, true, text);
}

HRESULT CDiscRunner::GetAudioStreamLanguageText(int index, char* text) {
  auto* i = info();
  tovelax::AudioAttributes attributes{};
  if (!i || FAILED(i->GetAudioAttributes(index, &attributes))) return E_FAIL;
  return LanguageText(attributes.language, true, text);
}

HRESULT CDiscRunner::GetSubtitleCount(int* count) {
  if (!count) return E_POINTER;
  *count = subtitleCount_;
  return S_OK;
}

HRESULT CDiscRunner::GetSubtitleState(int* current, int* on) {
  auto* i = info();
  if (!i) return E_FAIL;
  std::int32_t count = 0, stream = 0, disabled = 0;
  const HRESULT hr = i->GetSubtitleState(&count, &stream, &disabled);
  if (SUCCEEDED(hr)) {
    if (current) *current = stream;
    if (on) *on = disabled ? 0 : 1;
  }
  return hr;
}

HRESULT CDiscRunner::SelectSubtitleStream(int index) {
  auto* n = nav();
  if (!n) return E_FAIL;
  std::int32_t count = 0, current = 0, disabled = 0;
  if (auto* i = info(); i && SUCCEEDED(i->GetSubtitleState(&count, &current, &disabled)) && count > 0) {
    // From the requested stream (or 0 past the end), the first enabled one;
    // each stream is asked once, and with none enabled the start is kept.
    const auto total = static_cast<std::uint32_t>(count);
    std::uint32_t start = static_cast<std::uint32_t>(index) >= total ? 0 : static_cast<std::uint32_t>(index);
    std::uint32_t candidate = start;
    for (std::uint32_t tried = 0; tried < total; ++tried) {
      if (i->IsSubtitleStreamEnabled(static_cast<std::int32_t>(candidate)) == tovelax::kOk) {
        start = candidate;
        break;
      }
      candidate = (candidate + 1) % total;
    }
    index = static_cast<int>(start);
  }
  const HRESULT hr = n->SelectSubtitleStream(index, kCmdFlags);
  if (SUCCEEDED(hr)) SetSubtitleOn(TRUE);
  return hr;
}

HRESULT CDiscRunner::SetSubtitleOn(plat::BOOL on) {
  auto* n = nav();
  return n ? n->SetSubtitleDisplay(on ? 1 : 0, kCmdFlags) : E_FAIL;
}

HRESULT CDiscRunner::SetClosedCaptionMode(int mode) {
  auto* t = transport();
  return t ? t->SetClosedCaptionMode(static_cast<std::uint32_t>(mode)) : E_FAIL;
}

HRESULT CDiscRunner::GetAngleCount(int* count) {
  if (!count) return E_POINTER;
  *count = angleCount_;
  return S_OK;
}

HRESULT CDiscRunner::GetAngle(int* angle) {
  if (!angle) return E_POINTER;
  *angle = angleCurrent_;
  return S_OK;
}

HRESULT CDiscRunner::SetAngle(int angle) {
  auto* t = transport();
  if (!t || !nav()) return E_FAIL;
  const HRESULT hr = t->SelectAngle(angle);
  if (SUCCEEDED(hr)) angleCurrent_ = angle;
  return hr;
}

HRESULT CDiscRunner::GetAudioCount(int* count) {
  if (!count) return E_POINTER;
  *count = audioCount_;
  return S_OK;
}

HRESULT CDiscRunner::GetCurrentAudioStream(int* stream) {
  if (!stream) return E_POINTER;
  *stream = audioCurrent_;
  return S_OK;
}

HRESULT CDiscRunner::SelectAudioStream(int index) {
  auto* n = nav();
  if (!n) return E_FAIL;
  const HRESULT hr = n->SelectAudioStream(index, kCmdFlags);
  if (SUCCEEDED(hr)) audioCurrent_ = index;
  return hr;
}

// ---------------------------------------------------------------------------
// Time, bookmarks, parental level, region.

HRESULT CDiscRunner::GetTotalTime(int* total) {
  auto* i = info();
  if (!i) return E_FAIL;
  tovelax::TitleTimeRecord record{};
  const HRESULT hr = i->GetTotalTitleTime(&record);
  if (SUCCEEDED(hr) && total) *total = static_cast<int>(record.totalTime);
  return hr;
}

HRESULT CDiscRunner::GetCurrentTime(std::uint32_t* time) {
  auto* i = info();
  if (!i) return E_FAIL;
  std::uint32_t value = 0;
  const HRESULT hr = i->GetCurrentTime(&value);
  if (SUCCEEDED(hr) && time) *time = value;
  return hr;
}

HRESULT CDiscRunner::GetResumeInfo(std::uint32_t* available, std::uint32_t* time) {
  auto* i = info();
  if (!i) return E_FAIL;
  std::uint32_t a = 0, t = 0;
  const HRESULT hr = i->GetResumeInfo(&a, &t);
  if (available) *available = a;
  if (time) *time = t;
  return hr;
}

HRESULT CDiscRunner::DvdOp49() {
  auto* t = transport();
  tovelax::ResumeRecord record{};
  return t ? t->SaveBookmark(&record) : E_FAIL;
}

HRESULT CDiscRunner::DvdOp50() {
  auto* t = transport();
  tovelax::ResumeRecord record{};
  return t ? t->RestoreBookmark(&record) : E_FAIL;
}

HRESULT CDiscRunner::AcceptParentalLevelChange(int answer) {
  auto* t = transport();
  return t ? t->AcceptParentalLevelChange(static_cast<std::uint32_t>(answer)) : E_FAIL;
}

HRESULT CDiscRunner::GetTitleParentalLevel(int* level) {
  auto* t = transport();
  if (!t) return E_FAIL;
  std::uint32_t mask = 0;
  const HRESULT hr = t->GetTitleParentalLevels(title_, &mask);
  if (SUCCEEDED(hr) && level) {
    for (int l = 1; l <= 8; ++l) {
      if (mask & (1u << (7 + l))) {
        *level = l;
        break;
      }
    }
  }
  return hr;
}

HRESULT CDiscRunner::SetRegionCode(const std::uint8_t* record) {
  auto* s = source();
  if (!s) return E_FAIL;
  if (!record) return E_POINTER;
  const tovelax::RegionRecord region{record[0], record[1]};
  const HRESULT hr = s->SetProperty(tovelax::kPropRegion, &region, sizeof region);
  if (SUCCEEDED(hr)) ended_ = 0;
  return hr;
}

HRESULT CDiscRunner::DvdOp93(int value) {
  auto* s = source();
  const std::int32_t v = value;
  return s ? s->SetProperty(tovelax::kPropParentalLevel, &v, sizeof v) : E_NOTIMPL;
}

HRESULT CDiscRunner::DvdOp89(int* first, int* second) {
  auto* s = source();
  if (!s) return E_FAIL;
  std::int32_t a = 1, b = 0;
  std::uint32_t size = sizeof a;
  s->GetProperty(tovelax::kPropTitleCount, &a, &size);
  size = sizeof b;
  s->GetProperty(tovelax::kPropChapterCount, &b, &size);
  if (first) *first = a;
  if (second) *second = b;
  return S_OK;
}

HRESULT CDiscRunner::DvdOp90(int number, int* value) {
  auto* s = source();
  if (!s) return E_FAIL;
  if (!value) return E_POINTER;
  return s->SetProperty(static_cast<std::uint32_t>(number), value, sizeof *value);
}

HRESULT CDiscRunner::GetMediaKind(const char* path, std::uint32_t* bits) {
  auto* s = source();
  if (!s) return E_FAIL;
  if (!path || !bits) return E_POINTER;
  const std::string source = SourcePath(path);
  if (source.empty()) {
    *bits = 0;
    return E_FAIL;
  }
  return s->GetMediaKind(source.c_str(), bits);
}

HRESULT CDiscRunner::DvdOp102() {
  auto* s = source();
  return s ? s->SetKeepDisplayAwake(1) : E_NOTIMPL;
}

// ---------------------------------------------------------------------------
// Number entry.

HRESULT CDiscRunner::EnterDigit(int digit) {
  auto* t = transport();
  if (!t) return E_FAIL;
  if (digit < 0 || digit > 9) return plat::E_INVALIDARG;
  // A number too long for any title, chapter or button starts anew.
  if (digitValue_ > (INT_MAX - 9) / 10) digitValue_ = 0;
  digitValue_ = digitValue_ * 10 + digit;
  std::int32_t lowest = 0, highest = 0;
  t->GetNumberRange(&lowest, &highest);
  const int low = lowest & 0xFF;
  const int high = highest & 0xFF;
  if (high < digitValue_ + 10 && digitValue_ >= low) return CommitDigits();
  if (digitTimer_) plat::KillTimer(nullptr, digitTimer_);
  digitTimer_ = plat::SetTimer(nullptr, 0, kDigitCommitMs, &CDiscRunner::DigitTimerProc);
  return S_OK;
}

HRESULT CDiscRunner::CommitDigits() {
  if (digitTimer_) plat::KillTimer(nullptr, digitTimer_);
  digitTimer_ = 0;
  const int number = digitValue_;
  digitValue_ = 0;
  auto* t = transport();
  return t ? t->SelectByNumber(number) : E_FAIL;
}

void CDiscRunner::DigitTimerProc(plat::HWND, plat::UINT, plat::UINT_PTR, plat::DWORD) {
  if (CDiscRunner* self = Current()) self->CommitDigits();
}

HRESULT CDiscRunner::DvdOp84() {
  auto* t = transport();
  return t ? t->ClearNumberEntry() : E_FAIL;
}

// ---------------------------------------------------------------------------
// Frame capture.

HRESULT CDiscRunner::CaptureFrame(const char* bmpPath) {
  if (!api()) return E_FAIL;
  std::vector<std::uint8_t> dib;
  try {
    tovelax::VideoAttributes attributes{};
    auto* i = info();
    auto* d = decoder();
    if (i && d && SUCCEEDED(i->GetVideoAttributes(&attributes)) && attributes.width && attributes.height) {
      // Rows of a 24-bit DIB are padded to four bytes: stride × height.
      dib.resize(discrunner::PackedDib24Size(attributes.width, attributes.height));
      if (FAILED(d->GrabFrame(static_cast<std::int32_t>(attributes.width), static_cast<std::int32_t>(attributes.height),
                              dib.data(), dib.size(), tovelax::kFrameDib24)))
        return E_FAIL;
    } else {
      std::uint32_t size = 0;
      if (FAILED(source()->GetProperty(tovelax::kPropFrameDib, nullptr, &size)) || size == 0) return E_FAIL;
      dib.resize(size);
      if (FAILED(source()->GetProperty(tovelax::kPropFrameDib, dib.data(), &size))) return E_FAIL;
      dib.resize(std::min<std::size_t>(size, dib.size()));
    }
  } catch (const std::bad_alloc&) {
    return E_FAIL;
  }
  if (!bmpPath) return E_POINTER;
  const std::vector<std::uint8_t> file = discrunner::BmpFromPackedDib(dib);
  if (file.empty()) return E_FAIL;
  std::ofstream out(bmpPath, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  out.close();
  return out ? S_OK : E_FAIL;
}

HRESULT CDiscRunner::CanCaptureFrame() { return CaptureFrame(nullptr) == E_POINTER ? 1 : 0; }

// ---------------------------------------------------------------------------
// Decoder and video-window pass-throughs.

HRESULT CDiscRunner::DvdOp13() {
  auto* d = decoder();
  return d ? d->ResetDecoder() : E_FAIL;
}

HRESULT CDiscRunner::DvdOp55(int a, int b) {
  auto* d = decoder();
  return d ? d->SetAudioOutput(a, b) : E_FAIL;
}

// The speaker set-ups the output can serve: 8 two speakers and 0x20000
// headphones with stereo output, 0x10 four and 0x20 six speakers with
// multichannel output. S/PDIF (4) is never reported: the library decodes
// every stream itself and has no pass-through to a digital output.
HRESULT CDiscRunner::GetAudioOutputCaps(std::uint32_t* caps) {
  auto* d = decoder();
  if (!d) return E_FAIL;
  if (!caps) return E_POINTER;
  std::uint32_t output = 0;
  const HRESULT hr = d->GetAudioOutputCaps(&output);
  if (FAILED(hr)) return hr;
  *caps = 0;
  if (output & 1) *caps |= 8 | 0x20000;
  if (output & 2) *caps |= 0x10 | 0x20;
  return S_OK;
}

HRESULT CDiscRunner::DvdOp60(int value) {
  auto* d = decoder();
  return d ? d->SetDynamicRange(value) : E_FAIL;
}

HRESULT CDiscRunner::DvdOp63(int brightness, int contrast, int hue, int saturation, int gamma) {
  auto* d = decoder();
  if (!d) return E_FAIL;
  colour_ = tovelax::ColorControls{brightness, contrast, hue, saturation, gamma};
  return d->SetColorControls(Enhanced(colour_), 31);
}

// The colour enhancement: (1, 0) switches it on, (1, 1) and (0, x) off.
// On, the picture's saturation and contrast are lifted over the controls
// of slot 63.
HRESULT CDiscRunner::DvdOp69(plat::BOOL on, int value) {
  auto* d = decoder();
  if (!d) return E_FAIL;
  enhance_ = on && value == 0;
  return d->SetColorControls(Enhanced(colour_), 31);
}

tovelax::ColorControls CDiscRunner::Enhanced(const tovelax::ColorControls& controls) const {
  if (!enhance_) return controls;
  tovelax::ColorControls lifted = controls;
  lifted.saturation = std::min(controls.saturation * 5 / 4, 20000);
  lifted.contrast = std::min(controls.contrast * 11 / 10, 20000);
  return lifted;
}

HRESULT CDiscRunner::SetVideoRect(plat::BOOL on) {
  auto* d = decoder();
  if (!d) return E_FAIL;
  if (!on) return d->SetOutputSize(0, 0, 0);
  const plat::RECT client = ParentClientRect();
  return d->SetOutputSize(client.right - client.left, client.bottom - client.top, 1);
}

#define DISCRUNNER_OPTION(slot)                                      \
  HRESULT CDiscRunner::DvdOp##slot(int value) {                      \
    auto* d = decoder();                                             \
    return d ? d->SetOption(slot, value, 0, 0) : E_FAIL;             \
  }
DISCRUNNER_OPTION(72)
DISCRUNNER_OPTION(73)
DISCRUNNER_OPTION(74)
DISCRUNNER_OPTION(76)
DISCRUNNER_OPTION(77)
DISCRUNNER_OPTION(78)
DISCRUNNER_OPTION(79)
DISCRUNNER_OPTION(80)
DISCRUNNER_OPTION(81)
#undef DISCRUNNER_OPTION

HRESULT CDiscRunner::DvdOp71(int a, int b) {
  auto* d = decoder();
  return d ? d->SetOption(71, a, b, 0) : E_FAIL;
}

HRESULT CDiscRunner::DvdOp75(int a, int b, int c) {
  auto* d = decoder();
  return d ? d->SetOption(75, a, b, c) : E_FAIL;
}

HRESULT CDiscRunner::DvdOp91(int) {
  auto* d = decoder();
  return d ? d->SetOption(91, 0, 0, 0) : E_FAIL;
}

HRESULT CDiscRunner::DvdOp87(int* value) {
  auto* v = video();
  if (!v) return E_FAIL;
  if (!value) return E_POINTER;
  *value = 0;
  std::int32_t visible = 0;
  const HRESULT hr = v->GetVisible(&visible);
  if (SUCCEEDED(hr)) *value = visible;
  return hr;
}

HRESULT CDiscRunner::DvdOp88(int* value) {
  auto* v = video();
  if (!v) return E_FAIL;
  std::int32_t position[4] = {};
  const HRESULT hr = v->GetWindowPosition(position);
  if (value) *value = SUCCEEDED(hr) ? position[2] : 0;
  return hr;
}

HRESULT CDiscRunner::DvdOp95(int) {
  auto* i = info();
  if (!i) return E_NOTIMPL;
  std::int32_t domain = 0;
  return i->GetDomain(&domain);
}

HRESULT CDiscRunner::DvdOp96(int a, int) {
  auto* v = video();
  return v ? v->SetBorderColor(static_cast<std::uint32_t>(a)) : E_NOTIMPL;
}

HRESULT CDiscRunner::DvdOp97(int value) {
  auto* v = video();
  return v ? v->SetWindowForeground(value) : E_NOTIMPL;
}

HRESULT CDiscRunner::DvdOp98(int value) {
  auto* v = video();
  return v ? v->SetFullScreenMode(value) : E_NOTIMPL;
}

HRESULT CDiscRunner::DvdOp101(int value) {
  auto* n = nav();
  return n ? n->SetPreferredLanguage(static_cast<std::uint32_t>(value)) : E_NOTIMPL;
}

HRESULT CDiscRunner::SetNotifyTarget(IDvdEventSink* sink) {
  if (!sink) return E_FAIL;
  sink_ = sink;
  return S_OK;
}

HRESULT CDiscRunner::SetVideoMode(int value, int aspectMode) {
  notifyValue_ = value;
  aspectMode_ = aspectMode;
  return S_OK;
}

HRESULT CDiscRunner::Reserved9(int, int, int, int) { return E_FAIL; }
HRESULT CDiscRunner::Reserved54() { return S_OK; }
HRESULT CDiscRunner::NotImplemented16(int) { return E_NOTIMPL; }
HRESULT CDiscRunner::NotImplemented17(int) { return E_NOTIMPL; }
HRESULT CDiscRunner::NotImplemented18(int) { return E_NOTIMPL; }
HRESULT CDiscRunner::NotImplemented19(int) { return E_NOTIMPL; }
HRESULT CDiscRunner::NotImplemented20(int) { return E_NOTIMPL; }
HRESULT CDiscRunner::NotImplemented21(int) { return E_NOTIMPL; }
HRESULT CDiscRunner::NotImplemented42(int) { return E_NOTIMPL; }
HRESULT CDiscRunner::NotImplemented43(int, int) { return E_NOTIMPL; }
HRESULT CDiscRunner::NotImplemented46(int) { return E_NOTIMPL; }
HRESULT CDiscRunner::NotImplemented47(int) { return E_NOTIMPL; }
HRESULT CDiscRunner::NotImplemented56(int) { return E_NOTIMPL; }
HRESULT CDiscRunner::NotImplemented57(int) { return E_NOTIMPL; }
HRESULT CDiscRunner::NotImplemented59(int) { return E_NOTIMPL; }
HRESULT CDiscRunner::NotImplemented61(int) { return E_NOTIMPL; }
HRESULT CDiscRunner::NotImplemented62(int) { return E_NOTIMPL; }
HRESULT CDiscRunner::NotImplemented68(int) { return E_NOTIMPL; }

// ---------------------------------------------------------------------------
// Events, the video window and frames.

void CDiscRunner::PumpEvents() {
  // A sink may release the engine from inside a call; hold it until the pump ends.
  plat::ComPtr<IDiscRunner> keep(static_cast<IDiscRunner*>(this));
  while (api() && !ended_) {
    auto* e = events();
    if (!e) break;
    std::int32_t code = 0;
    std::intptr_t value1 = 0, value2 = 0;
    if (FAILED(e->GetEvent(&code, &value1, &value2))) break;
    HandleEvent(code, value1, value2);
    // Every event taken is given back, including the one that ended reading.
    if (auto* still = events()) still->FreeEvent(code, value1, value2);
  }
}

void CDiscRunner::HandleEvent(std::int32_t code, std::intptr_t value1, std::intptr_t value2) {
  const auto v1 = static_cast<std::int32_t>(value1);
  switch (code) {
    case tovelax::kEvComplete:
      ended_ = 1;
      if (sink_) sink_->OnComplete();
      break;
    case tovelax::kEvDomainChange:
      if (v1 >= 1 && v1 <= 5) {
        domain_ = v1;
        if (v1 == 2 || v1 == 3) UpdateVideoPosition(0, 0, 0, 0, 1.0f);
        if (auto* d = decoder()) d->SetDecoderProperty(tovelax::kDecPropDomainHint, &v1, sizeof v1);
      }
      if (sink_) sink_->OnDomainChange(v1);
      break;
    case tovelax::kEvTitleChange:
      title_ = v1;
      if (sink_) sink_->OnTitleChange(v1);
      break;
    case tovelax::kEvChapterStart:
      if (sink_) sink_->OnChapterStart(v1);
      [[fallthrough]];
    case tovelax::kEvAudioStreamChange:
      if (auto* i = info()) i->GetCurrentAudio(&audioCount_, &audioCurrent_);
      if (sink_) sink_->OnAudioChange(audioCount_);
      break;
    case tovelax::kEvSubtitleStreamChange: {
      std::int32_t disabled = 0;
      int enabled = 0;
      if (auto* i = info()) {
        i->GetSubtitleState(&subtitleCount_, &subtitleCurrent_, &disabled);
        for (int s = 0; s < subtitleCount_ && s < 64; ++s)
          if (i->IsSubtitleStreamEnabled(s) == tovelax::kOk) ++enabled;
      }
      subtitleCount_ = enabled;
      if (sink_) sink_->OnSubtitleChange(subtitleCount_);
      break;
    }
    case tovelax::kEvAngleChange:
      angleCount_ = v1;
      angleCurrent_ = static_cast<std::int32_t>(value2);
      if (sink_) sink_->OnAngleChange(v1);
      break;
    case tovelax::kEvButtonChange:
      if (sink_) sink_->OnButtonChange(v1);
      break;
    case tovelax::kEvValidOpsChange:
      if (sink_) sink_->OnValidOperationsChange(static_cast<std::uint32_t>(value1));
      break;
    case tovelax::kEvError:
      ended_ = 1;
      if (v1 == tovelax::kErrWrongRegion) {
        if (sink_ && !inInvalidRegion_) {
          inInvalidRegion_ = true;
          sink_->OnInvalidRegion(static_cast<std::int32_t>(value2));
          inInvalidRegion_ = false;
        }
      } else if (v1 == tovelax::kErrParentalLevelTooLow) {
        if (sink_) sink_->OnParentalLevelTooLow();
      }
      break;
    case tovelax::kEvRateChange:
      if (sink_) {
        if (playState_ == kDiscScanning && v1 == kNormalSpeed) playState_ = kDiscPlaying;
        sink_->OnRateChange(v1);
      }
      break;
    case tovelax::kEvParentalLevelChange:
      if (sink_) sink_->OnParentalLevelChange(v1);
      break;
    case tovelax::kEvStopped:
      if (discKind_ == 1) break;
      ended_ = 1;
      if (sink_) sink_->OnStopped();
      break;
    case tovelax::kEvDiscEjected:
      if (sink_) sink_->OnDiscEjected();
      break;
    case tovelax::kEvDiscInserted:
      if (sink_) sink_->OnDiscInserted();
      break;
    case tovelax::kEvTimeChange:
      if (sink_) {
        std::uint32_t current = 0;
        if (auto* i = info()) i->GetCurrentTime(&current);
        // The event's value points to a time code valid until the event is freed.
        const std::uint32_t eventTime =
            value1 ? tovelax::PackTime(*reinterpret_cast<const tovelax::TimeCode*>(value1)) : 0;
        sink_->OnTimeChange(&eventTime, &current);
      }
      break;
    case tovelax::kEvVideoSizeChange:
      UpdateVideoPosition(0, 0, 0, 0, 1.0f);
      break;
    case tovelax::kEvAudioUndecodable:
    case tovelax::kEvAudioDecodeFailed:
      if (sink_) sink_->OnLibraryNotice();
      break;
    default:
      break;
  }
}

plat::LRESULT CDiscRunner::VideoWndProc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam) {
  CDiscRunner* self = Current();
  if (self) {
    switch (msg) {
      case kEventMessage:
        self->PumpEvents();
        break;
      case tovelax::kFrameReadyMessage:
        if (auto* v = self->video()) v->DeliverFrame();
        break;
      case plat::WM_ERASEBKGND: {
        plat::RECT client{};
        plat::GetClientRect(hwnd, &client);
        if (plat::SurfacePtr surface = plat::GetWindowSurface(hwnd)) {
          for (int y = client.top; y < client.bottom; ++y)
            for (int x = client.left; x < client.right; ++x) surface->set_pixel(x, y, 0xFF000000u);
          plat::MarkWindowDrawn(hwnd, nullptr);
        }
        return 1;
      }
      case plat::WM_MOUSEMOVE:
        if (auto* t = self->transport();
            t && SUCCEEDED(t->SelectButtonAtPoint(plat::GET_X_LPARAM(lParam), plat::GET_Y_LPARAM(lParam)))) {
          plat::SetCursor(plat::LoadCursor(nullptr, plat::IDC_HAND));
        } else if (plat::HWND parent = plat::GetParent(hwnd)) {
          plat::PostMessage(parent, msg, wParam, lParam);
        }
        break;
      case plat::WM_LBUTTONUP:
        if (auto* t = self->transport())
          t->ActivateButtonAtPoint(plat::GET_X_LPARAM(lParam), plat::GET_Y_LPARAM(lParam));
        if (plat::HWND parent = plat::GetParent(hwnd)) plat::PostMessage(parent, msg, wParam, lParam);
        break;
      default:
        break;
    }
  }
  return plat::DefWindowProc(hwnd, msg, wParam, lParam);
}

void CDiscRunner::Post(tovelax::HWND window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) {
  plat::PostMessage(window, message, wparam, lparam);
}

void CDiscRunner::WaitOnClientThread(unsigned ms) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    plat::MSG msg;
    while (plat::PeekMessage(&msg, nullptr, 0, 0, plat::PM_REMOVE)) {
      if (msg.message == plat::WM_QUIT) {
        // The loop that waits for it gets it back once the open is over.
        plat::PostQuitMessage(static_cast<int>(msg.wParam));
        std::this_thread::sleep_until(deadline);
        return;
      }
      plat::TranslateMessage(&msg);
      plat::DispatchMessage(&msg);
    }
    const auto now = Clock::now();
    if (now >= deadline) return;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count();
    plat::MsgWaitForMultipleObjects(0, nullptr, plat::FALSE, static_cast<plat::DWORD>(left) + 1, plat::QS_ALLINPUT);
  }
}

void CDiscRunner::OnFrame(const std::shared_ptr<const tovelax::VideoFrame>& frame, const tovelax::Rect& destination,
                          const tovelax::Rect& source, bool visible) {
  if (!visible || !frame || !videoWindow_ || destination.width <= 0 || destination.height <= 0) return;
  plat::SurfacePtr surface = plat::GetWindowSurface(videoWindow_);
  if (!surface) return;
  // Nearest-neighbour scaling of the source part of the frame onto the
  // destination rectangle; both are clipped to what exists.
  const tovelax::Rect src = source.width > 0 && source.height > 0
                                ? source
                                : tovelax::Rect{0, 0, static_cast<std::int32_t>(frame->width),
                                                static_cast<std::int32_t>(frame->height)};
  const std::size_t stride = frame->stride ? frame->stride : std::size_t{frame->width} * 4;
  for (int dy = 0; dy < destination.height; ++dy) {
    const int y = destination.top + dy;
    if (y < 0 || y >= surface->height()) continue;
    const std::int64_t sy = src.top + std::int64_t{dy} * src.height / destination.height;
    if (sy < 0 || sy >= frame->height) continue;
    std::uint32_t* row = surface->row(y);
    const std::uint8_t* line = frame->pixels.data() + static_cast<std::size_t>(sy) * stride;
    if (static_cast<std::size_t>(sy) * stride + std::size_t{frame->width} * 4 > frame->pixels.size()) continue;
    for (int dx = 0; dx < destination.width; ++dx) {
      const int x = destination.left + dx;
      if (x < 0 || x >= surface->width()) continue;
      const std::int64_t sx = src.left + std::int64_t{dx} * src.width / destination.width;
      if (sx < 0 || sx >= frame->width) continue;
      const std::uint8_t* p = line + sx * 4;
      row[x] = p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | 0xFF000000u;
    }
  }
  plat::MarkWindowDrawn(videoWindow_, nullptr);
}
