// The audio sink a preview or a click sound plays through: the default
// output device, or a clock-paced fakesink when nothing can be heard (a
// headless display or a machine without a sound card).
#pragma once

// GStreamer's element type, declared here so that this header mixes with the
// platform headers (GLib defines TRUE and FALSE as macros).
typedef struct _GstElement GstElement;

namespace plat::media {

// True when audio should go to a fakesink.
bool AudioOutputSilent();
// A new, floating sink element; null only when GStreamer lacks both.
GstElement* MakeAudioSink();

}  // namespace plat::media
