// CGrabber: tuning, channel queries, the recorder's own search, the timed
// channel scan, the channel wall and the TV country.
#include <cstdio>
#include <cstring>

#include "engines/capture/grabber/channel_stepping.h"
#include "engines/capture/grabber/grabber.h"
#include "platform/win/message.h"
#include "platform/win/mmtimer.h"

using namespace plat;
using namespace grabber;

namespace {

constexpr UINT kScanFirstShotMs = 2000;
constexpr UINT kScanShotMs = 800;
constexpr UINT kWallShotMs = 300;
constexpr UINT kWallPictureDelayMs = 200;
constexpr UINT_PTR kWallTimerId = 1;

void CopyText(char* out, const char* text, std::size_t size) {
  if (!out) return;
  std::snprintf(out, size, "%s", text);
}

}  // namespace

HRESULT CGrabber::QueryChannel(int channel, TvChannelInfo& info) {
  if (!m_pRecorder) return E_FAIL;
  info = TvChannelInfo{};
  return m_nAntenna ? m_pRecorder->QueryAntennaChannel(channel, &info)
                    : m_pRecorder->QueryCableChannel(channel, &info);
}

std::optional<bool> CGrabber::ChannelStored(int channel) {
  TvChannelInfo info;
  if (FAILED(QueryChannel(channel, info))) return std::nullopt;
  return info.stored != 0;
}

int CGrabber::NextChannel(int current, int steps) {
  if (m_bWholeBand) {
    return StepBand(current, steps, m_nScanStart, [this](int channel) { return ChannelStored(channel); });
  }
  return StepList(m_scanList, current, steps);
}

HRESULT CGrabber::ReadBackChannel() {
  int channel = 0;
  const HRESULT hr = m_pRecorder->GetTunedChannel(&channel);
  if (SUCCEEDED(hr)) m_nChannel = channel;
  return hr;
}

HRESULT CGrabber::GetChannelName(char* name, int channel) {
  TvChannelInfo info;
  const HRESULT hr = QueryChannel(channel == 0 ? m_nChannel : channel, info);
  if (SUCCEEDED(hr)) CopyText(name, info.name, kGrabberTextChars);
  return hr;
}

HRESULT CGrabber::GetChannelStatus(int channel, char* name) {
  TvChannelInfo info;
  const HRESULT hr = QueryChannel(channel == 0 ? m_nChannel : channel, info);
  if (SUCCEEDED(hr) && name && std::strncmp(name, info.name, kGrabberTextChars) != 0) {
    CopyText(name, info.name, kGrabberTextChars);
  }
  return hr;
}

HRESULT CGrabber::GetChannelRange(int* first, int* last) {
  return m_pRecorder ? m_pRecorder->GetChannelRange(first, last) : E_FAIL;
}

HRESULT CGrabber::SetChannelParam(int value, int channel) {
  if (!m_pRecorder) return E_FAIL;
  return m_pRecorder->SetChannelParam(m_nAntenna, channel ? channel : m_nChannel, value);
}

HRESULT CGrabber::GetTunedChannel(int* channel) {
  return m_pRecorder ? m_pRecorder->GetTunedChannel(channel) : E_FAIL;
}

HRESULT CGrabber::TuneChannel(int channel) {
  if (!m_pRecorder || !TuningAllowed()) return E_FAIL;
  const HRESULT hr = m_pRecorder->Tune(channel);
  if (channel != m_nChannel) m_pRecorder->ChannelChanged();
  ReadBackChannel();
  return hr;
}

HRESULT CGrabber::ChannelStep1() {
  if (!m_pRecorder || !TuningAllowed()) return E_FAIL;
  const HRESULT hr = m_pRecorder->ChannelDown();
  ReadBackChannel();
  return hr;
}

HRESULT CGrabber::ChannelStep2() {
  if (!m_pRecorder || !TuningAllowed()) return E_FAIL;
  const HRESULT hr = m_pRecorder->ChannelUp();
  ReadBackChannel();
  return hr;
}

HRESULT CGrabber::ChannelStep3() {
  if (!m_pRecorder || !TuningAllowed()) return E_FAIL;
  const HRESULT hr = m_pRecorder->ChannelPrevious();
  ReadBackChannel();
  return hr;
}

HRESULT CGrabber::AutoScan(int on) {
  if (!m_pRecorder) return E_FAIL;
  if (on == 1 && InState({grabstate::kPreview, grabstate::kSourceRunning})) {
    ReadBackChannel();
    const HRESULT hr = m_pRecorder->StartSearch();
    if (SUCCEEDED(hr)) m_nState = grabstate::kAutoScan;
    return hr;
  }
  if (on == 0 && m_nState == grabstate::kAutoScan) return m_pRecorder->StopSearch();
  return E_FAIL;
}

HRESULT CGrabber::AutoScanAlternate(int on) {
  if (!m_pRecorder) return E_FAIL;
  if (on == 1 && InState({grabstate::kPreview, grabstate::kSourceRunning})) {
    ReadBackChannel();
    const HRESULT hr = m_pRecorder->StartSearchAlternate();
    if (SUCCEEDED(hr)) m_nState = grabstate::kAutoScanAlternate;
    return hr;
  }
  if (on == 0 && m_nState == grabstate::kAutoScanAlternate) return m_pRecorder->StopSearchAlternate();
  return E_FAIL;
}

HRESULT CGrabber::GetChannelSignal(int channel, int* value, int* status) {
  TvChannelInfo info;
  const HRESULT hr = QueryChannel(channel, info);
  if (SUCCEEDED(hr)) {
    if (value) *value = info.value;
    if (status) *status = info.status;
  }
  return hr;
}

HRESULT CGrabber::SetChannelStored(int channel, int value) {
  return m_pRecorder ? m_pRecorder->SetChannelStored(m_nAntenna, channel, value) : E_FAIL;
}

HRESULT CGrabber::GetStoredChannel(int index, int* value, int* status) {
  if (index < 0) return S_OK;
  int counted = 0;
  for (int channel = 0; channel < kBandChannels; ++channel) {
    TvChannelInfo info;
    if (FAILED(QueryChannel(channel, info))) return E_FAIL;
    if (!info.stored) continue;
    if (counted++ == index) {
      if (value) *value = info.value;
      if (status) *status = info.status;
      return S_OK;
    }
  }
  return E_FAIL;
}

// --- Timed channel scan -----------------------------------------------------------

HRESULT CGrabber::StartChannelScan(int first, int last, const unsigned* channels) {
  if (!m_pRecorder || m_nState != grabstate::kPreview) return E_FAIL;
  const long long count = static_cast<long long>(last) - first + 1;
  if (count <= 0 || count > kBandChannels * 4) return E_FAIL;
  m_bWholeBand = channels == nullptr;
  m_scanList.assign(channels ? channels : nullptr, channels ? channels + count : nullptr);
  if (m_bPreviewRestart) {
    m_pRecorder->Preview(0);
    m_pRecorder->SetPreviewOption(0);
    m_pRecorder->Preview(1);
  }
  m_pRecorder->ScanStart(first, last);
  m_nState = grabstate::kChannelScan;
  m_nScanCount = static_cast<int>(count);
  m_nScanPosition = 0;
  m_nScanStart = m_nChannel;
  m_nPreviewChannel = m_nChannel;
  StartStepTimer(kScanFirstShotMs);
  TvChannelInfo info;
  QueryChannel(m_nChannel, info);
  const int channel = m_nChannel;
  Notify([&](IGrabberEventSink& sink) { sink.OnScanStep(0, channel, info.status); });
  return S_OK;
}

HRESULT CGrabber::StopChannelScan() {
  if (!m_pRecorder || m_nState != grabstate::kChannelScan) return E_FAIL;
  KillStepTimers();
  m_nState = grabstate::kPreview;
  const HRESULT hr = m_pRecorder->ScanStop();
  if (m_bPreviewRestart) {
    m_pRecorder->Preview(0);
    m_pRecorder->SetPreviewOption(1);
    m_pRecorder->Preview(1);
  }
  return hr;
}

HRESULT CGrabber::ScanControl(int a, int b, int c, int d, int e) {
  if (!m_pRecorder || m_nState != grabstate::kChannelScan) return E_FAIL;
  return m_pRecorder->ScanControl(a, b, c, d, e);
}

void CGrabber::OnStepTimer() {
  m_nStepTimer = 0;
  if (!m_pRecorder || m_nScanCount <= 0) return;
  if (m_nState == grabstate::kChannelScan) {
    m_nScanPosition = (m_nScanPosition + 1) % m_nScanCount;
    m_nPreviewChannel = NextChannel(m_nPreviewChannel, 1);
    m_pRecorder->ScanStep(m_nScanPosition, m_nPreviewChannel);
    TvChannelInfo info;
    QueryChannel(m_nPreviewChannel, info);
    const int position = m_nScanPosition;
    const int channel = m_nPreviewChannel;
    Notify([&](IGrabberEventSink& sink) { sink.OnScanStep(position, channel, info.status); });
    if (m_nState == grabstate::kChannelScan) StartStepTimer(kScanShotMs);
  } else if (m_nState == grabstate::kMultiPreview) {
    if (++m_nScanPosition >= m_nScanCount) {
      m_nScanPosition = 0;
      m_nPreviewChannel = m_nScanStart;
    } else {
      m_nPreviewChannel = NextChannel(m_nPreviewChannel, 1);
    }
    TuneChannel(m_nPreviewChannel);
    if (m_hWnd) m_nWallTimer = SetTimer(m_hWnd, kWallTimerId, kWallPictureDelayMs, nullptr);
  }
}

void CGrabber::OnWallTimer() {
  if (m_nWallTimer && m_hWnd) KillTimer(m_hWnd, m_nWallTimer);
  m_nWallTimer = 0;
  if (m_pRecorder && m_nState == grabstate::kMultiPreview) m_pRecorder->RequestWallPicture();
}

// --- Channel wall -----------------------------------------------------------------

HRESULT CGrabber::StartMultiChannelPreview(int count, const unsigned* channels) {
  if (!m_pRecorder || count < 1 || count > kBandChannels * 4) return E_FAIL;
  if (!InState({grabstate::kPreview, grabstate::kSourceRunning})) return E_FAIL;
  ShowVideo(0);
  m_bWholeBand = channels == nullptr;
  m_scanList.assign(channels ? channels : nullptr, channels ? channels + count : nullptr);
  m_nScanCount = count;
  m_nScanPosition = 0;
  m_nScanStart = m_nChannel;
  m_nPreviewChannel = m_nChannel;
  m_nState = grabstate::kMultiPreview;
  if (m_nProfileFamily == 2) m_pRecorder->SetPreviewFamily(0);
  m_pRecorder->SourceSeek(0, 1.0);
  m_pRecorder->RequestWallPicture();
  return S_OK;
}

HRESULT CGrabber::StopMultiChannelPreview() {
  if (!m_pRecorder || m_nState != grabstate::kMultiPreview) return E_FAIL;
  KillStepTimers();
  if (m_nProfileFamily == 2) m_pRecorder->SetPreviewFamily(1);
  m_nState = grabstate::kPreview;
  return S_OK;
}

HRESULT CGrabber::NextPreviewChannel() {
  if (!m_pRecorder || m_nState != grabstate::kMultiPreview) return E_FAIL;
  KillStepTimers();
  m_nState = grabstate::kPreview;
  m_nPreviewChannel = NextChannel(m_nPreviewChannel, 1);
  if (m_nScanCount > 0) m_nScanPosition = (m_nScanPosition + 1) % m_nScanCount;
  TuneChannel(m_nPreviewChannel);
  m_nState = grabstate::kMultiPreview;
  return m_pRecorder->RequestWallPicture();
}

HRESULT CGrabber::PrevPreviewChannel() {
  if (!m_pRecorder || m_nState != grabstate::kMultiPreview) return E_FAIL;
  KillStepTimers();
  m_nState = grabstate::kPreview;
  m_nPreviewChannel = NextChannel(m_nPreviewChannel, -1);
  if (m_nScanCount > 0) m_nScanPosition = (m_nScanPosition + m_nScanCount - 1) % m_nScanCount;
  TuneChannel(m_nPreviewChannel);
  m_nState = grabstate::kMultiPreview;
  return m_pRecorder->RequestWallPicture();
}

// --- Country ----------------------------------------------------------------------

HRESULT CGrabber::SetCountry(int index) {
  if (!m_pRecorder) return E_FAIL;
  if (index == -1) index = CountryRowFor(m_hooks.localeCountry ? m_hooks.localeCountry() : LocaleCountry{});
  if (index < 0 || index >= kCountryCount) return E_FAIL;
  if (index == m_nCountry) return S_OK;
  const int code = CountryTable()[static_cast<std::size_t>(index)].code;
  m_pRecorder->SetCountryCode(code);
  SetCountryRow(index);
  m_pRecorder->SetVideoStandard(m_nStandard);
  if (LoadProfiles() == ProfileLoad::kLoaded) {
    const std::string wanted = m_profileName.empty() ? "DVD SP" : m_profileName;
    if (SUCCEEDED(m_pStore->Select("Record", wanted.c_str())) && SUCCEEDED(m_pStore->GetSelected(&m_current))) {
      m_profileName = wanted;
    } else {
      WriteDefaultEntry();
    }
  }
  ResetVideoSize();
  ApplyDevices(m_videoDevice, m_audioDevice);
  m_pRecorder->SetTunerInput(m_nAntenna);
  TuneChannel(m_nChannel);
  if (m_nState == grabstate::kPreview) m_pRecorder->Preview(1);
  return S_OK;
}

int CGrabber::GetCountry() { return m_nCountry; }

HRESULT CGrabber::GetCountryName(int index, char* name) {
  if (index < 0 || index >= kCountryCount || !name) return E_FAIL;
  CopyText(name, CountryTable()[static_cast<std::size_t>(index)].name, kGrabberTextChars);
  return S_OK;
}

HRESULT CGrabber::ApplyCountrySettings() {
  if (!m_pRecorder) return E_FAIL;
  const HRESULT hr = m_pRecorder->SetCountryCode(m_nCountryCode);
  const HRESULT hr2 = m_pRecorder->SetVideoStandard(m_nStandard);
  return FAILED(hr) ? hr : hr2;
}
