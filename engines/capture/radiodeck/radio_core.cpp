// CRadioCore: open and close, the hidden window that delivers worker events,
// and the calls that kind 1 serves from its tuner and kind 2 passes on to
// the outside radio component.
#include "engines/capture/radiodeck/radio_core.h"

#include <cmath>

#include "platform/com/runtime.h"
#include "platform/sys/last_error.h"
#include "platform/win/message.h"

using namespace plat;
using plat::radio::Modulation;

namespace {

// How many engines share the window class: the last one unregisters it, so
// a class never outlives the library holding its window procedure.
std::mutex g_classMutex;
int g_classUsers = 0;

int ToInt(double value) { return static_cast<int>(std::llround(value)); }

}  // namespace

CRadioCore::CRadioCore() : CRadioCore(&plat::radio::OpenRadioTuner) {}

CRadioCore::CRadioCore(TunerOpener openTuner) : m_openTuner(std::move(openTuner)) { CreateHiddenWindow(); }

CRadioCore::~CRadioCore() {
  Close();
  DestroyHiddenWindow();
}

// --- Hidden window -------------------------------------------------------------

void CRadioCore::CreateHiddenWindow() {
  std::lock_guard lock(g_classMutex);
  WNDCLASS wc;
  wc.lpfnWndProc = &CRadioCore::WindowProc;
  wc.lpszClassName = kWindowClass;
  if (!RegisterClass(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return;
  ++g_classUsers;
  m_hWnd = CreateWindowEx(0, kWindowClass, kWindowClass, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  if (m_hWnd) SetWindowLongPtr(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void CRadioCore::DestroyHiddenWindow() {
  std::lock_guard lock(g_classMutex);
  if (m_hWnd) {
    SetWindowLongPtr(m_hWnd, GWLP_USERDATA, 0);
    DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
  }
  if (g_classUsers > 0 && --g_classUsers == 0) UnregisterClass(kWindowClass, nullptr);
}

LRESULT CRadioCore::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<CRadioCore*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
  if (self && msg == radiodeck::kMsgDeliver) {
    self->DeliverQueued();
    return 0;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

void CRadioCore::Post(std::function<void(IRadioEventSink&)> call) {
  {
    std::lock_guard lock(m_queueMutex);
    m_queue.push_back(std::move(call));
  }
  if (m_hWnd) PostMessage(m_hWnd, radiodeck::kMsgDeliver, 0, 0);
}

void CRadioCore::DeliverQueued() {
  for (;;) {
    std::function<void(IRadioEventSink&)> call;
    {
      std::lock_guard lock(m_queueMutex);
      if (m_queue.empty()) return;
      call = std::move(m_queue.front());
      m_queue.pop_front();
    }
    // The sink in place now: one that Close let go hears nothing more.
    if (m_pSink) call(*m_pSink);
  }
}

// --- Open and close ----------------------------------------------------------------

HRESULT CRadioCore::Open(int kind, const char* folder) {
  Close();
  HRESULT hr = E_FAIL;
  if (kind == kRadioKindTuner) {
    hr = OpenTuner();
  } else if (kind == kRadioKindComponent) {
    hr = OpenComponent(folder);
  }
  if (FAILED(hr)) {
    Close();
    return hr;
  }
  m_nState = kRadioPlaying;
  return S_OK;
}

HRESULT CRadioCore::OpenTuner() {
  std::shared_ptr<plat::radio::IRadioTuner> tuner = m_openTuner ? m_openTuner() : nullptr;
  if (!tuner) return E_FAIL;
  const auto band = plat::radio::FindBand(tuner->Bands(), Modulation::kFm);
  if (!band) return E_FAIL;
  // The tuner may sit outside FM (or nowhere yet): start at the band's foot.
  const std::int64_t tuned = tuner->Frequency();
  if (tuned < band->lowHz || tuned > band->highHz) tuner->SetFrequency(band->lowHz);
  tuner->SetMute(false);
  auto pipeline = radiodeck::RadioPipeline::Start(tuner->MakeAudioSource());
  if (!pipeline) return E_FAIL;
  m_tuner = std::move(tuner);
  m_pipeline = std::move(pipeline);
  m_nKind = kRadioKindTuner;
  m_nDevice = kRadioDeviceTuner;
  m_nBandLow = static_cast<int>(band->lowHz);
  m_nBandHigh = static_cast<int>(band->highHz);
  return S_OK;
}

HRESULT CRadioCore::OpenComponent(const char* folder) {
  if (!m_pComponent) {
    HRESULT hr = CoCreateInstance(CLSID_RadioTuner, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                                  IID_IRadioTuner, reinterpret_cast<void**>(m_pComponent.ReleaseAndGetAddressOf()));
    if (FAILED(hr)) return hr;
  }
  HRESULT hr = m_pComponent->Open(folder);
  if (FAILED(hr)) return hr;
  m_nKind = kRadioKindComponent;
  m_nDevice = kRadioDeviceComponent;
  int value = 0;
  if (SUCCEEDED(GetBandHigh(&value, -1))) m_nBandHigh = value;
  if (SUCCEEDED(GetBandLow(&value, -1))) m_nBandLow = value;
  return S_OK;
}

HRESULT CRadioCore::Close() {
  Stop();
  ReleaseTunerCard();
  m_pipeline.reset();
  m_tuner.reset();
  if (m_pComponent) {
    if (m_nKind == kRadioKindComponent) m_pComponent->Close();
    m_pComponent.Reset();
  }
  {
    std::lock_guard lock(m_queueMutex);
    m_queue.clear();
  }
  m_nKind = 0;
  m_nDevice = 0;
  m_nBandHigh = m_nBandLow = 0;
  m_nState = kRadioClosed;
  return S_OK;
}

// --- Plain calls ---------------------------------------------------------------------

HRESULT CRadioCore::SetMute(int mute) {
  if (m_nKind == kRadioKindTuner) {
    // The volume element: pausing would stall the live source and cut a
    // recording short.
    m_pipeline->SetMute(mute != 0);
    return S_OK;
  }
  if (m_nKind == kRadioKindComponent) return m_pComponent->SetMute(mute);
  return E_FAIL;
}

HRESULT CRadioCore::GetDeviceId(int* value) {
  if (!value) return E_POINTER;
  *value = m_nDevice;
  return S_OK;
}

HRESULT CRadioCore::GetState(int* state) {
  if (!state) return E_POINTER;
  *state = m_nState;
  return S_OK;
}

HRESULT CRadioCore::GetSignalStrength(int* level) {
  if (!level) return E_POINTER;
  if (m_nKind == kRadioKindTuner) {
    *level = plat::radio::SignalLevel(m_tuner->Signal());
    return S_OK;
  }
  if (m_nKind == kRadioKindComponent) {
    float value = 0;
    const HRESULT hr = m_pComponent->GetSignal(&value);
    if (SUCCEEDED(hr)) *level = static_cast<int>(value);
    return hr;
  }
  return E_FAIL;
}

HRESULT CRadioCore::IsSignalStrong(int* strong) {
  if (!strong) return E_POINTER;
  if (m_nKind != kRadioKindTuner) return E_FAIL;
  *strong = plat::radio::SignalLevel(m_tuner->Signal()) > 4 ? 1 : 0;
  return S_OK;
}

HRESULT CRadioCore::GetBand(int* band) {
  if (!band) return E_POINTER;
  if (m_nKind != kRadioKindComponent) return E_FAIL;
  int value = 0;
  const HRESULT hr = m_pComponent->GetBand(&value);
  if (FAILED(hr)) return hr;
  *band = value == kRadioTunerAm ? 2 : 1;
  return S_OK;
}

HRESULT CRadioCore::SetBand(int band) {
  if (m_nKind != kRadioKindComponent) return E_FAIL;
  if (band == 1) return m_pComponent->SetBand(kRadioTunerFm);
  if (band == 2) return m_pComponent->SetBand(kRadioTunerAm);
  return E_FAIL;
}

HRESULT CRadioCore::ComponentRange(int band, bool high, int* frequency) {
  const int code = band == 2 ? kRadioTunerAm : band == 1 ? kRadioTunerFm : -1;
  double low = 0;
  double top = 0;
  const HRESULT hr = m_pComponent->GetBandRange(&low, &top, code);
  if (FAILED(hr)) return hr;
  *frequency = ToInt((high ? top : low) * 1e6);
  return S_OK;
}

HRESULT CRadioCore::GetBandLow(int* frequency, int band) {
  if (!frequency) return E_POINTER;
  if (m_nKind == kRadioKindTuner) {
    *frequency = m_nBandLow;
    return S_OK;
  }
  if (m_nKind == kRadioKindComponent) return ComponentRange(band, false, frequency);
  return E_FAIL;
}

HRESULT CRadioCore::GetBandHigh(int* frequency, int band) {
  if (!frequency) return E_POINTER;
  if (m_nKind == kRadioKindTuner) {
    *frequency = m_nBandHigh;
    return S_OK;
  }
  if (m_nKind == kRadioKindComponent) return ComponentRange(band, true, frequency);
  return E_FAIL;
}

HRESULT CRadioCore::GetFrequency(int* frequency) {
  if (!frequency) return E_POINTER;
  if (m_nKind == kRadioKindTuner) {
    *frequency = static_cast<int>(m_tuner->Frequency());
    return S_OK;
  }
  if (m_nKind == kRadioKindComponent) {
    double value = 0;
    const HRESULT hr = m_pComponent->GetFrequency(&value);
    if (SUCCEEDED(hr)) *frequency = ToInt(value * 1e6);
    return hr;
  }
  return E_FAIL;
}

HRESULT CRadioCore::SetFrequency(int frequency) {
  if (m_nKind == kRadioKindTuner) {
    if (!m_tuner->SetFrequency(frequency)) return E_FAIL;
    // RDS of the station left behind is forgotten (the reader reports an
    // empty radio text).
    ++m_nTuneGeneration;
    return S_OK;
  }
  if (m_nKind == kRadioKindComponent) return m_pComponent->SetFrequency(frequency * 0.000001);
  return E_FAIL;
}

HRESULT CRadioCore::SetArea(int area) {
  if (m_nKind != kRadioKindComponent) return E_FAIL;
  switch (area) {
    case 0: return m_pComponent->SetArea(kRadioTunerAreaOther);
    case 1: return m_pComponent->SetArea(kRadioTunerArea1);
    case 2: return m_pComponent->SetArea(kRadioTunerArea81);
    default: return E_FAIL;
  }
}

HRESULT CRadioCore::GetStereo(int* stereo) {
  if (!stereo) return E_POINTER;
  if (m_nKind != kRadioKindComponent) return E_FAIL;
  int mode = 0;
  const HRESULT hr = m_pComponent->GetStereo(&mode);
  if (SUCCEEDED(hr)) *stereo = mode == 0 ? 0 : 1;
  return hr;
}

HRESULT CRadioCore::SetComponentOption15(double* presets) {
  if (!m_pComponent) return E_FAIL;
  return m_pComponent->LoadPresets(presets);
}

HRESULT CRadioCore::SetComponentOption14(double* presets) {
  if (!m_pComponent) return E_FAIL;
  return m_pComponent->StorePresets(presets);
}

// --- Recording and stop --------------------------------------------------------------

HRESULT CRadioCore::StartRecord(const char* file, int format, IRadioEventSink* sink) {
  Stop();
  m_recordFile = file ? file : "";
  m_nRecordFormat = format;
  m_pSink = sink;
  if (m_nKind != kRadioKindTuner) return E_FAIL;
  // A failed start leaves no branch and no empty file; playback goes on.
  if (!m_pipeline->StartRecording(m_recordFile, format)) return E_FAIL;
  m_nState = kRadioRecording;
  if (m_pSink) m_pSink->OnRecordingStarted();
  return S_OK;
}

HRESULT CRadioCore::Stop() {
  if (m_nState == kRadioSearching || m_scanThread.joinable()) {
    {
      std::lock_guard lock(m_waitMutex);
      m_bStopScan = true;
    }
    m_wake.notify_all();
    // Every wait of the search wakes on the stop flag: the join is short.
    if (m_scanThread.joinable()) m_scanThread.join();
  } else if (m_nState == kRadioRecording) {
    if (m_pipeline && m_pipeline->StopRecording() && m_pSink) m_pSink->OnRecordingStopped();
  }
  if (m_nState != kRadioClosed) m_nState = kRadioPlaying;
  return S_OK;
}
