#include "platform/media/audio_inputs.h"

#include <memory>

#include "platform/media/radio/virtual_radio.h"
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

// An audio file played over and over at the clock's pace, as one endless
// live input. At each end of the file the decoder seeks back to the start;
// the flush stays inside the bin and the pad offset carries the running time
// on, so what follows sees one unbroken stream.
struct FileLoop {
  GstElement* decoder = nullptr;  // owned by the bin
  GstSegment segment;
  GstClockTime offset = 0;
  GstClockTime lastEnd = 0;  // how far the current pass got, in stream time
};

void SeekToStart(GstElement* decoder, gpointer) {
  gst_element_seek_simple(decoder, GST_FORMAT_TIME, GST_SEEK_FLAG_FLUSH, 0);
}

GstPadProbeReturn Loop(GstPad* pad, GstPadProbeInfo* info, gpointer data) {
  auto* loop = static_cast<FileLoop*>(data);
  if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_BUFFER) {
    GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    if (buffer && GST_BUFFER_PTS_IS_VALID(buffer)) {
      GstClockTime end = GST_BUFFER_PTS(buffer);
      if (GST_BUFFER_DURATION_IS_VALID(buffer)) end += GST_BUFFER_DURATION(buffer);
      // Stream time: the pass's own length, whatever offset the segment
      // already carries.
      const guint64 streamTime = gst_segment_to_stream_time(&loop->segment, GST_FORMAT_TIME, end);
      if (streamTime != GST_CLOCK_TIME_NONE && streamTime > loop->lastEnd) loop->lastEnd = streamTime;
    }
    return GST_PAD_PROBE_OK;
  }
  GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
  switch (GST_EVENT_TYPE(event)) {
    case GST_EVENT_SEGMENT: {
      const GstSegment* segment = nullptr;
      gst_event_parse_segment(event, &segment);
      gst_segment_copy_into(segment, &loop->segment);
      return GST_PAD_PROBE_OK;
    }
    case GST_EVENT_FLUSH_START:
    case GST_EVENT_FLUSH_STOP:
      return GST_PAD_PROBE_DROP;
    case GST_EVENT_EOS:
      if (loop->lastEnd == 0) return GST_PAD_PROBE_OK;  // an empty file ends the input
      loop->offset += loop->lastEnd;
      loop->lastEnd = 0;
      gst_pad_set_offset(pad, static_cast<gint64>(loop->offset));
      gst_element_call_async(loop->decoder, SeekToStart, nullptr, nullptr);
      return GST_PAD_PROBE_DROP;
    default:
      return GST_PAD_PROBE_OK;
  }
}

void LinkDecoded(GstElement*, GstPad* pad, gpointer convert) {
  GstPad* sink = gst_element_get_static_pad(GST_ELEMENT(convert), "sink");
  if (!gst_pad_is_linked(sink)) {
    GstCaps* caps = gst_pad_get_current_caps(pad);
    const bool audio = caps && g_str_has_prefix(gst_structure_get_name(gst_caps_get_structure(caps, 0)), "audio/");
    if (caps) gst_caps_unref(caps);
    if (audio) gst_pad_link(pad, sink);
  }
  gst_object_unref(sink);
}

GstElement* MakeFileLoop(const std::string& path) {
  GstElement* bin = gst_bin_new(nullptr);
  GstElement* source = gst_element_factory_make("filesrc", nullptr);
  GstElement* decoder = gst_element_factory_make("decodebin", nullptr);
  GstElement* convert = gst_element_factory_make("audioconvert", nullptr);
  GstElement* resample = gst_element_factory_make("audioresample", nullptr);
  GstElement* pace = gst_element_factory_make("identity", nullptr);
  if (!source || !decoder || !convert || !resample || !pace) {
    for (GstElement* e : {source, decoder, convert, resample, pace}) {
      if (e) gst_object_unref(gst_object_ref_sink(e));
    }
    gst_object_unref(gst_object_ref_sink(bin));
    return nullptr;
  }
  g_object_set(source, "location", path.c_str(), nullptr);
  g_object_set(pace, "sync", TRUE, nullptr);
  gst_bin_add_many(GST_BIN(bin), source, decoder, convert, resample, pace, nullptr);
  gst_element_link(source, decoder);
  gst_element_link_many(convert, resample, pace, nullptr);
  g_signal_connect(decoder, "pad-added", G_CALLBACK(LinkDecoded), convert);
  auto* loop = new FileLoop;
  loop->decoder = decoder;
  gst_segment_init(&loop->segment, GST_FORMAT_TIME);
  GstPad* looped = gst_element_get_static_pad(resample, "src");
  gst_pad_add_probe(looped,
                    static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM |
                                                 GST_PAD_PROBE_TYPE_EVENT_FLUSH),
                    Loop, loop, [](gpointer data) { delete static_cast<FileLoop*>(data); });
  gst_object_unref(looped);
  GstPad* out = gst_element_get_static_pad(pace, "src");
  gst_element_add_pad(bin, gst_ghost_pad_new("src", out));
  gst_object_unref(out);
  return bin;
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

std::vector<AudioInput> ReadDeclaredInputs() {
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
    char file[4096] = {};
    DWORD fileSize = sizeof(file) - 1;
    const bool looped = !tone &&
                        RegQueryValueExA(sub, "File", nullptr, &type, reinterpret_cast<BYTE*>(file), &fileSize) ==
                            ERROR_SUCCESS &&
                        type == REG_SZ && file[0] != 0;
    RegCloseKey(sub);
    if (!tone && !looped) continue;
    AudioInput input;
    input.description = name;
    input.friendlyName = name;
    if (tone) {
      input.makeElement = [hertz] { return MakeTone(hertz); };
    } else {
      input.makeElement = [path = std::string(file)] { return MakeFileLoop(path); };
    }
    inputs.push_back(std::move(input));
  }
  RegCloseKey(key);
  return inputs;
}

}  // namespace

std::vector<AudioInput> ReadVirtualAudioInputs() {
  std::vector<AudioInput> inputs = ReadDeclaredInputs();
  // The virtual radio's line: it sounds whatever station the radio is tuned
  // to when the element is made and follows every later retune.
  if (auto radio = radio::SharedVirtualRadio()) {
    AudioInput input;
    input.description = radio::VirtualRadioInputName(radio->config());
    input.friendlyName = input.description;
    input.makeElement = [] {
      auto current = radio::SharedVirtualRadio();
      return current ? current->MakeAudioSource() : nullptr;
    };
    inputs.push_back(std::move(input));
  }
  return inputs;
}

std::vector<AudioInput> ListAudioInputs() {
  std::vector<AudioInput> inputs = ReadVirtualAudioInputs();
  if (!InitializeGStreamer()) return inputs;
  for (AudioInput& device : MonitoredDevices()) inputs.push_back(std::move(device));
  return inputs;
}

}  // namespace plat::media
