#include "engines/playback/wmhost/engine/event_sink.h"

#include <cstdio>

namespace {

// Arguments come in reverse order; `fromFirst` counts from the first one.
const plat::VARIANT* Argument(const plat::DISPPARAMS* params, plat::UINT fromFirst) {
  if (!params->rgvarg || fromFirst >= params->cArgs) return nullptr;
  return &params->rgvarg[params->cArgs - 1 - fromFirst];
}

long IntegerOf(const plat::VARIANT* value) {
  if (!value) return 0;
  switch (value->vt) {
    case plat::VT_I4:
      return value->lVal;
    case plat::VT_I2:
      return value->iVal;
    case plat::VT_BOOL:
      return value->boolVal;
    case plat::VT_R8:
      return static_cast<long>(value->dblVal);
    default:
      return 0;
  }
}

}  // namespace

CWMPEventSink::CWMPEventSink(wmhost::EngineThread& thread, std::function<double()> position,
                             std::function<bool()> ready)
    : thread_(thread), position_(std::move(position)), ready_(std::move(ready)) {}

CWMPEventSink::~CWMPEventSink() { KillPositionTimer(); }

void CWMPEventSink::KillPositionTimer() {
  if (timer_ != 0) thread_.StopTimer(timer_);
  timer_ = 0;
}

plat::HRESULT CWMPEventSink::Invoke(plat::DISPID id, plat::DISPPARAMS* params) {
  if (!params) return plat::E_POINTER;
  if (params->cNamedArgs > 0) return plat::DISP_E_NONAMEDARGS;
  const bool passOn = callback_ && ready_();
  switch (id) {
    case DISPID_PLAYSTATECHANGE: {
      KillPositionTimer();
      if (!passOn) break;
      switch (IntegerOf(Argument(params, 0))) {
        case 1:
          callback_->OnStopped();
          break;
        case 2:
          callback_->OnPaused();
          break;
        case 3:
          // The timer starts first: a stop made inside OnPlaying kills it again.
          timer_ = thread_.StartTimer(kPositionTimerMs, [this] {
            if (callback_) callback_->OnPosition(position_());
          });
          callback_->OnPlaying();
          break;
        case 8:
          callback_->OnMediaEnded();
          break;
        case 10:
          callback_->OnReady();
          break;
        default:
          break;
      }
      break;
    }
    case DISPID_POSITIONCHANGE:
      if (callback_) callback_->OnPosition(position_());
      break;
    case DISPID_MEDIACHANGE:
      if (passOn) callback_->OnMediaChange();
      break;
    case DISPID_CLICK:
      if (passOn) callback_->OnClick();
      break;
    case DISPID_KEYDOWN:
      // Key code and shift state, passed on as they come.
      if (passOn) callback_->OnKeyDown(IntegerOf(Argument(params, 0)), IntegerOf(Argument(params, 1)));
      break;
    case DISPID_MOUSEMOVE:
      if (passOn) callback_->OnMouseMove();
      break;
    default:
      break;
  }
  return plat::DISP_E_MEMBERNOTFOUND;
}

void CWMPEventSink::OnPlayStateChange(wmhost::PlayState state) {
  plat::VARIANT argument;
  argument.vt = plat::VT_I4;
  argument.lVal = static_cast<plat::LONG>(state);
  plat::DISPPARAMS params;
  params.rgvarg = &argument;
  params.cArgs = 1;
  Invoke(DISPID_PLAYSTATECHANGE, &params);
}

void CWMPEventSink::OnPositionChange(double oldPosition, double newPosition) {
  plat::VARIANT arguments[2];
  arguments[1].vt = plat::VT_R8;  // first argument: the old position
  arguments[1].dblVal = oldPosition;
  arguments[0].vt = plat::VT_R8;
  arguments[0].dblVal = newPosition;
  plat::DISPPARAMS params;
  params.rgvarg = arguments;
  params.cArgs = 2;
  Invoke(DISPID_POSITIONCHANGE, &params);
}

void CWMPEventSink::OnMediaChange(const wmhost::MediaItemPtr&) {
  plat::VARIANT argument;
  argument.vt = plat::VT_DISPATCH;
  argument.pdispVal = nullptr;
  plat::DISPPARAMS params;
  params.rgvarg = &argument;
  params.cArgs = 1;
  Invoke(DISPID_MEDIACHANGE, &params);
}

void CWMPEventSink::OnMediaError(const std::string& sourceUrl, const std::string& message) {
  // Not passed on; the player moves to the next medium by itself.
  std::fprintf(stderr, "wmhost: cannot play %s: %s\n", sourceUrl.c_str(), message.c_str());
}
