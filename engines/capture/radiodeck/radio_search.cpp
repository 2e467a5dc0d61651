// CRadioCore: the station search on its worker thread, and the RDS reader.
#include <chrono>

#include "engines/capture/radiodeck/radio_core.h"
#include "platform/media/radio/rds_decoder.h"

using namespace plat;

HRESULT CRadioCore::StartScan(int step, IRadioEventSink* sink) {
  Stop();
  if (m_nKind != kRadioKindTuner || step <= 0) return E_FAIL;
  m_nScanStep = step;
  m_pSink = sink;
  m_bStopScan = false;
  m_nScanFrequency = m_nBandLow;
  m_nState = kRadioSearching;
  try {
    m_scanThread = std::thread(&CRadioCore::SearchThread, this);
  } catch (const std::system_error&) {
    m_nState = kRadioPlaying;
    return E_FAIL;
  }
  return S_OK;
}

HRESULT CRadioCore::GetScanProgress(float* progress) {
  if (!progress) return E_POINTER;
  // Equal edges would divide by zero.
  if (m_nState != kRadioSearching || m_nBandHigh == m_nBandLow) return E_FAIL;
  *progress = static_cast<float>(static_cast<double>(m_nScanFrequency - m_nBandLow) / (m_nBandHigh - m_nBandLow));
  return S_OK;
}

// Readings of level 5 within 400 kHz above the first of them are one
// station: the strongest is reported once the search has gone past that
// span (or reached the band's top).
void CRadioCore::SearchThread() {
  Post([](IRadioEventSink& s) { s.OnSearchStarted(); });
  // The station being gathered: frequency 0 while there is none.
  int candidate = 0;
  int candidateSignal = 0;
  int lastReported = -1;
  const long long step = m_nScanStep;
  for (long long f = m_nBandLow; f <= m_nBandHigh && !m_bStopScan; f += step) {
    if (candidate && f - candidate >= radiodeck::kStationSpanHz) {
      ReportStation(candidate);
      lastReported = candidate;
      candidate = 0;
      if (m_bStopScan) break;
    }
    if (!m_tuner->SetFrequency(f)) continue;
    ++m_nTuneGeneration;
    m_nScanFrequency = static_cast<int>(f);
    const int signal = m_tuner->Signal();
    if (plat::radio::SignalLevel(signal) < 5) continue;
    const auto actual = static_cast<int>(m_tuner->Frequency());
    if (actual < f || actual == lastReported) continue;
    if (candidate && actual - candidate < radiodeck::kStationSpanHz) {
      if (signal > candidateSignal) {
        candidate = actual;
        candidateSignal = signal;
      }
    } else {
      if (candidate) {
        ReportStation(candidate);
        lastReported = candidate;
      }
      candidate = actual;
      candidateSignal = signal;
    }
  }
  if (candidate && !m_bStopScan) ReportStation(candidate);
  m_nState = kRadioPlaying;
  // Also after a stop: the controller unmutes on this.
  Post([](IRadioEventSink& s) { s.OnSearchEnded(); });
}

void CRadioCore::ReportStation(int frequency) {
  if (m_bRdsAvailable) {
    // Back on the station, its radio text gets up to three seconds to come.
    {
      std::lock_guard lock(m_waitMutex);
      m_bRadioTextReceived = false;
    }
    if (m_tuner->SetFrequency(frequency)) ++m_nTuneGeneration;
    std::unique_lock lock(m_waitMutex);
    for (int round = 0; round < radiodeck::kRdsWaitRounds; ++round) {
      if (m_wake.wait_for(lock, std::chrono::milliseconds(radiodeck::kRdsWaitMs),
                          [this] { return m_bRadioTextReceived || m_bStopScan.load(); })) {
        break;
      }
    }
    if (m_bStopScan) return;
  }
  Post([frequency](IRadioEventSink& s) { s.OnStationFound(frequency); });
}

// --- RDS ------------------------------------------------------------------------------

namespace {

// Hands decoded events to the engine's queue.
class QueueListener final : public plat::radio::IRdsListener {
 public:
  explicit QueueListener(std::function<void(std::function<void(IRadioEventSink&)>)> post,
                         std::function<void()> textSeen)
      : post_(std::move(post)), textSeen_(std::move(textSeen)) {}
  void OnRadioText(const std::string& text) override {
    if (!text.empty()) textSeen_();
    post_([text](IRadioEventSink& s) { s.OnRadioText(text.c_str()); });
  }
  void OnStationName(const std::string& name) override {
    post_([name](IRadioEventSink& s) { s.OnStationName(name.c_str()); });
  }
  void OnProgramType(const std::string& name) override {
    post_([name](IRadioEventSink& s) { s.OnProgramType(name.c_str()); });
  }
  void OnClockTime(const std::string& text) override {
    post_([text](IRadioEventSink& s) { s.OnClockTime(text.c_str()); });
  }

 private:
  std::function<void(std::function<void(IRadioEventSink&)>)> post_;
  std::function<void()> textSeen_;
};

constexpr int kRdsPollMs = 50;

}  // namespace

HRESULT CRadioCore::InitTunerCard(int card, IRadioEventSink* sink) {
  (void)card;  // one tuner: nothing to choose between
  StopRds();
  m_pSink = sink;
  m_bRdsAvailable = false;
  if (m_nKind != kRadioKindTuner || !m_tuner->HasRds()) return E_FAIL;
  m_bStopRds = false;
  try {
    m_rdsThread = std::thread(&CRadioCore::RdsThread, this);
  } catch (const std::system_error&) {
    return E_FAIL;
  }
  m_bRdsAvailable = true;
  return S_OK;
}

HRESULT CRadioCore::ReleaseTunerCard() {
  StopRds();
  return S_OK;
}

void CRadioCore::StopRds() {
  m_bStopRds = true;
  if (m_rdsThread.joinable()) m_rdsThread.join();
  m_bRdsAvailable = false;
}

void CRadioCore::RdsThread() {
  plat::radio::RdsDecoder decoder;
  QueueListener listener([this](std::function<void(IRadioEventSink&)> call) { Post(std::move(call)); },
                         [this] {
                           {
                             std::lock_guard lock(m_waitMutex);
                             m_bRadioTextReceived = true;
                           }
                           m_wake.notify_all();
                         });
  long generation = m_nTuneGeneration;
  while (!m_bStopRds) {
    const auto block = m_tuner->NextRdsBlock(kRdsPollMs);
    const long now = m_nTuneGeneration;
    if (now != generation) {
      // A retune: the new station starts with nothing known, and nothing of
      // the station left behind stays on the screen. The block just read is
      // most likely the new station's first and is kept.
      generation = now;
      decoder.Reset();
      listener.OnRadioText("");
      listener.OnStationName("");
      listener.OnProgramType("");
      listener.OnClockTime("");
    }
    if (!block) continue;
    for (const auto& event : decoder.Add(*block)) plat::radio::HandleRdsEvent(event, listener);
  }
}
