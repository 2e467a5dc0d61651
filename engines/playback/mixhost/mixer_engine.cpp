#include "engines/playback/mixhost/mixer_engine.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <strings.h>

#include "platform/sys/last_error.h"
#include "platform/win/message.h"
#include "platform/win/window.h"

using namespace plat;

namespace {

constexpr DWORD kFullScale = 65535;
constexpr DWORD kWaveInType = MIXERLINE_COMPONENTTYPE_DST_WAVEIN;
constexpr DWORD kSpeakersType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;

bool IsSingleSelect(DWORD type) { return type < MIXERCONTROL_CONTROLTYPE_MULTIPLESELECT; }

bool EqualsIgnoringCase(const char* a, const char* b) { return strcasecmp(a, b) == 0; }

}  // namespace

CMixerEngine::CMixerEngine() {
  CreateCallbackWindow();
  Open(0, nullptr);
}

CMixerEngine::~CMixerEngine() {
  Close();
  if (m_hCallbackWnd) {
    SetWindowLongPtr(m_hCallbackWnd, GWLP_USERDATA, 0);
    DestroyWindow(m_hCallbackWnd);
  }
}

void CMixerEngine::CreateCallbackWindow() {
  WNDCLASS wc;
  wc.lpfnWndProc = &CMixerEngine::CallbackWndProc;
  wc.lpszClassName = kCallbackWindowClass;
  if (!RegisterClass(&wc)) {
    const DWORD error = GetLastError();
    if (error != ERROR_CLASS_ALREADY_EXISTS) {
      std::fprintf(stderr, "Error: the mixer's callback window class cannot be registered (error %u)\n",
                   static_cast<unsigned>(error));
      return;
    }
  }
  m_hCallbackWnd = CreateWindowEx(0, kCallbackWindowClass, kCallbackWindowClass, kCallbackWindowStyle, 0, 0, 10, 10,
                                  nullptr, nullptr, nullptr, nullptr);
  if (!m_hCallbackWnd) return;
  SetWindowLongPtr(m_hCallbackWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowPos(m_hCallbackWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

LRESULT CMixerEngine::CallbackWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CREATE) return 0;
  if (msg == MM_MIXM_LINE_CHANGE || msg == MM_MIXM_CONTROL_CHANGE) {
    // The engine that owns this window, never some other one.
    auto* engine = reinterpret_cast<CMixerEngine*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
    if (engine && engine->m_hNotifyWnd && IsWindow(engine->m_hNotifyWnd)) {
      SendMessage(engine->m_hNotifyWnd, MM_MIXM_LINE_CHANGE, wParam, lParam);
    }
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

MMRESULT CMixerEngine::ReadDevice(HMIXER mixer, UINT device, std::vector<DestinationRecord>* out) {
  MIXERCAPSA caps;
  if (MMRESULT err = mixerGetDevCapsA(device, &caps)) return err;
  std::vector<DestinationRecord> destinations;
  for (DWORD d = 0; d < caps.cDestinations; ++d) {
    DestinationRecord dest;
    dest.line.dwDestination = d;
    if (MMRESULT err = mixerGetLineInfoA(mixer, &dest.line, MIXER_GETLINEINFOF_DESTINATION)) return err;
    dest.typeName = LineTypeName(dest.line.dwComponentType);
    if (MMRESULT err = mixerGetLineControlsA(mixer, dest.line.dwLineID, &dest.controls)) return err;
    for (DWORD s = 0; s < dest.line.cConnections; ++s) {
      SourceRecord src;
      src.line.dwDestination = d;
      src.line.dwSource = s;
      if (MMRESULT err = mixerGetLineInfoA(mixer, &src.line, MIXER_GETLINEINFOF_SOURCE)) return err;
      src.typeName = LineTypeName(src.line.dwComponentType);
      if (MMRESULT err = mixerGetLineControlsA(mixer, src.line.dwLineID, &src.controls)) return err;
      dest.sources.push_back(std::move(src));
    }
    destinations.push_back(std::move(dest));
  }
  *out = std::move(destinations);
  return MMSYSERR_NOERROR;
}

MMRESULT CMixerEngine::Open(UINT device, HWND notifyWindow) {
  const UINT count = mixerGetNumDevs();
  if (count == 0) return MMSYSERR_NODRIVER;
  if (device >= count) return MMSYSERR_BADDEVICEID;

  MixerNoticeCallback notify;
  if (HWND window = m_hCallbackWnd) {
    notify = [window](UINT msg, HMIXER mixer, DWORD id) {
      PostMessage(window, msg, reinterpret_cast<WPARAM>(mixer), static_cast<LPARAM>(id));
    };
  }
  HMIXER mixer = nullptr;
  if (MMRESULT err = mixerOpen(&mixer, device, std::move(notify))) return err;
  std::vector<DestinationRecord> destinations;
  if (MMRESULT err = ReadDevice(mixer, device, &destinations)) {
    // The new handle goes; the device open before stays as it was.
    mixerClose(mixer);
    return err;
  }
  Close();
  m_hMixer = mixer;
  m_destinations = std::move(destinations);
  m_uDevice = device;
  m_hNotifyWnd = notifyWindow;
  return MMSYSERR_NOERROR;
}

int CMixerEngine::SelectDevice(UINT index) { return Open(index, m_hNotifyWnd) == MMSYSERR_NOERROR ? 1 : 0; }

int CMixerEngine::SetNotifyWindow(HWND window) { return Open(m_uDevice, window) == MMSYSERR_NOERROR ? 1 : 0; }

void CMixerEngine::Close() {
  if (m_hMixer) mixerClose(m_hMixer);
  m_hMixer = nullptr;
  m_destinations.clear();
}

int CMixerEngine::GetDeviceName(UINT index, char* buffer) {
  if (index >= mixerGetNumDevs()) return 0;
  MIXERCAPSA caps;
  if (mixerGetDevCapsA(index, &caps) != MMSYSERR_NOERROR) return 0;
  if (caps.cDestinations == 0) return 0;
  if (buffer) std::memcpy(buffer, caps.szPname, sizeof caps.szPname);
  return 1;
}

int CMixerEngine::GetDestination(DWORD index, MIXERLINEA* line) {
  if (!m_hMixer || !line) return 0;
  *line = MIXERLINEA{};
  line->dwDestination = index;
  return mixerGetLineInfoA(m_hMixer, line, MIXER_GETLINEINFOF_DESTINATION) == MMSYSERR_NOERROR ? 1 : 0;
}

int CMixerEngine::GetSource(DWORD destination, DWORD index, MIXERLINEA* line) {
  if (!m_hMixer || !line) return 0;
  *line = MIXERLINEA{};
  line->dwDestination = destination;
  line->dwSource = index;
  return mixerGetLineInfoA(m_hMixer, line, MIXER_GETLINEINFOF_SOURCE) == MMSYSERR_NOERROR ? 1 : 0;
}

const std::vector<MIXERCONTROLA>* CMixerEngine::LineControls(DWORD lineId, DWORD* channels) const {
  for (const DestinationRecord& dest : m_destinations) {
    if (dest.line.dwLineID == lineId) {
      if (channels) *channels = dest.line.cChannels;
      return &dest.controls;
    }
    for (const SourceRecord& src : dest.sources) {
      if (src.line.dwLineID == lineId) {
        if (channels) *channels = src.line.cChannels;
        return &src.controls;
      }
    }
  }
  return nullptr;
}

const MIXERCONTROLA* CMixerEngine::Control(DWORD controlId) const {
  auto search = [controlId](const std::vector<MIXERCONTROLA>& controls) -> const MIXERCONTROLA* {
    for (const MIXERCONTROLA& c : controls) {
      if (c.dwControlID == controlId) return &c;
    }
    return nullptr;
  };
  for (const DestinationRecord& dest : m_destinations) {
    if (const MIXERCONTROLA* c = search(dest.controls)) return c;
    for (const SourceRecord& src : dest.sources) {
      if (const MIXERCONTROLA* c = search(src.controls)) return c;
    }
  }
  return nullptr;
}

MMRESULT CMixerEngine::FindControlOfType(DWORD lineId, DWORD type, const MIXERCONTROLA** control,
                                         DWORD* channels) const {
  const std::vector<MIXERCONTROLA>* controls = LineControls(lineId, channels);
  if (!controls) return MIXERR_INVALLINE;
  auto it = std::find_if(controls->begin(), controls->end(),
                         [type](const MIXERCONTROLA& c) { return c.dwControlType == type; });
  if (it == controls->end()) return MIXERR_INVALCONTROL;
  *control = &*it;
  return MMSYSERR_NOERROR;
}

MMRESULT CMixerEngine::ReadFirstItem(DWORD lineId, DWORD type, DWORD* value) {
  if (!m_hMixer) return MMSYSERR_NODRIVER;
  if (!value) return MMSYSERR_INVALPARAM;
  const MIXERCONTROLA* control = nullptr;
  DWORD channels = 1;
  if (MMRESULT err = FindControlOfType(lineId, type, &control, &channels)) return err;
  MIXERCONTROLDETAILS details;
  details.dwControlID = control->dwControlID;
  details.cChannels = 1;
  if (MMRESULT err = mixerGetControlDetailsA(m_hMixer, &details, MIXER_GETCONTROLDETAILSF_VALUE)) return err;
  if (details.values.empty()) return MMSYSERR_ERROR;
  *value = details.values.front();
  return MMSYSERR_NOERROR;
}

MMRESULT CMixerEngine::WriteEveryItem(DWORD lineId, DWORD type, DWORD value) {
  if (!m_hMixer) return MMSYSERR_NODRIVER;
  const MIXERCONTROLA* control = nullptr;
  DWORD channels = 1;
  if (MMRESULT err = FindControlOfType(lineId, type, &control, &channels)) return err;
  MIXERCONTROLDETAILS details;
  details.dwControlID = control->dwControlID;
  // One item per channel for a control that keeps channels apart, else one
  // item that stands for all of them.
  details.cChannels = (control->fdwControl & MIXERCONTROL_CONTROLF_MULTIPLE) ? std::max<DWORD>(channels, 1) : 1;
  details.values.assign(details.cChannels, value);
  return mixerSetControlDetails(m_hMixer, &details, MIXER_SETCONTROLDETAILSF_VALUE);
}

MMRESULT CMixerEngine::GetVolume(DWORD lineId, float* volume) {
  if (!m_hMixer) return MMSYSERR_NODRIVER;
  if (!volume) return MMSYSERR_INVALPARAM;
  DWORD value = 0;
  if (MMRESULT err = ReadFirstItem(lineId, MIXERCONTROL_CONTROLTYPE_VOLUME, &value)) return err;
  *volume = static_cast<float>(value) * (1.0f / static_cast<float>(kFullScale));
  return MMSYSERR_NOERROR;
}

MMRESULT CMixerEngine::SetVolume(DWORD lineId, float volume) {
  // Out-of-range volumes (and NaN) are held to 0..1 before the conversion,
  // which would be undefined for them.
  if (!(volume >= 0.0f)) volume = 0.0f;
  if (volume > 1.0f) volume = 1.0f;
  const auto value = static_cast<DWORD>(volume * static_cast<float>(kFullScale));
  return WriteEveryItem(lineId, MIXERCONTROL_CONTROLTYPE_VOLUME, value);
}

MMRESULT CMixerEngine::GetMute(DWORD lineId, int* mute) {
  if (!m_hMixer) return MMSYSERR_NODRIVER;
  if (!mute) return MMSYSERR_INVALPARAM;
  DWORD value = 0;
  if (MMRESULT err = ReadFirstItem(lineId, MIXERCONTROL_CONTROLTYPE_MUTE, &value)) return err;
  *mute = value != 0 ? 1 : 0;
  return MMSYSERR_NOERROR;
}

MMRESULT CMixerEngine::SetMute(DWORD lineId, int mute) {
  return WriteEveryItem(lineId, MIXERCONTROL_CONTROLTYPE_MUTE, mute ? 1 : 0);
}

MMRESULT CMixerEngine::FindControlOfClass(DWORD lineId, DWORD controlClass, DWORD* controlId) {
  if (!m_hMixer) return MMSYSERR_NODRIVER;
  if (!controlId) return MMSYSERR_INVALPARAM;
  const std::vector<MIXERCONTROLA>* controls = LineControls(lineId, nullptr);
  if (!controls) return MIXERR_INVALLINE;
  for (const MIXERCONTROLA& c : *controls) {
    if ((c.dwControlType & MIXERCONTROL_CT_CLASS_MASK) == controlClass) {
      *controlId = c.dwControlID;
      return MMSYSERR_NOERROR;
    }
  }
  return MIXERR_INVALCONTROL;
}

MMRESULT CMixerEngine::SelectListItem(DWORD controlId, DWORD index, int select) {
  if (!m_hMixer) return MMSYSERR_NODRIVER;
  const MIXERCONTROLA* control = Control(controlId);
  if (!control) return MIXERR_INVALCONTROL;
  MIXERCONTROLDETAILS details;
  details.dwControlID = controlId;
  details.cMultipleItems = control->cMultipleItems;
  if (MMRESULT err = mixerGetControlDetailsA(m_hMixer, &details, MIXER_GETCONTROLDETAILSF_VALUE)) return err;
  std::vector<DWORD>& items = details.values;
  if (index >= items.size()) return MMSYSERR_INVALPARAM;
  if (IsSingleSelect(control->dwControlType)) {
    std::fill(items.begin(), items.end(), 0);
    items[select ? index : (index + 1) % items.size()] = 1;
  } else {
    items[index] = select ? 1 : 0;
  }
  return mixerSetControlDetails(m_hMixer, &details, MIXER_SETCONTROLDETAILSF_VALUE);
}

MMRESULT CMixerEngine::SelectListItemByName(DWORD controlId, const char* name, int select) {
  if (!m_hMixer) return MMSYSERR_NODRIVER;
  if (!name) return MMSYSERR_INVALPARAM;
  if (!Control(controlId)) return MIXERR_INVALCONTROL;
  MIXERCONTROLDETAILS texts;
  texts.dwControlID = controlId;
  if (MMRESULT err = mixerGetControlDetailsA(m_hMixer, &texts, MIXER_GETCONTROLDETAILSF_LISTTEXT)) return err;
  for (std::size_t i = 0; i < texts.listTexts.size(); ++i) {
    if (EqualsIgnoringCase(texts.listTexts[i].szName, name)) {
      return SelectListItem(controlId, static_cast<DWORD>(i), select);
    }
  }
  return MIXERR_INVALCONTROL;
}

const CMixerEngine::DestinationRecord* CMixerEngine::DestinationOfType(DWORD componentType) const {
  for (const DestinationRecord& dest : m_destinations) {
    if (dest.line.dwComponentType == componentType) return &dest;
  }
  return nullptr;
}

MMRESULT CMixerEngine::SelectRecordingSource(DWORD lineId, int select) {
  if (!m_hMixer) return MMSYSERR_NODRIVER;
  const DestinationRecord* dest = DestinationOfType(kWaveInType);
  if (!dest) return MIXERR_INVALLINE;
  if (lineId == dest->line.dwLineID) return SetMute(lineId, select ? 0 : 1);
  auto src = std::find_if(dest->sources.begin(), dest->sources.end(),
                          [lineId](const SourceRecord& s) { return s.line.dwLineID == lineId; });
  if (src == dest->sources.end()) return MIXERR_INVALLINE;
  DWORD list = 0;
  if (FindControlOfClass(dest->line.dwLineID, MIXERCONTROL_CT_CLASS_LIST, &list) == MMSYSERR_NOERROR) {
    const std::string name = src->line.szName;  // the cache may be read again below
    return SelectListItemByName(list, name.c_str(), select);
  }
  return SetMute(lineId, select ? 0 : 1);
}

MMRESULT CMixerEngine::SelectedLinesOf(DWORD componentType, std::vector<DWORD>* lines) {
  if (!m_hMixer) return MMSYSERR_NODRIVER;
  if (!lines) return MMSYSERR_INVALPARAM;
  lines->clear();
  const DestinationRecord* dest = DestinationOfType(componentType);
  if (!dest) return MIXERR_INVALLINE;

  // Names of the set items of the destination's boolean list controls.
  std::vector<std::string> chosen;
  for (const MIXERCONTROLA& c : dest->controls) {
    if ((c.dwControlType & MIXERCONTROL_CT_CLASS_MASK) != MIXERCONTROL_CT_CLASS_LIST) continue;
    if ((c.dwControlType & MIXERCONTROL_CT_UNITS_MASK) != MIXERCONTROL_CT_UNITS_BOOLEAN) continue;
    MIXERCONTROLDETAILS values;
    values.dwControlID = c.dwControlID;
    MIXERCONTROLDETAILS texts = values;
    if (mixerGetControlDetailsA(m_hMixer, &values, MIXER_GETCONTROLDETAILSF_VALUE) != MMSYSERR_NOERROR) continue;
    if (mixerGetControlDetailsA(m_hMixer, &texts, MIXER_GETCONTROLDETAILSF_LISTTEXT) != MMSYSERR_NOERROR) continue;
    for (std::size_t i = 0; i < values.values.size() && i < texts.listTexts.size(); ++i) {
      if (values.values[i]) chosen.emplace_back(texts.listTexts[i].szName);
    }
  }
  for (const SourceRecord& src : dest->sources) {
    const bool named = std::any_of(chosen.begin(), chosen.end(),
                                   [&](const std::string& n) { return EqualsIgnoringCase(n.c_str(), src.line.szName); });
    int mute = 1;
    const bool unmuted = GetMute(src.line.dwLineID, &mute) == MMSYSERR_NOERROR && mute == 0;
    if (named || unmuted) lines->push_back(src.line.dwLineID);
  }
  return MMSYSERR_NOERROR;
}

MMRESULT CMixerEngine::GetSelectedRecordingLines(std::vector<DWORD>* lines) { return SelectedLinesOf(kWaveInType, lines); }

MMRESULT CMixerEngine::GetSelectedSpeakerLines(std::vector<DWORD>* lines) { return SelectedLinesOf(kSpeakersType, lines); }

int CMixerEngine::IsLineSelected(DWORD lineId) {
  std::vector<DWORD> lines;
  if (GetSelectedRecordingLines(&lines) != MMSYSERR_NOERROR) return 0;
  return std::find(lines.begin(), lines.end(), lineId) != lines.end() ? 1 : 0;
}

const char* CMixerEngine::LineTypeName(DWORD componentType) {
  static constexpr const char* kDestinations[] = {
      "(Dest)-Undefined", "(Dest)-Digital",    "(Dest)-Line",      "(Dest)-Monitor",   "(Dest)-Speakers",
      "(Dest)-Headphones", "(Dest)-Telephone", "(Dest)-WaveInput", "(Dest)-VoiceInput"};
  static constexpr const char* kSources[] = {
      "(Src)-Undefined",  "(Src)-Digital",   "(Src)-Line",       "(Src)-Microphone", "(Src)-Synthesizer", "(Src)-CompactDisc",
      "(Src)-Telephone",  "(Src)-PCSpeaker", "(Src)-WaveOutput", "(Src)-Auxiliary",  "(Src)-Analog"};
  if (componentType < std::size(kDestinations)) return kDestinations[componentType];
  if (componentType >= MIXERLINE_COMPONENTTYPE_SRC_FIRST &&
      componentType - MIXERLINE_COMPONENTTYPE_SRC_FIRST < std::size(kSources)) {
    return kSources[componentType - MIXERLINE_COMPONENTTYPE_SRC_FIRST];
  }
  return "NOT VALID";
}

MMRESULT CMixerEngine::CopyLineTypeName(DWORD componentType, char* buffer, std::size_t size) {
  if (!buffer || size < kLineTypeNameChars) return MMSYSERR_INVALPARAM;
  std::snprintf(buffer, size, "%s", LineTypeName(componentType));
  return MMSYSERR_NOERROR;
}
