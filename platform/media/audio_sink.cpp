#include "platform/media/audio_sink.h"

#include <fstream>
#include <string>

#include "platform/display/display.h"
// GStreamer after the platform headers: GLib defines TRUE and FALSE.
#include "platform/media/gstreamer.h"

namespace plat::media {
namespace {

// ALSA lists its cards here; "--- no soundcards ---" or no file means none.
bool HaveSoundCard() {
  std::ifstream cards("/proc/asound/cards");
  std::string line;
  if (!std::getline(cards, line)) return false;
  return line.find("no soundcards") == std::string::npos;
}

}  // namespace

bool AudioOutputSilent() {
  const bool headless = plat::display::CurrentHeadless() != nullptr || plat::display::CurrentBackend() == nullptr;
  return headless || !HaveSoundCard();
}

GstElement* MakeAudioSink() {
  if (!InitializeGStreamer()) return nullptr;
  if (!AudioOutputSilent()) {
    if (GstElement* sink = gst_element_factory_make("autoaudiosink", nullptr)) return sink;
  }
  GstElement* sink = gst_element_factory_make("fakesink", nullptr);
  if (sink) g_object_set(sink, "sync", TRUE, nullptr);
  return sink;
}

}  // namespace plat::media
