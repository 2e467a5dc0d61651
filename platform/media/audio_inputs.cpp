#include "platform/media/audio_inputs.h"

#include <memory>

#include "platform/registry/registry.h"
// GStreamer after the platform headers: GLib defines TRUE and FALSE.
#include "platform/media/gstreamer.h"

namespace plat::media {
namespace {

GstElement* MakeTone(DWORD hertz) {
  GstElement* source = gst_element_factory_make("audiotestsrc", nullptr);
  if (source) g_object_set(source, "is-live", TRUE, "freq", static_cast<gdouble>(hertz), nullptr);
  return source;
}

std::vector<AudioInput> MonitoredDevices() {
  std::vector<AudioInput> inputs;
  GstDeviceMonitor* monitor = gst_device_monitor_new();
  gst_device_monitor_add_filter(monitor, "Audio/Source", nullptr);
  GList* devices = gst_device_monitor_get_devices(monitor);
  for (GList* item = devices; item; item = item->next) {
    auto* device = GST_DEVICE(item->data);
    AudioInput input;
    gchar* display = gst_device_get_display_name(device);
    input.friendlyName = display ? display : "";
    g_free(display);
    if (GstStructure* props = gst_device_get_properties(device)) {
      if (const gchar* card = gst_structure_get_string(props, "alsa.card_name")) input.description = card;
      gst_structure_free(props);
    }
    // The element is made later, from the device the list keeps alive.
    std::shared_ptr<GstDevice> held(GST_DEVICE(gst_object_ref(device)), [](GstDevice* d) { gst_object_unref(d); });
    input.makeElement = [held] { return gst_device_create_element(held.get(), nullptr); };
    inputs.push_back(std::move(input));
  }
  g_list_free_full(devices, gst_object_unref);
  gst_object_unref(monitor);
  return inputs;
}

}  // namespace

std::vector<AudioInput> ReadVirtualAudioInputs() {
  std::vector<AudioInput> inputs;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kVirtualAudioInputsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return inputs;
  for (DWORD index = 0;; ++index) {
    char name[256] = {};
    DWORD nameSize = sizeof(name);
    if (RegEnumKeyExA(key, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    HKEY sub = nullptr;
    if (RegOpenKeyExA(key, name, 0, KEY_READ, &sub) != ERROR_SUCCESS) continue;
    DWORD type = 0;
    DWORD hertz = 0;
    DWORD size = sizeof(hertz);
    const bool tone = RegQueryValueExA(sub, "Tone", nullptr, &type, reinterpret_cast<BYTE*>(&hertz), &size) ==
                          ERROR_SUCCESS &&
                      type == REG_DWORD && hertz > 0;
    RegCloseKey(sub);
    if (!tone) continue;
    AudioInput input;
    input.description = name;
    input.friendlyName = name;
    input.makeElement = [hertz] { return MakeTone(hertz); };
    inputs.push_back(std::move(input));
  }
  RegCloseKey(key);
  return inputs;
}

std::vector<AudioInput> ListAudioInputs() {
  std::vector<AudioInput> inputs = ReadVirtualAudioInputs();
  if (!InitializeGStreamer()) return inputs;
  for (AudioInput& device : MonitoredDevices()) inputs.push_back(std::move(device));
  return inputs;
}

}  // namespace plat::media
