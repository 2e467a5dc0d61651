// The audio inputs a recording can read from: the capture devices that
// GStreamer's device monitor lists as "Audio/Source", and the virtual inputs
// declared in the registry under
// HKEY_LOCAL_MACHINE\SoftWare\Kestrovia\Marivel\VirtualAudioInputs\<name>
// (a DWORD "Tone": a live sine tone of that many Hz; or a string "File": an
// audio file played in a loop at the clock's pace), with the virtual radio's
// line "<Name> Radio" when one is declared.
#pragma once

#include <functional>
#include <string>
#include <vector>

// GStreamer's element type, declared here so that this header mixes with the
// platform headers (GLib defines TRUE and FALSE as macros).
typedef struct _GstElement GstElement;

namespace plat::media {

struct AudioInput {
  // The ALSA card name for a device (the name the ALSA mixer backend gives
  // the same card; empty when it has none), the key name for a virtual input.
  std::string description;
  // The device's display name; the key name for a virtual input.
  std::string friendlyName;
  // Makes a new, floating source element that delivers the input's audio.
  std::function<GstElement*()> makeElement;
};

inline constexpr const char* kVirtualAudioInputsKey = "SoftWare\\Kestrovia\\Marivel\\VirtualAudioInputs";

// Virtual inputs first (in key order), then the devices.
std::vector<AudioInput> ListAudioInputs();
// The registry's virtual inputs alone.
std::vector<AudioInput> ReadVirtualAudioInputs();

}  // namespace plat::media
