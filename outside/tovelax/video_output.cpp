#include "outside/tovelax/video_output.h"

#include <gst/app/gstappsink.h>
#include <gst/video/video.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <string_view>

#include "outside/tovelax/start_clock.h"

namespace tovelax {
namespace {

// The state of one video output: where frames go, and the first frame after
// a start or a time reset, shown as soon as it arrives.
struct VideoOutState {
  const FrameCallback* onFrame;
  std::mutex mutex;
  bool showNext = true;                   // the next buffer is shown on arrival
  const GstBuffer* shownEarly = nullptr;  // and its own turn is skipped
};

// Copies a BGRA buffer into a frame for the client.
std::shared_ptr<VideoFrame> FrameFromBuffer(GstBuffer* buffer, GstCaps* caps) {
  GstVideoInfo info;
  GstVideoFrame mapped;
  if (!buffer || !caps || !gst_video_info_from_caps(&info, caps) ||
      !gst_video_frame_map(&mapped, &info, buffer, GST_MAP_READ))
    return nullptr;
  auto frame = std::make_shared<VideoFrame>();
  frame->width = static_cast<std::uint32_t>(GST_VIDEO_FRAME_WIDTH(&mapped));
  frame->height = static_cast<std::uint32_t>(GST_VIDEO_FRAME_HEIGHT(&mapped));
  frame->stride = frame->width * 4;
  frame->timestampNs = GST_BUFFER_PTS_IS_VALID(buffer) ? static_cast<std::int64_t>(GST_BUFFER_PTS(buffer)) : -1;
  frame->pixels.resize(std::size_t{frame->stride} * frame->height);
  const auto* source = static_cast<const std::uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&mapped, 0));
  const std::size_t sourceStride = static_cast<std::size_t>(GST_VIDEO_FRAME_PLANE_STRIDE(&mapped, 0));
  for (std::uint32_t row = 0; row < frame->height; ++row)
    std::memcpy(frame->pixels.data() + std::size_t{row} * frame->stride, source + row * sourceStride, frame->stride);
  gst_video_frame_unmap(&mapped);
  return frame;
}

GstFlowReturn OnNewSample(GstAppSink* sink, gpointer data) {
  auto* state = static_cast<VideoOutState*>(data);
  GstSample* sample = gst_app_sink_pull_sample(sink);
  if (!sample) return GST_FLOW_OK;
  GstBuffer* buffer = gst_sample_get_buffer(sample);
  bool shown;
  {
    std::lock_guard lock(state->mutex);
    shown = buffer && buffer == state->shownEarly;
    state->shownEarly = nullptr;
  }
  if (!shown) {
    if (auto frame = FrameFromBuffer(buffer, gst_sample_get_caps(sample)); frame && *state->onFrame)
      (*state->onFrame)(std::move(frame));
  }
  gst_sample_unref(sample);
  return GST_FLOW_OK;
}

// Before the sink waits for a buffer's time: the first buffer after a start
// or a time reset goes to the client at once, as a sink shows its preroll
// frame; the sink then skips it when its time comes.
GstPadProbeReturn ShowFirstAtOnce(GstPad* pad, GstPadProbeInfo* info, gpointer data) {
  auto* state = static_cast<VideoOutState*>(data);
  if (info->type & GST_PAD_PROBE_TYPE_EVENT_FLUSH) {
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    gboolean resetTime = FALSE;
    if (GST_EVENT_TYPE(event) == GST_EVENT_FLUSH_STOP) gst_event_parse_flush_stop(event, &resetTime);
    std::lock_guard lock(state->mutex);
    state->shownEarly = nullptr;
    if (resetTime) state->showNext = true;
    return GST_PAD_PROBE_OK;
  }
  GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
  {
    std::lock_guard lock(state->mutex);
    if (!buffer || !state->showNext) return GST_PAD_PROBE_OK;
    state->showNext = false;
  }
  GstCaps* caps = gst_pad_get_current_caps(pad);
  auto frame = FrameFromBuffer(buffer, caps);
  if (caps) gst_caps_unref(caps);
  if (!frame || !*state->onFrame) return GST_PAD_PROBE_OK;
  {
    std::lock_guard lock(state->mutex);
    state->shownEarly = buffer;
  }
  (*state->onFrame)(std::move(frame));
  return GST_PAD_PROBE_OK;
}

}  // namespace

bool EnsureGstreamer() {
  static std::once_flag once;
  static bool ok = false;
  std::call_once(once, [] { ok = gst_init_check(nullptr, nullptr, nullptr); });
  return ok;
}

std::string MissingElements(std::initializer_list<const char*> names) {
  std::string missing;
  for (const char* name : names) {
    GstElementFactory* factory = gst_element_factory_find(name);
    if (factory) {
      gst_object_unref(factory);
      continue;
    }
    if (!missing.empty()) missing += ' ';
    missing += name;
  }
  return missing;
}

GstElement* MakeVideoOutputBin(const FrameCallback* onFrame, GstElement** balance) {
  GstElement* bin = gst_bin_new(nullptr);
  GstElement* queue = gst_element_factory_make("queue", nullptr);
  GstElement* convertIn = gst_element_factory_make("videoconvert", nullptr);
  GstElement* balancer = gst_element_factory_make("videobalance", nullptr);
  GstElement* convertOut = gst_element_factory_make("videoconvert", nullptr);
  GstElement* sink = gst_element_factory_make("appsink", nullptr);
  gst_bin_add_many(GST_BIN(bin), queue, convertIn, balancer, convertOut, sink, nullptr);
  GstCaps* caps = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGRA", nullptr);
  gst_element_link_many(queue, convertIn, balancer, convertOut, nullptr);
  gst_element_link_filtered(convertOut, sink, caps);
  gst_caps_unref(caps);
  // Not async: after a flush (a jump on the disc) the sinks go on at once
  // instead of waiting for every stream to preroll again, which a stream
  // that has stopped flowing would never do.
  g_object_set(sink, "sync", TRUE, "async", FALSE, "max-buffers", 2u, "drop", FALSE, "qos", TRUE, nullptr);
  auto state = std::make_unique<VideoOutState>();
  state->onFrame = onFrame;
  GstPad* sinkPad = gst_element_get_static_pad(sink, "sink");
  gst_pad_add_probe(sinkPad, static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_FLUSH),
                    ShowFirstAtOnce, state.get(), nullptr);
  gst_object_unref(sinkPad);
  StartClockAtFirstBuffer(sink);
  GstAppSinkCallbacks callbacks{};
  callbacks.new_sample = OnNewSample;
  // The sink owns the state; its probes and callbacks end with it.
  gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, state.release(),
                             [](gpointer data) { delete static_cast<VideoOutState*>(data); });
  GstPad* pad = gst_element_get_static_pad(queue, "sink");
  gst_element_add_pad(bin, gst_ghost_pad_new("sink", pad));
  gst_object_unref(pad);
  *balance = balancer;
  return bin;
}

GstElement* MakeAudioSink(bool discard) {
  GstElement* sink = nullptr;
  if (!discard) sink = gst_element_factory_make("autoaudiosink", nullptr);
  if (!sink) sink = gst_element_factory_make("fakesink", nullptr);
  for (const char* name : {"sync", "async"}) {
    if (g_object_class_find_property(G_OBJECT_GET_CLASS(sink), name))
      g_object_set(sink, name, std::string_view(name) == "sync" ? TRUE : FALSE, nullptr);
  }
  StartClockAtFirstBuffer(sink);
  return sink;
}

void ApplyColorControls(GstElement* balance, const ColorControls& c) {
  if (!balance) return;
  // Map the library's ranges onto videobalance's: brightness 750 and contrast,
  // saturation 10000 are neutral.
  const double brightness =
      std::clamp(c.brightness < 750 ? (c.brightness - 750) / 750.0 : (c.brightness - 750) / 9250.0, -1.0, 1.0);
  const double contrast = std::clamp(c.contrast / 10000.0, 0.0, 2.0);
  const double hue = std::clamp(c.hue / 180.0, -1.0, 1.0);
  const double saturation = std::clamp(c.saturation / 10000.0, 0.0, 2.0);
  g_object_set(balance, "brightness", brightness, "contrast", contrast, "hue", hue, "saturation", saturation,
               nullptr);
}

}  // namespace tovelax
