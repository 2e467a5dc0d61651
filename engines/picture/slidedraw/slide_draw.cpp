#include "engines/picture/slidedraw/slide_draw.h"

#include <algorithm>

#include "platform/win/display_link.h"
#include "platform/win/message.h"
#include "platform/win/window.h"

using plat::E_FAIL;
using plat::HRESULT;
using plat::S_OK;

namespace {
constexpr plat::UINT kTickMs = 500;
constexpr plat::UINT kStepMs = 500;
constexpr plat::DWORD kHostStyle = plat::WS_POPUP | plat::WS_CLIPSIBLINGS | plat::WS_CLIPCHILDREN;
}  // namespace

CSlideDraw::CSlideDraw() = default;

CSlideDraw::~CSlideDraw() {
  KillTick();
  StopStepping();
  notifyWindow_ = nullptr;
  source_.reset();  // joins the streaming threads before the window goes
  if (host_) {
    plat::SetParent(host_, nullptr);
    plat::SetWindowLongPtr(host_, plat::GWLP_USERDATA, 0);
    plat::DestroyWindow(host_);
    host_ = nullptr;
  }
}

// ---------------------------------------------------------------------------
// The stream

HRESULT CSlideDraw::BuildGraph() {
  if (source_) return E_FAIL;
  auto source = std::make_unique<slidedraw::SlideSource>(static_cast<slidedraw::SlideSourceListener&>(*this));
  if (!source->Build()) return E_FAIL;
  source->SetSlideTime(slideTime_);
  source->SetTransitionTime(transitionTime_);
  source_ = std::move(source);
  graphBuilt_ = 1;
  if (host_) {
    notifyWindow_ = host_;
    FitToWindow();
  }
  return S_OK;
}

HRESULT CSlideDraw::TearDown() {
  notifyWindow_ = nullptr;
  if (source_) source_->Stop();
  videoVisible_ = false;
  KillTick();
  StopStepping();
  source_.reset();
  {
    std::lock_guard lock(eventsMutex_);
    events_.clear();
  }
  slideCount_ = 0;
  graphBuilt_ = 0;
  return S_OK;
}

HRESULT CSlideDraw::SetOption(std::int32_t option) {
  option_ = option;
  return S_OK;
}

HRESULT CSlideDraw::IsGraphBuilt(std::int32_t* built) {
  if (!built) return plat::E_POINTER;
  *built = graphBuilt_;
  return S_OK;
}

// ---------------------------------------------------------------------------
// The host window

bool CSlideDraw::CreateHostWindow() {
  if (host_) return true;
  plat::WNDCLASS wc{};
  wc.style = plat::CS_DBLCLKS;
  wc.lpfnWndProc = &CSlideDraw::HostProc;
  wc.lpszClassName = kWindowClass;
  plat::RegisterClass(&wc);  // already registered by another renderer: fine
  host_ = plat::CreateWindowEx(0, kWindowClass, "Slide Show", kHostStyle, 0, 0, 0, 0, nullptr, nullptr, nullptr,
                               nullptr);
  if (!host_) return false;
  plat::SetWindowLongPtr(host_, plat::GWLP_USERDATA, reinterpret_cast<plat::LONG_PTR>(this));
  return true;
}

HRESULT CSlideDraw::SetOwnerWindow(plat::HWND owner) {
  owner_ = owner;
  if (!CreateHostWindow()) return E_FAIL;
  SetParentWindow(owner);
  if (source_) notifyWindow_ = host_;
  KillTick();
  tickTimer_ = plat::SetTimer(host_, kTickTimer, kTickMs, nullptr);
  plat::SetFocus(host_);
  return FitToWindow();
}

HRESULT CSlideDraw::SetParentWindow(plat::HWND parent) {
  if (!host_) return E_FAIL;
  auto style = static_cast<plat::DWORD>(plat::GetWindowLongPtr(host_, plat::GWL_STYLE));
  style = parent ? ((style & ~plat::WS_POPUP) | plat::WS_CHILD) : ((style & ~plat::WS_CHILD) | plat::WS_POPUP);
  plat::SetWindowLongPtr(host_, plat::GWL_STYLE, static_cast<plat::LONG_PTR>(style));
  plat::SetParent(host_, parent);
  owner_ = parent;
  return S_OK;
}

HRESULT CSlideDraw::FitToWindow() {
  if (!source_ || !host_ || !owner_) return E_FAIL;
  plat::RECT rect{};
  if (!plat::GetWindowRect(owner_, &rect)) return E_FAIL;
  plat::POINT topLeft{rect.left, rect.top};
  plat::ScreenToClient(owner_, &topLeft);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  plat::MoveWindow(host_, topLeft.x, topLeft.y, width, height, 1);
  // Frames are made at the window's size in square pixels.
  if (width > 0 && height > 0) source_->SetOutputSize(width, height);
  return S_OK;
}

HRESULT CSlideDraw::SetForeground(std::int32_t flag) {
  if (!host_ || !sink_) return E_FAIL;
  foreground_ = flag;
  sink_->OnForeground(flag);
  return S_OK;
}

HRESULT CSlideDraw::SetWindowFlag(std::int32_t flag) {
  if (!host_ || !sink_) return E_FAIL;
  windowFlag_ = flag;
  sink_->OnWindowFlag(flag);
  return S_OK;
}

HRESULT CSlideDraw::ShowVideo(std::int32_t show) {
  if (!host_) return E_FAIL;
  videoVisible_ = show != 0;
  plat::ShowWindow(host_, show ? plat::SW_SHOW : plat::SW_HIDE);
  if (show) PaintLatestFrame();
  return S_OK;
}

plat::LRESULT CSlideDraw::HostProc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam) {
  auto* self = reinterpret_cast<CSlideDraw*>(plat::GetWindowLongPtr(hwnd, plat::GWLP_USERDATA));
  if (self) return self->OnHostMessage(hwnd, msg, wParam, lParam);
  return plat::DefWindowProc(hwnd, msg, wParam, lParam);
}

plat::LRESULT CSlideDraw::OnHostMessage(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam) {
  switch (msg) {
    case plat::WM_ERASEBKGND:
      return 1;
    case plat::WM_KEYDOWN:
    case plat::WM_MOUSEMOVE:
    case plat::WM_LBUTTONDOWN:
    case plat::WM_LBUTTONUP:
    case plat::WM_LBUTTONDBLCLK:
      if (owner_) plat::SendMessage(owner_, msg, wParam, lParam);
      break;
    case plat::WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == plat::SC_CLOSE && owner_) plat::SendMessage(owner_, msg, wParam, lParam);
      break;
    case plat::WM_TIMER:
      // Each of these may call the sink, which may tear the show down: nothing
      // of this object is touched after them.
      if (wParam == kTickTimer) {
        if (sink_) sink_->OnTick();
        return 0;
      }
      if (wParam == kForwardTimer || wParam == kBackwardTimer) {
        StepTick(wParam == kForwardTimer);
        return 0;
      }
      break;
    case kGraphEventMessage:
      HandleGraphEvent();
      return 0;
    case kFrameMessage:
      framePosted_ = false;
      PaintLatestFrame();
      return 0;
    default:
      break;
  }
  return plat::DefWindowProc(hwnd, msg, wParam, lParam);
}

void CSlideDraw::PaintLatestFrame() {
  if (!source_ || !host_ || !videoVisible_) return;
  const slidedraw::ShownFrame frame = source_->LatestFrame();
  if (!frame.picture || frame.picture->empty()) return;
  plat::SurfacePtr surface = plat::GetWindowSurface(host_);
  if (!surface) return;
  const plat::Surface& picture = *frame.picture;
  const int width = surface->width();
  const int height = surface->height();
  if (width <= 0 || height <= 0) return;
  // Frames are made at the window's size; while a resize is on its way the
  // last one is stretched (nearest) to fill the window.
  for (int y = 0; y < height; ++y) {
    const int sy = static_cast<int>(std::int64_t{y} * picture.height() / height);
    const std::uint32_t* src = picture.row(sy);
    std::uint32_t* dst = surface->row(y);
    if (picture.width() == width) {
      std::copy_n(src, width, dst);
    } else {
      for (int x = 0; x < width; ++x) dst[x] = src[std::int64_t{x} * picture.width() / width];
    }
  }
  plat::MarkWindowDrawn(host_, nullptr);
}

void CSlideDraw::KillTick() {
  if (tickTimer_ && host_) plat::KillTimer(host_, kTickTimer);
  tickTimer_ = 0;
}

// ---------------------------------------------------------------------------
// Streaming-thread reports: posted to the host window

void CSlideDraw::OnFramePublished() {
  const plat::HWND target = notifyWindow_.load();
  if (target && !framePosted_.exchange(true)) plat::PostMessage(target, kFrameMessage, 0, 0);
}

void CSlideDraw::OnStreamEnded() { PostEvent(kEventComplete); }

// A failing pipeline ends the show as a user abort would, rather than leaving
// a dead show "playing".
void CSlideDraw::OnStreamFailed() { PostEvent(kEventUserAbort); }

void CSlideDraw::PostEvent(int code) {
  {
    std::lock_guard lock(eventsMutex_);
    events_.push_back(code);
  }
  if (const plat::HWND target = notifyWindow_.load()) plat::PostMessage(target, kGraphEventMessage, 0, 0);
}

HRESULT CSlideDraw::HandleGraphEvent() {
  if (!source_) return E_FAIL;
  for (;;) {
    int code = 0;
    {
      std::lock_guard lock(eventsMutex_);
      if (events_.empty()) return S_OK;
      code = events_.front();
      events_.pop_front();
    }
    if (code == kEventUserAbort) {
      Stop();
      source_->Seek(0);
      Halt();
      if (sink_) sink_->OnShowEnded();  // may tear the show down: return at once
      return S_OK;
    }
    if (code == kEventComplete) {
      if (sink_) sink_->OnShowEnded();
      return S_OK;
    }
  }
}

HRESULT CSlideDraw::SetNotifyTarget(ISlideShowEventSink* sink) {
  sink_ = sink;
  return S_OK;
}

HRESULT CSlideDraw::Halt() {
  notifyWindow_ = nullptr;
  if (source_) source_->Stop();
  KillTick();
  return S_OK;
}

// ---------------------------------------------------------------------------
// Transport

HRESULT CSlideDraw::Run() {
  StopStepping();
  if (slideCount_ <= 0 || !source_) return E_FAIL;
  if (source_->TargetState(10) == slidedraw::StreamState::kPlaying) return E_FAIL;
  if (host_) notifyWindow_ = host_;
  return source_->Play() ? S_OK : E_FAIL;
}

HRESULT CSlideDraw::Stop() {
  if (!source_) return E_FAIL;
  KillTick();
  StopStepping();
  return source_->Stop() ? S_OK : E_FAIL;
}

HRESULT CSlideDraw::Pause() {
  StopStepping();
  if (slideCount_ <= 0 || !source_) return E_FAIL;
  if (source_->TargetState(10) != slidedraw::StreamState::kPlaying) return E_FAIL;
  return source_->Pause() ? S_OK : E_FAIL;
}

void CSlideDraw::StopStepping() {
  if (host_) {
    if (forwardTimer_) plat::KillTimer(host_, kForwardTimer);
    if (backwardTimer_) plat::KillTimer(host_, kBackwardTimer);
  }
  forwardTimer_ = 0;
  backwardTimer_ = 0;
  rate_ = 1.0f;
}

void CSlideDraw::StartStepping(plat::UINT_PTR timer, float rate) {
  source_->Pause();
  rate_ = rate;
  const plat::UINT_PTR id = plat::SetTimer(host_, timer, kStepMs, nullptr);
  (timer == kForwardTimer ? forwardTimer_ : backwardTimer_) = id;
}

HRESULT CSlideDraw::FastForward(float rate) {
  StopStepping();
  if (!host_ || !source_) return E_FAIL;
  StartStepping(kForwardTimer, rate);
  return S_OK;
}

HRESULT CSlideDraw::Rewind(float rate) {
  StopStepping();
  if (!host_ || !source_) return E_FAIL;
  StartStepping(kBackwardTimer, rate);
  return S_OK;
}

HRESULT CSlideDraw::GetRate(float* rate) {
  if (!rate) return plat::E_POINTER;
  *rate = rate_;
  return S_OK;
}

void CSlideDraw::StepTick(bool forward) {
  StopStepping();
  if (!source_) return;
  const slidedraw::Step step =
      slidedraw::StepFrom(source_->Position(), source_->Duration(), slideTime_, transitionTime_, forward);
  if (!step.moved) return;
  // At the end nothing moves: a seek past the end would finish the show.
  if (!step.atEnd) {
    source_->Seek(step.position);
    source_->Play();
    source_->Pause();
  }
  if (step.atStart || step.atEnd) {
    KillTick();
    if (step.atStart && !step.atEnd && sink_) sink_->OnRewindAtStart();  // may tear down: last
    return;
  }
  const plat::UINT_PTR timer = forward ? kForwardTimer : kBackwardTimer;
  (forward ? forwardTimer_ : backwardTimer_) = plat::SetTimer(host_, timer, kStepMs, nullptr);
}

// ---------------------------------------------------------------------------
// The source's list and times

HRESULT CSlideDraw::SetSlideDuration(std::int64_t duration) {
  slideTime_ = duration;
  if (!source_) return E_FAIL;
  source_->SetSlideTime(duration);
  return S_OK;
}

HRESULT CSlideDraw::SetTransitionDuration(std::int64_t duration) {
  transitionTime_ = duration;
  if (!source_) return E_FAIL;
  source_->SetTransitionTime(duration);
  return S_OK;
}

HRESULT CSlideDraw::GetDuration(std::int64_t* duration) {
  if (!source_) return E_FAIL;
  if (!duration) return plat::E_POINTER;
  *duration = source_->Duration();
  return S_OK;
}

HRESULT CSlideDraw::GetCurrentPosition(std::int64_t* position) {
  if (!source_) return E_FAIL;
  if (!position) return plat::E_POINTER;
  *position = source_->Position();
  return S_OK;
}

HRESULT CSlideDraw::SetCurrentPosition(std::int64_t position) {
  if (!source_) return E_FAIL;
  return source_->Seek(position) ? S_OK : E_FAIL;
}

HRESULT CSlideDraw::SeekAndShow(std::int64_t position) {
  if (!source_) return E_FAIL;
  const HRESULT hr = source_->Seek(position) ? S_OK : E_FAIL;
  Run();
  Pause();
  return hr;
}

HRESULT CSlideDraw::SetSourceValue(std::int32_t framesPerSecond) {
  if (!source_) return E_FAIL;
  source_->SetFrameRate(framesPerSecond);
  return S_OK;
}

// Frames are drawn at the window's size in square pixels, so the factor is
// kept for the caller but never stretches the picture.
HRESULT CSlideDraw::SetAspectFactor(float factor) {
  if (!source_) return E_FAIL;
  source_->SetAspectFactor(factor);
  return S_OK;
}

HRESULT CSlideDraw::InsertSlide(std::int32_t index, const char* path) {
  if (!source_ || !path) return E_FAIL;
  if (!source_->InsertSlide(index, path)) return E_FAIL;
  ++slideCount_;  // counted only when the source took it
  return S_OK;
}

HRESULT CSlideDraw::AddSlide(const char* path) {
  if (!source_ || !path) return E_FAIL;
  if (!source_->InsertSlide(slideCount_, path)) return E_FAIL;
  ++slideCount_;
  return S_OK;
}

HRESULT CSlideDraw::RemoveSlide(std::int32_t index) {
  if (!source_) return E_FAIL;
  if (!source_->RemoveSlide(index)) return E_FAIL;
  --slideCount_;
  return S_OK;
}

HRESULT CSlideDraw::ClearSlides() {
  if (!source_) return E_FAIL;
  for (std::int32_t i = slideCount_ - 1; i >= 0; --i) source_->RemoveSlide(i);
  slideCount_ = 0;
  return S_OK;
}

HRESULT CSlideDraw::SetSlideTransition(std::int32_t index, std::int32_t effect) {
  if (!source_) return E_FAIL;
  return source_->SetEffect(index, effect) ? S_OK : E_FAIL;
}
