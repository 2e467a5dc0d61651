// The audio mixer as the system's code sees it: numbered mixer devices, each
// with destination lines (speakers, wave input, ...), the source lines that
// feed each destination, and the controls of every line (volume, mute, the
// recording-source list). Values are read and written as arrays of 32-bit
// items, one per channel and list item. Results are the mixer's error codes.
//
// Underneath is a backend (platform/audio/mixer_backend.h): ALSA on a real
// machine, or an in-memory mixer for tests and machines without a card.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/core/types.h"

namespace plat {

struct HMIXER__;
using HMIXER = HMIXER__*;
using MMRESULT = UINT;

inline constexpr MMRESULT MMSYSERR_NOERROR = 0;
inline constexpr MMRESULT MMSYSERR_ERROR = 1;
inline constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
inline constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
inline constexpr MMRESULT MMSYSERR_NODRIVER = 6;
inline constexpr MMRESULT MMSYSERR_NOMEM = 7;
inline constexpr MMRESULT MMSYSERR_INVALFLAG = 10;
inline constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
inline constexpr MMRESULT MIXERR_INVALLINE = 1024;
inline constexpr MMRESULT MIXERR_INVALCONTROL = 1025;
inline constexpr MMRESULT MIXERR_INVALVALUE = 1026;

// Change notices, posted to the callback window given to mixerOpen with
// wParam the mixer handle and lParam the line or control id.
inline constexpr UINT MM_MIXM_LINE_CHANGE = 0x3D0;     // 976
inline constexpr UINT MM_MIXM_CONTROL_CHANGE = 0x3D1;  // 977

inline constexpr DWORD MAXPNAMELEN = 32;
inline constexpr DWORD MIXER_SHORT_NAME_CHARS = 16;
inline constexpr DWORD MIXER_LONG_NAME_CHARS = 64;

struct MIXERCAPSA {
  WORD wMid = 0;
  WORD wPid = 0;
  DWORD vDriverVersion = 0;
  char szPname[MAXPNAMELEN] = {};
  DWORD fdwSupport = 0;
  DWORD cDestinations = 0;
};

// Component types of lines.
inline constexpr DWORD MIXERLINE_COMPONENTTYPE_DST_FIRST = 0x0000;
inline constexpr DWORD MIXERLINE_COMPONENTTYPE_DST_UNDEFINED = 0x0000;
inline constexpr DWORD MIXERLINE_COMPONENTTYPE_DST_DIGITAL = 0x0001;
inline constexpr DWORD MIXERLINE_COMPONENTTYPE_DST_LINE = 0x0002;
inline constexpr DWORD MIXERLINE_COMPONENTTYPE_DST_MONITOR = 0x0003;
inline constexpr DWORD MIXERLINE_COMPONENTTYPE_DST_SPEAKERS = 0x0004;
inline constexpr DWORD MIXERLINE_COMPONENTTYPE_DST_HEADPHONES = 0x0005;
inline constexpr DWORD MIXERLINE_COMPONENTTYPE_DST_TELEPHONE = 0x0006;
inline constexpr DWORD MIXERLINE_COMPONENTTYPE_DST_WAVEIN = 0x0007;
inline constexpr DWORD MIXERLINE_COMPONENTTYPE_DST_VOICEIN = 0x0008;
inline constexpr DWORD MIXERLINE_COMPONENTTYPE_SRC_FIRST = 0x1000;
inline constexpr DWORD MIXERLINE_COMPONENTTYPE_SRC_UNDEFINED = 0x1000;
inline constexpr DWORD MIXERLINE_COMPONENTTYPE_SRC_DIGITAL = 0x1001;
inline constexpr DWORD MIXERLINE_COMPONENTTYPE_SRC_LINE = 0x1002;
inline constexpr DWORD MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE = 0x1003;
inline constexpr DWORD MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER = 0x1004;
inline constexpr DWORD MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC = 0x1005;
inline constexpr DWORD MIXERLINE_COMPONENTTYPE_SRC_TELEPHONE = 0x1006;
inline constexpr DWORD MIXERLINE_COMPONENTTYPE_SRC_PCSPEAKER = 0x1007;
inline constexpr DWORD MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT = 0x1008;
inline constexpr DWORD MIXERLINE_COMPONENTTYPE_SRC_AUXILIARY = 0x1009;
inline constexpr DWORD MIXERLINE_COMPONENTTYPE_SRC_ANALOG = 0x100A;

inline constexpr DWORD MIXERLINE_LINEF_ACTIVE = 0x00000001;
inline constexpr DWORD MIXERLINE_LINEF_SOURCE = 0x80000000;

struct MIXERLINEA {
  DWORD dwDestination = 0;
  DWORD dwSource = 0;
  DWORD dwLineID = 0;
  DWORD fdwLine = 0;
  DWORD dwComponentType = 0;
  DWORD cChannels = 0;
  DWORD cConnections = 0;  // sources of a destination
  DWORD cControls = 0;
  char szShortName[MIXER_SHORT_NAME_CHARS] = {};
  char szName[MIXER_LONG_NAME_CHARS] = {};
};

// mixerGetLineInfoA: which fields of the MIXERLINEA select the line.
inline constexpr DWORD MIXER_GETLINEINFOF_DESTINATION = 0;  // dwDestination
inline constexpr DWORD MIXER_GETLINEINFOF_SOURCE = 1;       // dwDestination, dwSource
inline constexpr DWORD MIXER_GETLINEINFOF_LINEID = 2;       // dwLineID

// Control types: class (top 4 bits), units and the type proper.
inline constexpr DWORD MIXERCONTROL_CT_CLASS_MASK = 0xF0000000;
inline constexpr DWORD MIXERCONTROL_CT_CLASS_SWITCH = 0x20000000;
inline constexpr DWORD MIXERCONTROL_CT_CLASS_FADER = 0x50000000;
inline constexpr DWORD MIXERCONTROL_CT_CLASS_LIST = 0x70000000;
inline constexpr DWORD MIXERCONTROL_CT_UNITS_MASK = 0x00FF0000;
inline constexpr DWORD MIXERCONTROL_CT_UNITS_BOOLEAN = 0x00010000;
inline constexpr DWORD MIXERCONTROL_CT_UNITS_UNSIGNED = 0x00030000;
inline constexpr DWORD MIXERCONTROL_CONTROLTYPE_MUTE = 0x20010002;
inline constexpr DWORD MIXERCONTROL_CONTROLTYPE_VOLUME = 0x50030001;
inline constexpr DWORD MIXERCONTROL_CONTROLTYPE_SINGLESELECT = 0x70010000;
inline constexpr DWORD MIXERCONTROL_CONTROLTYPE_MUX = 0x70010001;
inline constexpr DWORD MIXERCONTROL_CONTROLTYPE_MULTIPLESELECT = 0x71010000;
inline constexpr DWORD MIXERCONTROL_CONTROLTYPE_MIXER = 0x71010001;

inline constexpr DWORD MIXERCONTROL_CONTROLF_UNIFORM = 0x00000001;
inline constexpr DWORD MIXERCONTROL_CONTROLF_MULTIPLE = 0x00000002;

struct MIXERCONTROLA {
  DWORD dwControlID = 0;
  DWORD dwControlType = 0;
  DWORD fdwControl = 0;
  DWORD cMultipleItems = 0;  // list items of a list control
  char szShortName[MIXER_SHORT_NAME_CHARS] = {};
  char szName[MIXER_LONG_NAME_CHARS] = {};
  DWORD dwMinimum = 0;
  DWORD dwMaximum = 0;
};

// The text of one list item.
struct MIXERCONTROLDETAILS_LISTTEXTA {
  DWORD dwParam1 = 0;  // the line id the item stands for, when it stands for one
  DWORD dwParam2 = 0;
  char szName[MIXER_LONG_NAME_CHARS] = {};
};

// A control's values. For a list control there is one item per list entry
// (cMultipleItems of them); otherwise one per channel, or a single item that
// stands for every channel when cChannels is 1.
struct MIXERCONTROLDETAILS {
  DWORD dwControlID = 0;
  DWORD cChannels = 1;
  DWORD cMultipleItems = 0;
  std::vector<DWORD> values;                              // MIXER_GETCONTROLDETAILSF_VALUE
  std::vector<MIXERCONTROLDETAILS_LISTTEXTA> listTexts;   // MIXER_GETCONTROLDETAILSF_LISTTEXT
};

inline constexpr DWORD MIXER_GETCONTROLDETAILSF_VALUE = 0;
inline constexpr DWORD MIXER_GETCONTROLDETAILSF_LISTTEXT = 1;
inline constexpr DWORD MIXER_SETCONTROLDETAILSF_VALUE = 0;

// Receives a device's change notices (MM_MIXM_LINE_CHANGE or
// MM_MIXM_CONTROL_CHANGE, the handle, the line or control id). It runs on the
// thread whose message loop watches the device: never from inside a call that
// changed a value, so a receiver may call back into the mixer.
using MixerNoticeCallback = std::function<void(UINT msg, HMIXER mixer, DWORD id)>;

UINT mixerGetNumDevs();
MMRESULT mixerGetDevCapsA(UINT device, MIXERCAPSA* caps);
// `notify` may be empty: the handle then reports no changes.
MMRESULT mixerOpen(HMIXER* mixer, UINT device, MixerNoticeCallback notify);
MMRESULT mixerClose(HMIXER mixer);
MMRESULT mixerGetLineInfoA(HMIXER mixer, MIXERLINEA* line, DWORD flags);
// All controls of the line.
MMRESULT mixerGetLineControlsA(HMIXER mixer, DWORD lineId, std::vector<MIXERCONTROLA>* controls);
MMRESULT mixerGetControlDetailsA(HMIXER mixer, MIXERCONTROLDETAILS* details, DWORD flags);
MMRESULT mixerSetControlDetails(HMIXER mixer, const MIXERCONTROLDETAILS* details, DWORD flags);

// Delivers the change notices that are due (the backend's pending events) on
// the calling thread. The message loop's descriptor watch calls this; tests
// call it directly.
void mixerDeliverNotices();

}  // namespace plat
