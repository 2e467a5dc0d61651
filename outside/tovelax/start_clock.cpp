#include "outside/tovelax/start_clock.h"

#include <memory>
#include <mutex>

namespace tovelax {
namespace {

constexpr const char* kStateKey = "tovelax-start-clock";

// Per pipeline: whether the next buffer at a marked sink starts the clock.
struct StartState {
  std::mutex mutex;
  bool armed = true;
};

// The top-level pipeline `element` is in (a new reference), or nullptr.
GstElement* PipelineOf(GstElement* element) {
  GstObject* top = GST_OBJECT(gst_object_ref(element));
  while (GstObject* parent = gst_object_get_parent(top)) {
    gst_object_unref(top);
    top = parent;
  }
  if (GST_IS_PIPELINE(top)) return GST_ELEMENT(top);
  gst_object_unref(top);
  return nullptr;
}

StartState& StateOf(GstElement* pipeline) {
  // Sinks on different streaming threads may ask first at once.
  static std::mutex creating;
  std::lock_guard lock(creating);
  auto* state = static_cast<StartState*>(g_object_get_data(G_OBJECT(pipeline), kStateKey));
  if (!state) {
    auto owned = std::make_unique<StartState>();
    state = owned.get();
    g_object_set_data_full(G_OBJECT(pipeline), kStateKey, owned.release(),
                           [](gpointer data) { delete static_cast<StartState*>(data); });
  }
  return *state;
}

// Sets the base time of the pipeline and of every element in it (elements
// read their own copy when they wait on the clock).
void SetBaseTime(GstElement* pipeline, GstClockTime base) {
  gst_element_set_base_time(pipeline, base);
  GstIterator* it = gst_bin_iterate_recurse(GST_BIN(pipeline));
  GValue item = G_VALUE_INIT;
  for (;;) {
    const GstIteratorResult result = gst_iterator_next(it, &item);
    if (result == GST_ITERATOR_OK) {
      gst_element_set_base_time(GST_ELEMENT(g_value_get_object(&item)), base);
      g_value_reset(&item);
    } else if (result == GST_ITERATOR_RESYNC) {
      gst_iterator_resync(it);
    } else {
      break;
    }
  }
  g_value_unset(&item);
  gst_iterator_free(it);
}

// Makes the running time `first` due now. While the pipeline is paused the
// start time is set instead: the base time is worked out from it on play.
void StartClockAt(GstElement* pipeline, GstClockTime first) {
  GstState state = GST_STATE_VOID_PENDING;
  gst_element_get_state(pipeline, &state, nullptr, 0);
  if (state != GST_STATE_PLAYING) {
    gst_element_set_start_time(pipeline, first);
    return;
  }
  GstClock* clock = gst_element_get_clock(pipeline);
  if (!clock) return;
  const GstClockTime now = gst_clock_get_time(clock);
  gst_object_unref(clock);
  if (now != GST_CLOCK_TIME_NONE && now >= first) SetBaseTime(pipeline, now - first);
}

GstPadProbeReturn OnSinkData(GstPad* pad, GstPadProbeInfo* info, gpointer data) {
  auto* sink = static_cast<GstElement*>(data);
  if (info->type & GST_PAD_PROBE_TYPE_EVENT_FLUSH) {
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    gboolean resetTime = FALSE;
    if (GST_EVENT_TYPE(event) == GST_EVENT_FLUSH_STOP) gst_event_parse_flush_stop(event, &resetTime);
    if (!resetTime) return GST_PAD_PROBE_OK;
    if (GstElement* pipeline = PipelineOf(sink)) {
      StartState& state = StateOf(pipeline);
      std::lock_guard lock(state.mutex);
      state.armed = true;
      gst_object_unref(pipeline);
    }
    return GST_PAD_PROBE_OK;
  }
  GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
  if (!buffer || !GST_BUFFER_PTS_IS_VALID(buffer)) return GST_PAD_PROBE_OK;
  GstElement* pipeline = PipelineOf(sink);
  if (!pipeline) return GST_PAD_PROBE_OK;
  StartState& state = StateOf(pipeline);
  std::lock_guard lock(state.mutex);
  if (state.armed) {
    if (GstEvent* event = gst_pad_get_sticky_event(pad, GST_EVENT_SEGMENT, 0)) {
      const GstSegment* segment = nullptr;
      gst_event_parse_segment(event, &segment);
      const GstClockTime first =
          segment->format == GST_FORMAT_TIME
              ? gst_segment_to_running_time(segment, GST_FORMAT_TIME, GST_BUFFER_PTS(buffer))
              : GST_CLOCK_TIME_NONE;
      if (first != GST_CLOCK_TIME_NONE) {
        StartClockAt(pipeline, first);
        state.armed = false;
      }
      gst_event_unref(event);
    }
  }
  gst_object_unref(pipeline);
  return GST_PAD_PROBE_OK;
}

}  // namespace

void StartClockAtFirstBuffer(GstElement* sink) {
  GstPad* pad = gst_element_get_static_pad(sink, "sink");
  if (!pad) return;
  // The sink outlives its own pad's probes: no reference is taken.
  gst_pad_add_probe(pad, static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_FLUSH),
                    OnSinkData, sink, nullptr);
  gst_object_unref(pad);
}

}  // namespace tovelax
