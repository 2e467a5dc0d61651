#include "engines/picture/slidedraw/slide_source.h"

#include <gst/gst.h>
#include <gst/app/gstappsink.h>
#include <gst/app/gstappsrc.h>

#include <algorithm>
#include <mutex>

namespace slidedraw {
namespace {

constexpr std::int64_t kNsPerUnit = 100;

bool EnsureGstreamer() {
  static std::once_flag once;
  static bool ok = false;
  std::call_once(once, [] { ok = gst_init_check(nullptr, nullptr, nullptr); });
  return ok;
}

// Keeps a composed picture alive for as long as a buffer wraps its pixels.
struct PictureHold {
  Picture picture;
};

void ReleaseHold(gpointer hold) { delete static_cast<PictureHold*>(hold); }

GstBusSyncReply BusMessage(GstBus*, GstMessage* message, gpointer self) {
  auto* source = static_cast<SlideSource*>(self);
  if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS && GST_MESSAGE_SRC(message) == GST_OBJECT(source->pipeline()))
    source->StreamEnded();
  if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) source->StreamFailed();
  return GST_BUS_DROP;  // nobody pops this bus: keep nothing
}

}  // namespace

SlideSource::SlideSource(SlideSourceListener& listener) : listener_(listener) {}

SlideSource::~SlideSource() {
  if (pipeline_) {
    gst_element_set_state(pipeline_, GST_STATE_NULL);
    if (GstBus* bus = gst_element_get_bus(pipeline_)) {
      gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
      gst_object_unref(bus);
    }
    gst_object_unref(pipeline_);
  }
}

bool SlideSource::Build() {
  if (pipeline_) return true;
  if (!EnsureGstreamer()) return false;
  GstElement* pipeline = gst_pipeline_new("slide-show");
  GstElement* src = gst_element_factory_make("appsrc", "slides");
  GstElement* sink = gst_element_factory_make("appsink", "screen");
  if (!pipeline || !src || !sink) {
    if (pipeline) gst_object_unref(pipeline);
    if (src) gst_object_unref(src);
    if (sink) gst_object_unref(sink);
    return false;
  }
  // One composed frame waits at most: a 4K frame is 33 MB.
  g_object_set(src, "format", GST_FORMAT_TIME, "stream-type", GST_APP_STREAM_TYPE_SEEKABLE, "is-live", FALSE,
               "max-buffers", static_cast<guint64>(1), "block", FALSE, nullptr);
  g_object_set(sink, "sync", TRUE, "max-buffers", 2u, "drop", FALSE, "emit-signals", FALSE, nullptr);
  gst_bin_add_many(GST_BIN(pipeline), src, sink, nullptr);
  if (!gst_element_link(src, sink)) {
    gst_object_unref(pipeline);
    return false;
  }
  GstAppSrcCallbacks srcCallbacks{};
  srcCallbacks.need_data = [](GstAppSrc*, guint, gpointer self) { static_cast<SlideSource*>(self)->Feed(); };
  srcCallbacks.seek_data = [](GstAppSrc*, guint64 offset, gpointer self) -> gboolean {
    static_cast<SlideSource*>(self)->SeekData(static_cast<std::int64_t>(offset / kNsPerUnit));
    return TRUE;
  };
  gst_app_src_set_callbacks(GST_APP_SRC(src), &srcCallbacks, this, nullptr);
  GstAppSinkCallbacks sinkCallbacks{};
  // Every sample is pulled: the end of the stream reaches the bus only then.
  sinkCallbacks.new_sample = [](GstAppSink* s, gpointer self) {
    static_cast<SlideSource*>(self)->TakeSample(gst_app_sink_pull_sample(s));
    return GST_FLOW_OK;
  };
  sinkCallbacks.new_preroll = [](GstAppSink* s, gpointer self) {
    static_cast<SlideSource*>(self)->TakeSample(gst_app_sink_pull_preroll(s));
    return GST_FLOW_OK;
  };
  gst_app_sink_set_callbacks(GST_APP_SINK(sink), &sinkCallbacks, this, nullptr);
  GstBus* bus = gst_element_get_bus(pipeline);
  gst_bus_set_sync_handler(bus, &BusMessage, this, nullptr);
  gst_object_unref(bus);
  pipeline_ = pipeline;
  appsrc_ = src;
  appsink_ = sink;
  std::lock_guard lock(mutex_);
  capsDirty_ = true;
  ApplyCapsLocked();
  return true;
}

bool SlideSource::InsertSlide(int index, const std::string& path) {
  std::lock_guard lock(mutex_);
  return timeline_.Insert(index, path);
}

bool SlideSource::RemoveSlide(int index) {
  std::lock_guard lock(mutex_);
  return timeline_.Remove(index);
}

bool SlideSource::SetEffect(int index, int effect) {
  std::lock_guard lock(mutex_);
  return timeline_.SetEffect(index, effect);
}

void SlideSource::SetSlideTime(std::int64_t units) {
  std::lock_guard lock(mutex_);
  timeline_.SetSlideTime(units);
}

void SlideSource::SetTransitionTime(std::int64_t units) {
  std::lock_guard lock(mutex_);
  timeline_.SetTransitionTime(units);
}

void SlideSource::SetFrameRate(int framesPerSecond) {
  std::lock_guard lock(mutex_);
  framesPerSecond_ = std::clamp(framesPerSecond, 1, 60);
  capsDirty_ = true;
}

int SlideSource::slideCount() const {
  std::lock_guard lock(mutex_);
  return timeline_.count();
}

std::int64_t SlideSource::Duration() const {
  std::lock_guard lock(mutex_);
  return timeline_.Duration();
}

void SlideSource::SetOutputSize(int width, int height) {
  width = std::clamp(width, 1, kMaxWidth);
  height = std::clamp(height, 1, kMaxHeight);
  std::lock_guard lock(mutex_);
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  capsDirty_ = true;
}

void SlideSource::ApplyCapsLocked() {
  if (!capsDirty_ || !appsrc_) return;
  composer_.SetSize(width_, height_);
  GstCaps* caps = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGRx", "width", G_TYPE_INT, width_,
                                      "height", G_TYPE_INT, height_, "framerate", GST_TYPE_FRACTION,
                                      framesPerSecond_, 1, "pixel-aspect-ratio", GST_TYPE_FRACTION, 1, 1, nullptr);
  gst_app_src_set_caps(GST_APP_SRC(appsrc_), caps);
  gst_caps_unref(caps);
  capsDirty_ = false;
}

void SlideSource::SeekData(std::int64_t units) {
  std::lock_guard lock(mutex_);
  nextPts_ = units;
}

void SlideSource::Feed() {
  std::unique_lock lock(mutex_);
  const std::int64_t duration = timeline_.Duration();
  if (nextPts_ >= duration) {
    lock.unlock();
    gst_app_src_end_of_stream(GST_APP_SRC(appsrc_));
    return;
  }
  ApplyCapsLocked();
  const std::int64_t pts = nextPts_;
  const Moment moment = timeline_.At(pts);
  const SlideTimeline snapshot = timeline_;  // composing runs unlocked
  std::int64_t length = moment.end - pts;
  if (moment.next >= 0) length = std::min(length, SlideTimeline::kUnitsPerSecond / framesPerSecond_);
  length = std::max<std::int64_t>(length, 1);
  nextPts_ = pts + length;
  lock.unlock();

  const Picture picture = composer_.Compose(snapshot, moment);
  const gsize bytes = static_cast<gsize>(picture->width()) * static_cast<gsize>(picture->height()) * 4;
  auto* hold = new PictureHold{picture};
  GstBuffer* buffer = gst_buffer_new_wrapped_full(
      GST_MEMORY_FLAG_READONLY, const_cast<std::uint32_t*>(picture->data()), bytes, 0, bytes, hold, &ReleaseHold);
  GST_BUFFER_PTS(buffer) = static_cast<GstClockTime>(pts * kNsPerUnit);
  GST_BUFFER_DURATION(buffer) = static_cast<GstClockTime>(length * kNsPerUnit);
  gst_app_src_push_buffer(GST_APP_SRC(appsrc_), buffer);
}

void SlideSource::TakeSample(GstSample* sample) {
  if (!sample) return;
  GstBuffer* buffer = gst_sample_get_buffer(sample);
  GstCaps* caps = gst_sample_get_caps(sample);
  int width = 0, height = 0;
  if (caps && gst_caps_get_size(caps) > 0) {
    const GstStructure* s = gst_caps_get_structure(caps, 0);
    gst_structure_get_int(s, "width", &width);
    gst_structure_get_int(s, "height", &height);
  }
  GstMapInfo map;
  if (buffer && width > 0 && height > 0 && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
    const gsize bytes = static_cast<gsize>(width) * static_cast<gsize>(height) * 4;
    if (map.size >= bytes) {
      auto copy = std::make_shared<plat::Surface>(width, height);
      std::copy_n(map.data, bytes, reinterpret_cast<std::uint8_t*>(copy->data()));
      std::lock_guard lock(mutex_);
      latest_.picture = std::move(copy);
      latest_.position = static_cast<std::int64_t>(GST_BUFFER_PTS(buffer)) / kNsPerUnit;
    }
    gst_buffer_unmap(buffer, &map);
    listener_.OnFramePublished();
  }
  gst_sample_unref(sample);
}

bool SlideSource::Preroll() {
  if (!pipeline_) return false;
  GstState current = GST_STATE_NULL;
  gst_element_get_state(pipeline_, &current, nullptr, 0);
  if (current >= GST_STATE_PAUSED || GST_STATE_TARGET(pipeline_) >= GST_STATE_PAUSED) return true;
  if (gst_element_set_state(pipeline_, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) return false;
  return gst_element_get_state(pipeline_, nullptr, nullptr, 10 * GST_SECOND) != GST_STATE_CHANGE_FAILURE;
}

bool SlideSource::Play() {
  if (!Preroll()) return false;
  return gst_element_set_state(pipeline_, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
}

bool SlideSource::Pause() {
  if (!Preroll()) return false;
  return gst_element_set_state(pipeline_, GST_STATE_PAUSED) != GST_STATE_CHANGE_FAILURE;
}

bool SlideSource::Stop() {
  if (!pipeline_) return false;
  const std::int64_t position = Position();
  const bool ok = gst_element_set_state(pipeline_, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE;
  std::lock_guard lock(mutex_);
  lastPosition_ = position;
  nextPts_ = 0;
  return ok;
}

StreamState SlideSource::TargetState(int waitMs) const {
  if (!pipeline_) return StreamState::kStopped;
  GstState current = GST_STATE_NULL;
  GstState pending = GST_STATE_VOID_PENDING;
  gst_element_get_state(pipeline_, &current, &pending, static_cast<GstClockTime>(waitMs) * GST_MSECOND);
  const GstState state = pending != GST_STATE_VOID_PENDING ? pending : current;
  if (state == GST_STATE_PLAYING) return StreamState::kPlaying;
  return state == GST_STATE_PAUSED ? StreamState::kPaused : StreamState::kStopped;
}

std::int64_t SlideSource::Position() const {
  gint64 ns = 0;
  if (pipeline_ && gst_element_query_position(pipeline_, GST_FORMAT_TIME, &ns) && ns >= 0)
    return ns / kNsPerUnit;
  std::lock_guard lock(mutex_);
  return lastPosition_;
}

bool SlideSource::Seek(std::int64_t units) {
  if (!pipeline_) return false;
  units = std::max<std::int64_t>(units, 0);
  if (!Preroll()) return false;
  const bool ok = gst_element_seek_simple(pipeline_, GST_FORMAT_TIME,
                                          static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                                          units * kNsPerUnit);
  if (ok) {
    std::lock_guard lock(mutex_);
    lastPosition_ = units;
  }
  return ok;
}

void SlideSource::PostError(const char* reason) {
  if (!pipeline_) return;
  GError* error = g_error_new_literal(GST_STREAM_ERROR, GST_STREAM_ERROR_FAILED, reason);
  gst_element_post_message(appsrc_, gst_message_new_error(GST_OBJECT(appsrc_), error, reason));
  g_error_free(error);
}

ShownFrame SlideSource::LatestFrame() const {
  std::lock_guard lock(mutex_);
  return latest_;
}

}  // namespace slidedraw
