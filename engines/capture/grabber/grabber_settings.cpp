// CGrabber: inputs, devices, picture levels, audio modes, stored settings,
// teletext, the guide and the operations passed straight to the recorder.
#include <cstdio>
#include <cstring>

#include "engines/capture/grabber/grabber.h"

using namespace plat;
using namespace grabber;

namespace {

constexpr int kTvAudioModes[5] = {0, 1, 4, 5, 3};

void CopyText(char* out, const std::string& text) {
  if (out) std::snprintf(out, kGrabberTextChars, "%s", text.c_str());
}

}  // namespace

// Each forwards to the recorder's operation of the same meaning; before Init
// there is no recorder and each fails.
#define GRABBER_FORWARD(call) return m_pRecorder ? m_pRecorder->call : E_FAIL

HRESULT CGrabber::SetNotifyTarget(IGrabberEventSink* sink) {
  m_pSink = sink;
  return S_OK;
}

HRESULT CGrabber::SetVideoOwner(HWND owner) {
  if (!m_pRecorder) return E_FAIL;
  const HRESULT hr = m_pRecorder->SetOwnerWindow(owner, 0, 0);
  if (SUCCEEDED(hr)) m_pRecorder->ShowVideo(1);
  return hr;
}

HRESULT CGrabber::SetVideoOrigin(int left, int top) { GRABBER_FORWARD(SetVideoOrigin(left, top)); }

HRESULT CGrabber::SetVideoSize(int width, int height) {
  m_nVideoWidth = width;
  m_nVideoHeight = height;
  GRABBER_FORWARD(SetVideoSize(width, height));
}

HRESULT CGrabber::ShowVideo(int show) { GRABBER_FORWARD(ShowVideo(show)); }

HRESULT CGrabber::SetVideoInput(int input) {
  if (!m_pRecorder) return E_FAIL;
  const HRESULT hr = m_pRecorder->SetVideoInput(input);
  int read = 0;
  if (SUCCEEDED(m_pRecorder->GetVideoInput(&read))) m_nInputKind = read;
  return hr;
}

HRESULT CGrabber::SetTunerInput(int antenna) {
  if (!m_pRecorder) return E_FAIL;
  const HRESULT hr = m_pRecorder->SetTunerInput(antenna);
  int read = 0;
  if (SUCCEEDED(m_pRecorder->GetTunerInput(&read))) m_nAntenna = read;
  return hr;
}

HRESULT CGrabber::SetVideoDeviceName(const char* name) {
  if (!m_pRecorder || !name) return E_FAIL;
  if (m_videoDevice == name) return S_OK;
  const std::string previous = m_videoDevice;
  m_videoDevice = name;
  ApplyDevices(previous, m_audioDevice);
  return S_OK;
}

HRESULT CGrabber::SetAudioDeviceName(const char* name) {
  if (!m_pRecorder || !name) return E_FAIL;
  if (m_audioDevice == name) return S_OK;
  const std::string previous = m_audioDevice;
  m_audioDevice = name;
  ApplyDevices(m_videoDevice, previous);
  return S_OK;
}

HRESULT CGrabber::SetPictureLevel1(int level) { return ApplyPictureLevel(0, level); }
HRESULT CGrabber::SetPictureLevel2(int level) { return ApplyPictureLevel(1, level); }
HRESULT CGrabber::SetPictureLevel3(int level) { return ApplyPictureLevel(2, level); }
HRESULT CGrabber::SetPictureLevel4(int level) { return ApplyPictureLevel(3, level); }
int CGrabber::GetPictureLevel1() { return m_levels[0]; }
int CGrabber::GetPictureLevel2() { return m_levels[1]; }
int CGrabber::GetPictureLevel3() { return m_levels[2]; }
int CGrabber::GetPictureLevel4() { return m_levels[3]; }
HRESULT CGrabber::GetPictureRange1(int* minimum, int* maximum, int* byDefault) {
  return PictureRange(0, minimum, maximum, byDefault);
}
HRESULT CGrabber::GetPictureRange2(int* minimum, int* maximum, int* byDefault) {
  return PictureRange(1, minimum, maximum, byDefault);
}
HRESULT CGrabber::GetPictureRange3(int* minimum, int* maximum, int* byDefault) {
  return PictureRange(2, minimum, maximum, byDefault);
}
HRESULT CGrabber::GetPictureRange4(int* minimum, int* maximum, int* byDefault) {
  return PictureRange(3, minimum, maximum, byDefault);
}

// The recorder gets the new value: handing it the one held so far would keep
// the option one change behind.
HRESULT CGrabber::SetCaptureOption(int value) {
  if (!m_pRecorder) return E_FAIL;
  const HRESULT hr = m_pRecorder->SetCaptureOption(value);
  if (SUCCEEDED(hr)) m_nCaptureOption = value;
  return hr;
}

HRESULT CGrabber::SetTimeShiftLength(int minutes) {
  if (minutes < 0) return E_FAIL;
  m_nTimeShiftLength = minutes;
  return S_OK;
}

HRESULT CGrabber::ResetVideoSettings() {
  if (!m_pRecorder) return E_FAIL;
  m_pRecorder->EnableDevice(2);
  const HRESULT hr = m_pRecorder->EnableDevice(1);
  m_pRecorder->SetVideoInput(0);
  m_pRecorder->SetCountryCode(m_nCountryCode);
  m_pRecorder->SetVideoStandard(m_nStandard);
  SetTunerInput(m_nAntenna);
  TuneChannel(m_nChannel);
  return hr;
}

HRESULT CGrabber::SetTvAudioMode(int mode) {
  if (!m_pRecorder || mode < 0 || mode > 4) return E_FAIL;
  if (FAILED(m_pRecorder->HasTvAudio())) return E_FAIL;
  const HRESULT hr = m_pRecorder->SetTvAudio(kTvAudioModes[mode]);
  if (SUCCEEDED(hr)) m_nTvAudioMode = kTvAudioModes[mode];
  return hr;
}

int CGrabber::GetTvAudioMode() {
  for (int i = 0; i < 5; ++i) {
    if (kTvAudioModes[i] == m_nTvAudioMode) return i;
  }
  return -1;
}

HRESULT CGrabber::SetAudioChannelMode(int mode) {
  if (!m_pRecorder || mode < 0 || mode > 2) return E_FAIL;
  const HRESULT hr = m_pRecorder->SetAudioChannelMode(mode);
  if (SUCCEEDED(hr)) m_nAudioChannelMode = mode;
  return hr;
}

int CGrabber::GetAudioChannelMode() { return m_nAudioChannelMode >= 0 && m_nAudioChannelMode <= 2 ? m_nAudioChannelMode : -1; }
int CGrabber::GetReportedInputType() {
  return m_nReportedInputType == 1 || m_nReportedInputType == 2 ? m_nReportedInputType : 0;
}
int CGrabber::GetCaptureOption() { return m_nCaptureOption; }
int CGrabber::GetTimeShiftLength() { return m_nTimeShiftLength; }
int CGrabber::GetInputKind() { return m_nInputKind; }
int CGrabber::GetTunerInput() { return m_nAntenna; }

HRESULT CGrabber::GetOutputFolder(char* folder) {
  if (!folder) return E_FAIL;
  CopyText(folder, m_outputFolder);
  return S_OK;
}
HRESULT CGrabber::GetVideoDeviceName(char* name) {
  if (!name) return E_FAIL;
  CopyText(name, m_videoDevice);
  return S_OK;
}
HRESULT CGrabber::GetAudioDeviceName(char* name) {
  if (!name) return E_FAIL;
  CopyText(name, m_audioDevice);
  return S_OK;
}

HRESULT CGrabber::SetVideoFlag190(int value) {
  if (!m_pRecorder) return E_FAIL;
  if (m_nState != grabstate::kPreview) return m_pRecorder->SetPreviewOption(value);
  m_pRecorder->Preview(0);
  const HRESULT hr = m_pRecorder->SetPreviewOption(value);
  m_pRecorder->Preview(1);
  return hr;
}

int CGrabber::IsSignalPresent() { return m_pRecorder && SUCCEEDED(m_pRecorder->IsSignalPresent()) ? 1 : 0; }
int CGrabber::IsDeviceReady() { return m_pRecorder && SUCCEEDED(m_pRecorder->IsDeviceReady()) ? 1 : 0; }

HRESULT CGrabber::HasWebCamera() {
  int count = 0;
  if (!m_pRecorder || FAILED(m_pRecorder->GetWebCameraCount(&count))) return E_FAIL;
  return count >= 1 ? S_OK : E_FAIL;
}

HRESULT CGrabber::SelectWebCamera() {
  if (!m_pRecorder) return E_FAIL;
  int device = 0;
  const HRESULT hr = m_pRecorder->GetWebCamera(0, &device);
  char name[kTvNameChars] = {};
  if (SUCCEEDED(hr) && SUCCEEDED(m_pRecorder->GetDeviceName(device, name))) SetVideoDeviceName(name);
  return hr;
}

HRESULT CGrabber::SelectCompositeInput() {
  if (!m_pRecorder) return E_FAIL;
  char name[kTvNameChars] = {};
  if (SUCCEEDED(m_pRecorder->GetVideoDeviceName(0, name))) SetVideoDeviceName(name);
  return SetVideoInput(kInputComposite);
}

HRESULT CGrabber::SelectSVideoInput() {
  if (!m_pRecorder) return E_FAIL;
  char name[kTvNameChars] = {};
  if (SUCCEEDED(m_pRecorder->GetVideoDeviceName(0, name))) SetVideoDeviceName(name);
  return SetVideoInput(kInputSVideo);
}

// --- Teletext ---------------------------------------------------------------------

HRESULT CGrabber::GetTeletextKeyColour(COLORREF* colour) { GRABBER_FORWARD(GetTeletextKeyColour(colour)); }
HRESULT CGrabber::GetTeletextAvailable() { GRABBER_FORWARD(IsTeletextAvailable()); }
HRESULT CGrabber::RecorderOp97(HWND owner) { GRABBER_FORWARD(SetTeletextOwner(owner)); }
HRESULT CGrabber::RecorderOp98(int left, int top, int width, int height) {
  GRABBER_FORWARD(SetTeletextRect(left, top, width, height));
}
HRESULT CGrabber::ShowTeletext(int show) { GRABBER_FORWARD(ShowTeletext(show)); }
HRESULT CGrabber::RecorderOp100(int on) { GRABBER_FORWARD(SetTeletextOverVideo(on)); }

int CGrabber::GetTeletextPage() {
  int page = -1;
  if (!m_pRecorder || FAILED(m_pRecorder->GetTeletextPage(&page))) return -1;
  return page;
}

namespace {

template <class Call>
HRESULT PageOperation(ISysRecorder* recorder, IGrabberEventSink* sink, Call call) {
  if (!recorder) return E_FAIL;
  const HRESULT hr = call(*recorder);
  if (sink) sink->OnTeletextPageChanged();
  return hr;
}

}  // namespace

HRESULT CGrabber::SetTeletextPage(int page) {
  return PageOperation(m_pRecorder.Get(), m_pSink, [&](ISysRecorder& r) { return r.SetTeletextPage(page); });
}
HRESULT CGrabber::PrevTeletextPage() {
  return PageOperation(m_pRecorder.Get(), m_pSink, [](ISysRecorder& r) { return r.PrevTeletextPage(); });
}
HRESULT CGrabber::NextTeletextPage() {
  return PageOperation(m_pRecorder.Get(), m_pSink, [](ISysRecorder& r) { return r.NextTeletextPage(); });
}
HRESULT CGrabber::PrevTeletextSubPage() { GRABBER_FORWARD(PrevTeletextSubPage()); }
HRESULT CGrabber::NextTeletextSubPage() { GRABBER_FORWARD(NextTeletextSubPage()); }
HRESULT CGrabber::TeletextKeyRed() {
  return PageOperation(m_pRecorder.Get(), m_pSink, [](ISysRecorder& r) { return r.TeletextKeyRed(); });
}
HRESULT CGrabber::TeletextKeyGreen() {
  return PageOperation(m_pRecorder.Get(), m_pSink, [](ISysRecorder& r) { return r.TeletextKeyGreen(); });
}
HRESULT CGrabber::TeletextKeyBlue() {
  return PageOperation(m_pRecorder.Get(), m_pSink, [](ISysRecorder& r) { return r.TeletextKeyBlue(); });
}
HRESULT CGrabber::TeletextKeyYellow() {
  return PageOperation(m_pRecorder.Get(), m_pSink, [](ISysRecorder& r) { return r.TeletextKeyYellow(); });
}

HRESULT CGrabber::EnableBurnProgress(int on) {
  if (!m_pRecorder) return E_FAIL;
  return on ? m_pRecorder->SetProgressSink(this) : m_pRecorder->ClearProgressSink();
}

// --- Forwarded as they are --------------------------------------------------------

HRESULT CGrabber::RecorderOp60(int value) { GRABBER_FORWARD(SetValue(value)); }
HRESULT CGrabber::RecorderOp67(int value) { GRABBER_FORWARD(SetValue12(value)); }
HRESULT CGrabber::RecorderOp87(int value) { GRABBER_FORWARD(SetValue13(value)); }
HRESULT CGrabber::RecorderOp88(int index, char* name) { GRABBER_FORWARD(GetVideoDeviceName(index, name)); }
HRESULT CGrabber::RecorderOp89(int index, char* name) { GRABBER_FORWARD(GetAudioDeviceName(index, name)); }
HRESULT CGrabber::RecorderOp112(int value) { GRABBER_FORWARD(TeletextOp210(value)); }
HRESULT CGrabber::RecorderOp114(int value) { GRABBER_FORWARD(TeletextOp213(value)); }
HRESULT CGrabber::RecorderOp115(int value) { GRABBER_FORWARD(TeletextOp214(value)); }
HRESULT CGrabber::SetGuideRange(int a, int b) { GRABBER_FORWARD(SetGuideRange(a, b)); }
HRESULT CGrabber::GuideStep(int value) { GRABBER_FORWARD(GuideStep(value)); }
HRESULT CGrabber::RecorderOp118(int value) { GRABBER_FORWARD(GuideOp217(value)); }
HRESULT CGrabber::RecorderOp119(int value) { GRABBER_FORWARD(GuideOp218(value)); }
HRESULT CGrabber::RecorderOp120(int value) { GRABBER_FORWARD(GuideOp219(value)); }
HRESULT CGrabber::RecorderOp121(int value) { GRABBER_FORWARD(GuideOp220(value)); }
HRESULT CGrabber::RecorderOp133(int value) { GRABBER_FORWARD(SourceOp43(value)); }
HRESULT CGrabber::RecorderOp134() { GRABBER_FORWARD(SourceOp44()); }
HRESULT CGrabber::RecorderOp135(int mode, double rate) { GRABBER_FORWARD(SetSourceRate(mode, rate)); }
HRESULT CGrabber::RecorderOp137(int value) { GRABBER_FORWARD(SourceOp47(value)); }
HRESULT CGrabber::RecorderOp138(int value) { GRABBER_FORWARD(SourceOp48(value)); }
HRESULT CGrabber::RecorderOp139(int value) { GRABBER_FORWARD(SourceOp49(value)); }
HRESULT CGrabber::RecorderOp140(int value) { GRABBER_FORWARD(SourceOp50(value)); }

#undef GRABBER_FORWARD
