#include "engines/playback/mixhost/mix_host.h"

#include <cstring>

#include "platform/sys/last_error.h"
#include "platform/win/window.h"

using namespace plat;

namespace {

HRESULT Result(bool ok) { return ok ? S_OK : E_FAIL; }
HRESULT Result(MMRESULT err) { return err == MMSYSERR_NOERROR ? S_OK : E_FAIL; }

// Copies a fixed name field into the caller's buffer, when one is given.
template <std::size_t N>
void CopyName(char** buffer, const char (&name)[N]) {
  if (buffer && *buffer) std::memcpy(*buffer, name, N);
}

}  // namespace

CMixHost::CMixHost() : m_pEngine(std::make_unique<CMixerEngine>()) {
  WNDCLASS wc;
  wc.style = CS_VREDRAW | CS_HREDRAW;
  wc.lpfnWndProc = &CMixHost::ProcWndProc;
  wc.lpszClassName = kProcWindowClass;
  // Another object may have registered the class already; it serves us too.
  if (!RegisterClass(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return;
  m_hProcWnd = CreateWindowEx(0, kProcWindowClass, kProcWindowClass, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              nullptr, nullptr);
  if (!m_hProcWnd) return;
  // Notices find their object through its window, whichever object is newest.
  SetWindowLongPtr(m_hProcWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  m_pEngine->SetNotifyWindow(m_hProcWnd);
}

CMixHost::~CMixHost() {
  m_pEngine->SetNotifyWindow(nullptr);
  m_pEngine.reset();
  if (m_hProcWnd) {
    SetWindowLongPtr(m_hProcWnd, GWLP_USERDATA, 0);
    DestroyWindow(m_hProcWnd);
    // Refused while another object's window still uses the class.
    UnregisterClass(kProcWindowClass, nullptr);
  }
}

LRESULT CMixHost::ProcWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == MM_MIXM_LINE_CHANGE) {
    auto* host = reinterpret_cast<CMixHost*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
    if (host && host->m_pSink) host->m_pSink->OnMixerChange();
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

bool CMixHost::FindDestination(DWORD componentType, MIXERLINEA* line) {
  for (DWORD i = 0; m_pEngine->GetDestination(i, line); ++i) {
    if (line->dwComponentType == componentType) return true;
  }
  return false;
}

bool CMixHost::SourceLine(int index, MIXERLINEA* line) {
  MIXERLINEA speakers;
  if (index < 0 || !FindDestination(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, &speakers)) return false;
  return m_pEngine->GetSource(speakers.dwDestination, static_cast<DWORD>(index), line) != 0;
}

bool CMixHost::RecordingLine(int index, MIXERLINEA* line) {
  MIXERLINEA recording;
  if (index < 0 || !FindDestination(MIXERLINE_COMPONENTTYPE_DST_WAVEIN, &recording)) return false;
  if (static_cast<DWORD>(index) >= recording.cConnections) return false;
  // A single connection: the destination line stands for its source.
  if (recording.cConnections == 1) {
    *line = recording;
    return true;
  }
  return m_pEngine->GetSource(recording.dwDestination, static_cast<DWORD>(index), line) != 0;
}

HRESULT CMixHost::ReadState(DWORD lineId, int* mute, float* volume) {
  const MMRESULT muteErr = m_pEngine->GetMute(lineId, mute);
  const MMRESULT volumeErr = m_pEngine->GetVolume(lineId, volume);
  return Result(muteErr == MMSYSERR_NOERROR && volumeErr == MMSYSERR_NOERROR);
}

HRESULT CMixHost::SetNotifyTarget(IMixHostEventSink* sink) {
  m_pSink = sink;
  return S_OK;
}

HRESULT CMixHost::GetDeviceName(int index, char** buffer) {
  if (index < 0) return E_FAIL;
  char name[MAXPNAMELEN] = {};
  if (!m_pEngine->GetDeviceName(static_cast<UINT>(index), name)) return E_FAIL;
  CopyName(buffer, name);
  return S_OK;
}

HRESULT CMixHost::SelectDeviceByName(const char* name) {
  if (!name) return E_FAIL;
  char found[260] = {};
  for (UINT i = 0; m_pEngine->GetDeviceName(i, found); ++i) {
    if (std::strcmp(found, name) != 0) continue;
    if (static_cast<int>(i) == m_nDevice) return S_OK;
    if (!m_pEngine->SelectDevice(i)) return E_FAIL;
    m_nDevice = static_cast<int>(i);
    return S_OK;
  }
  return E_FAIL;
}

HRESULT CMixHost::SetNotifyWindow(HWND window) { return Result(m_pEngine->SetNotifyWindow(window) != 0); }

HRESULT CMixHost::GetSpeakersLineName(char** buffer) {
  MIXERLINEA line;
  if (!FindDestination(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, &line)) return E_FAIL;
  CopyName(buffer, line.szName);
  return S_OK;
}

HRESULT CMixHost::GetSpeakersLineState(int, int* mute, float* volume, DWORD* componentType) {
  MIXERLINEA line;
  if (!componentType || !FindDestination(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, &line)) return E_FAIL;
  if (FAILED(ReadState(line.dwLineID, mute, volume))) return E_FAIL;
  *componentType = line.dwComponentType;
  return S_OK;
}

HRESULT CMixHost::SetSpeakersVolume(int, float volume) {
  MIXERLINEA line;
  if (!FindDestination(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, &line)) return E_FAIL;
  return Result(m_pEngine->SetVolume(line.dwLineID, volume));
}

HRESULT CMixHost::SetSpeakersMute(int, int mute) {
  MIXERLINEA line;
  if (!FindDestination(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, &line)) return E_FAIL;
  return Result(m_pEngine->SetMute(line.dwLineID, mute));
}

HRESULT CMixHost::GetSourceLineName(int index, char** buffer) {
  MIXERLINEA line;
  if (!SourceLine(index, &line)) return E_FAIL;
  CopyName(buffer, line.szName);
  return S_OK;
}

HRESULT CMixHost::GetSourceLineState(int index, int* mute, float* volume, DWORD* componentType) {
  MIXERLINEA line;
  if (!componentType || !SourceLine(index, &line)) return E_FAIL;
  // A source without a mute or volume control still reports its type.
  ReadState(line.dwLineID, mute, volume);
  *componentType = line.dwComponentType;
  return S_OK;
}

HRESULT CMixHost::SetSourceVolume(int index, float volume) {
  MIXERLINEA line;
  if (!SourceLine(index, &line)) return E_FAIL;
  return Result(m_pEngine->SetVolume(line.dwLineID, volume));
}

HRESULT CMixHost::SetSourceMute(int index, int mute) {
  MIXERLINEA line;
  if (!SourceLine(index, &line)) return E_FAIL;
  return Result(m_pEngine->SetMute(line.dwLineID, mute));
}

HRESULT CMixHost::GetRecordingLineName(int index, char** buffer) {
  MIXERLINEA line;
  if (!RecordingLine(index, &line)) return E_FAIL;
  CopyName(buffer, line.szName);
  return S_OK;
}

HRESULT CMixHost::GetRecordingLineState(int index, int* selected, int* mute, float* volume, DWORD* componentType) {
  MIXERLINEA line;
  if (!selected || !componentType || !RecordingLine(index, &line)) return E_FAIL;
  if (FAILED(ReadState(line.dwLineID, mute, volume))) return E_FAIL;
  *selected = m_pEngine->IsLineSelected(line.dwLineID);
  *componentType = line.dwComponentType;
  return S_OK;
}

HRESULT CMixHost::SetRecordingVolume(int index, float volume) {
  MIXERLINEA line;
  if (!RecordingLine(index, &line)) return E_FAIL;
  return Result(m_pEngine->SetVolume(line.dwLineID, volume));
}

HRESULT CMixHost::SelectRecordingSource(int index) {
  MIXERLINEA line;
  if (!RecordingLine(index, &line)) return E_FAIL;
  return Result(m_pEngine->SelectRecordingSource(line.dwLineID, 1));
}

HRESULT CMixHost::SetRecordingMute(int index, int mute) {
  MIXERLINEA line;
  if (!RecordingLine(index, &line)) return E_FAIL;
  return Result(m_pEngine->SetMute(line.dwLineID, mute));
}
