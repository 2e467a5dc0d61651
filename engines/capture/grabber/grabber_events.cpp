// CGrabber: recorder events. They arrive on streaming and worker threads,
// are copied into a queue and handled on the engine's thread, where the
// client's sink is called.
#include <cstdio>
#include <cstring>

#include "engines/capture/grabber/grabber.h"
#include "platform/win/message.h"

using namespace plat;
using namespace grabber;

namespace {

constexpr int kNameWaitsMs[3] = {1000, 1000, 2000};

}  // namespace

int CGrabber::OnRecorderEvent(const char* source, int code, std::int32_t a, std::int32_t b,
                              const TvPicture* picture) {
  if (!source || std::strcmp(source, kSysRecorderSource) != 0) return 1;
  QueuedEvent event;
  event.code = code;
  event.a = a;
  event.b = b;
  if (picture && picture->bgr && picture->width > 0 && picture->height > 0 &&
      picture->stride >= picture->width * 3) {
    // The picture is only valid during this call: keep a copy, rows packed.
    const std::size_t row = static_cast<std::size_t>(picture->width) * 3;
    event.pixels.resize(row * static_cast<std::size_t>(picture->height));
    for (int y = 0; y < picture->height; ++y) {
      std::memcpy(event.pixels.data() + row * static_cast<std::size_t>(y),
                  picture->bgr + static_cast<std::size_t>(picture->stride) * static_cast<std::size_t>(y), row);
    }
    event.hasPicture = true;
    event.picture = TvPicture{picture->width, picture->height, static_cast<std::int32_t>(row), nullptr};
  }
  Enqueue(std::move(event));
  return 1;
}

int CGrabber::OnRecorderProgress(int kind, int value) {
  QueuedEvent event;
  event.progress = true;
  event.code = kind;
  event.a = value;
  Enqueue(std::move(event));
  return 1;
}

void CGrabber::Enqueue(QueuedEvent event) {
  bool wake = false;
  {
    std::lock_guard lock(m_queueMutex);
    wake = m_queue.empty();
    m_queue.push_back(std::move(event));
  }
  // One wake-up covers everything queued until the window drains.
  if (wake && m_hWnd) PostMessage(m_hWnd, kMsgRecorderEvents, 0, 0);
}

void CGrabber::DrainEvents() {
  for (;;) {
    QueuedEvent event;
    {
      std::lock_guard lock(m_queueMutex);
      if (m_queue.empty()) return;
      event = std::move(m_queue.front());
      m_queue.pop_front();
    }
    if (event.hasPicture) event.picture.bgr = event.pixels.data();
    HandleEvent(event);
  }
}

void CGrabber::HandleEvent(const QueuedEvent& event) {
  if (event.progress) {
    if (event.code == 0) Notify([&](IGrabberEventSink& sink) { sink.OnProgressValue(event.a); });
    if (event.code == 1) Notify([](IGrabberEventSink& sink) { sink.OnProgressEnd(); });
    return;
  }
  if (!m_pRecorder) return;
  switch (event.code) {
    case tvevent::kDiscReady: m_bDiscReady = true; return;
    case tvevent::kDiscNotReady: m_bDiscReady = false; return;
    case tvevent::kRecordingFinalised:
      if (!InState({grabstate::kRecording, grabstate::kWatchingRecording})) return;
      ResetVideoSize();
      m_nState = grabstate::kIdle;
      if (m_bNamedRecording) {
        m_bNamedRecording = false;
        TuneChannel(m_nChannel);
      }
      Notify([this](IGrabberEventSink& sink) { sink.OnRecordingEnded(this); });
      return;
    case tvevent::kDiskNearlyFull: Notify([](IGrabberEventSink& sink) { sink.OnDiskFull(); }); return;
    case tvevent::kChannelTuned:
      if (m_nState == grabstate::kAutoScan) {
        HandleChannelFound(event.a, event.b);
        return;
      }
      {
        int mode = kDefaultTvAudioMode;
        if (SUCCEEDED(m_pRecorder->HasTvAudio()) && FAILED(m_pRecorder->GetTvAudio(&mode))) {
          mode = kDefaultTvAudioMode;
        }
        m_nTvAudioMode = mode;
      }
      Notify([&](IGrabberEventSink& sink) { sink.OnTuning(event.a, event.b, 1); });
      return;
    case tvevent::kSearchFinished: {
      if (m_bNamedRecording) return;
      m_nState = grabstate::kSourceRunning;
      int channel = -1;
      int counted = 0;
      for (int c = 0; c < kBandChannels && channel < 0; ++c) {
        TvChannelInfo info;
        if (FAILED(QueryChannel(c, info))) break;
        if (info.stored && counted++ == 0) channel = c;
      }
      if (channel < 0 && FAILED(m_pRecorder->GetTunedChannel(&channel))) channel = m_nChannel;
      TuneChannel(channel);
      Notify([this](IGrabberEventSink& sink) { sink.OnSearchFinished(this); });
      return;
    }
    case tvevent::kTuningNotice:
      if (!InState({grabstate::kChannelScan, grabstate::kMultiPreview})) m_nTvAudioMode = kDefaultTvAudioMode;
      Notify([&](IGrabberEventSink& sink) { sink.OnTuning(event.a, event.b, 0); });
      return;
    case tvevent::kSearchPercent: Notify([&](IGrabberEventSink& sink) { sink.OnSearchPercent(event.a); }); return;
    case tvevent::kRecorderNotice:
      Notify([&](IGrabberEventSink& sink) { sink.OnRecorderNotice(event.a, event.b); });
      return;
    case tvevent::kPictureReady:
      if (m_nState == grabstate::kMultiPreview) {
        char name[kGrabberTextChars] = {};
        GetChannelName(name, m_nPreviewChannel);
        const int position = m_nScanPosition;
        const int channel = m_nPreviewChannel;
        const TvPicture* picture = event.hasPicture ? &event.picture : nullptr;
        Notify([&](IGrabberEventSink& sink) { sink.OnPreviewStep(position, channel, name, picture); });
        if (m_nState == grabstate::kMultiPreview) StartStepTimer(300);
        return;
      }
      Notify([&](IGrabberEventSink& sink) { sink.OnPictureReady(event.code); });
      return;
    case tvevent::kSignalLost: Notify([](IGrabberEventSink& sink) { sink.OnSignalLost(); }); return;
    case tvevent::kDeviceLost: Notify([](IGrabberEventSink& sink) { sink.OnDeviceLost(); }); return;
    case tvevent::kDiscNotice:
      if (event.a == 1 || event.a == 2) {
        m_pRecorder->AcknowledgeDisc(event.a);
        if (event.a == 2) m_nState = grabstate::kIdle;
      }
      Notify([&](IGrabberEventSink& sink) { sink.OnDiscNotice(event.a); });
      return;
    case tvevent::kSourceReopened: {
      m_nState = grabstate::kSourceRunning;
      int channel = m_nChannel;
      m_pRecorder->GetTunedChannel(&channel);
      TuneChannel(channel);
      Notify([this](IGrabberEventSink& sink) { sink.OnSourceReopened(this); });
      return;
    }
    case tvevent::kSourceNotice: Notify([&](IGrabberEventSink& sink) { sink.OnSourceNotice(event.a); }); return;
    case tvevent::kSourceError: Notify([&](IGrabberEventSink& sink) { sink.OnSourceError(event.a); }); return;
    case tvevent::kSourceRestarted:
      m_nState = grabstate::kSourceRunning;
      Notify([](IGrabberEventSink& sink) { sink.OnSourceRestarted(); });
      return;
    case tvevent::kReplayAtLive:
      m_nState = grabstate::kSourceRunning;
      ResetPlaybackRate();
      Notify([](IGrabberEventSink& sink) { sink.OnReplayAtLive(); });
      return;
    default: return;
  }
}

// A channel the recorder's search found: named, stored and reported.
void CGrabber::HandleChannelFound(int channel, int value) {
  char name[kGrabberTextChars] = {};
  bool named = false;
  if (m_nProfileFamily != 1) {
    for (const int wait : kNameWaitsMs) {
      if (m_hooks.sleep) m_hooks.sleep(wait);
      if (SUCCEEDED(m_pRecorder->GetFoundChannelName(channel, name)) && name[0] != '\0') {
        named = true;
        break;
      }
    }
  }
  if (!named) std::snprintf(name, sizeof name, m_nAntenna ? "CH %d" : "CATV %d", channel);
  std::memcpy(m_channelName, name, sizeof name);
  GetChannelStatus(channel, m_channelName);
  m_pRecorder->SetChannelValue(m_nAntenna, channel, value);
  Notify([&](IGrabberEventSink& sink) { sink.OnTuning(channel, value, 1); });
}
