#include "engines/capture/radiodeck/radio_pipeline.h"

#include <sys/stat.h>
#include <unistd.h>

#include <condition_variable>
#include <mutex>

#include "platform/media/audio_sink.h"
#include "platform/media/gstreamer.h"

namespace radiodeck {
namespace {

// Rebases a branch's stream to start at 0: the first buffer's time is
// subtracted from every buffer, and the segment starts at 0, so files
// record their own length whenever the recording began.
struct Rebase {
  GstClockTime first = GST_CLOCK_TIME_NONE;
};

GstPadProbeReturn RebaseProbe(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto* rebase = static_cast<Rebase*>(data);
  if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_BUFFER) {
    GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    if (!GST_BUFFER_PTS_IS_VALID(buffer)) return GST_PAD_PROBE_OK;
    if (rebase->first == GST_CLOCK_TIME_NONE) rebase->first = GST_BUFFER_PTS(buffer);
    buffer = gst_buffer_make_writable(buffer);
    const GstClockTime pts = GST_BUFFER_PTS(buffer);
    GST_BUFFER_PTS(buffer) = pts > rebase->first ? pts - rebase->first : 0;
    GST_BUFFER_DTS(buffer) = GST_CLOCK_TIME_NONE;
    GST_PAD_PROBE_INFO_DATA(info) = buffer;
    return GST_PAD_PROBE_OK;
  }
  GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
  if (GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT) {
    GstSegment segment;
    gst_segment_init(&segment, GST_FORMAT_TIME);
    gst_event_unref(event);
    GST_PAD_PROBE_INFO_DATA(info) = gst_event_new_segment(&segment);
  }
  return GST_PAD_PROBE_OK;
}

struct EosWait {
  std::mutex mutex;
  std::condition_variable done;
  bool eos = false;
};

GstPadProbeReturn EosProbe(GstPad*, GstPadProbeInfo* info, gpointer data) {
  if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) == GST_EVENT_EOS) {
    auto* wait = static_cast<EosWait*>(data);
    std::lock_guard lock(wait->mutex);
    wait->eos = true;
    wait->done.notify_all();
  }
  return GST_PAD_PROBE_OK;
}

struct UnlinkWait {
  std::mutex mutex;
  std::condition_variable done;
  bool unlinked = false;
  GstPad* sinkPad = nullptr;
};

GstPadProbeReturn UnlinkProbe(GstPad* pad, GstPadProbeInfo*, gpointer data) {
  auto* wait = static_cast<UnlinkWait*>(data);
  std::lock_guard lock(wait->mutex);
  if (!wait->unlinked) {
    gst_pad_unlink(pad, wait->sinkPad);
    wait->unlinked = true;
    wait->done.notify_all();
  }
  return GST_PAD_PROBE_REMOVE;
}

bool FileExists(const std::string& path) {
  struct stat st{};
  return ::stat(path.c_str(), &st) == 0;
}

void RemoveIfEmpty(const std::string& path) {
  struct stat st{};
  if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size == 0) ::unlink(path.c_str());
}

}  // namespace

std::string RecordingChain(int format) {
  static constexpr const char* kWma =
      "audioconvert ! audioresample ! audio/x-raw,rate=44100,channels=2 ! avenc_wmav2 bitrate=";
  switch (format) {
    case 0: return "audioconvert ! lamemp3enc target=bitrate bitrate=128 cbr=true ! xingmux";
    case 1: return "audioconvert ! wavenc";
    case 2: return std::string(kWma) + "32040 ! asfmux";
    case 3: return std::string(kWma) + "64080 ! asfmux";
    case 4: return std::string(kWma) + "128040 ! asfmux";
    default: return {};
  }
}

std::unique_ptr<RadioPipeline> RadioPipeline::Start(GstElement* source, std::string* error) {
  auto fail = [error](const char* why) {
    if (error) *error = why;
    return nullptr;
  };
  if (!source) return fail("no tuner audio");
  if (!plat::media::InitializeGStreamer()) {
    gst_object_unref(gst_object_ref_sink(source));
    return fail("GStreamer could not be initialised");
  }
  std::unique_ptr<RadioPipeline> p(new RadioPipeline);
  p->pipeline_ = gst_pipeline_new("radiodeck");
  GstElement* convert = gst_element_factory_make("audioconvert", nullptr);
  GstElement* resample = gst_element_factory_make("audioresample", nullptr);
  GstElement* caps = gst_element_factory_make("capsfilter", nullptr);
  p->volume_ = gst_element_factory_make("volume", nullptr);
  p->tee_ = gst_element_factory_make("tee", nullptr);
  GstElement* queue = gst_element_factory_make("queue", nullptr);
  p->sink_ = plat::media::MakeAudioSink();
  GstElement* all[] = {source, convert, resample, caps, p->volume_, p->tee_, queue, p->sink_};
  for (GstElement* e : all) {
    if (!e) {
      for (GstElement* other : all) {
        if (other) gst_object_unref(gst_object_ref_sink(other));
      }
      p->volume_ = p->tee_ = p->sink_ = nullptr;
      return fail("an element is missing");
    }
    gst_bin_add(GST_BIN(p->pipeline_), e);
  }
  GstCaps* format = gst_caps_from_string("audio/x-raw,rate=48000,channels=2");
  g_object_set(caps, "caps", format, nullptr);
  gst_caps_unref(format);
  // Live audio: late buffers are played, not dropped, and the sink does not
  // hold the pipeline back before it plays.
  g_object_set(queue, "max-size-time", static_cast<guint64>(200 * GST_MSECOND), "leaky", 2, nullptr);
  g_object_set(p->tee_, "allow-not-linked", TRUE, nullptr);
  if (!gst_element_link_many(source, convert, resample, caps, p->volume_, p->tee_, queue, p->sink_, nullptr)) {
    return fail("the pipeline cannot be linked");
  }
  // Nobody reads the bus: its messages are dropped rather than piling up
  // while the radio plays for hours.
  GstBus* bus = gst_element_get_bus(p->pipeline_);
  gst_bus_set_flushing(bus, TRUE);
  gst_object_unref(bus);
  if (gst_element_set_state(p->pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
    return fail("the tuner audio does not play");
  }
  GstState state = GST_STATE_NULL;
  if (gst_element_get_state(p->pipeline_, &state, nullptr, 2 * GST_SECOND) == GST_STATE_CHANGE_FAILURE) {
    return fail("the tuner audio does not play");
  }
  return p;
}

RadioPipeline::~RadioPipeline() {
  if (!pipeline_) return;
  if (branch_) RemoveBranch();
  gst_element_set_state(pipeline_, GST_STATE_NULL);
  gst_object_unref(pipeline_);
}

void RadioPipeline::SetMute(bool mute) {
  if (volume_) g_object_set(volume_, "mute", mute ? TRUE : FALSE, nullptr);
}

bool RadioPipeline::Muted() const {
  gboolean mute = FALSE;
  if (volume_) g_object_get(volume_, "mute", &mute, nullptr);
  return mute;
}

bool RadioPipeline::StartRecording(const std::string& file, int format, std::string* error) {
  const std::string chain = RecordingChain(format);
  if (chain.empty() || branch_ || file.empty()) {
    if (error) *error = chain.empty() ? "no such recording format" : "a recording runs";
    return false;
  }
  // The chain is ours; the file name goes in as a property, never parsed.
  GError* parseError = nullptr;
  GstElement* encoder = gst_parse_bin_from_description(chain.c_str(), TRUE, &parseError);
  if (!encoder) {
    if (error) *error = parseError ? parseError->message : "the encoder cannot be made";
    if (parseError) g_error_free(parseError);
    return false;
  }
  if (parseError) g_error_free(parseError);
  GstElement* queue = gst_element_factory_make("queue", nullptr);
  GstElement* sink = gst_element_factory_make("filesink", nullptr);
  if (!queue || !sink) {
    for (GstElement* e : {encoder, queue, sink}) {
      if (e) gst_object_unref(gst_object_ref_sink(e));
    }
    if (error) *error = "an element is missing";
    return false;
  }
  const bool existed = FileExists(file);
  g_object_set(sink, "location", file.c_str(), "async", FALSE, nullptr);
  branch_ = gst_bin_new("recording");
  gst_bin_add_many(GST_BIN(branch_), queue, encoder, sink, nullptr);
  gst_element_link_many(queue, encoder, sink, nullptr);
  GstPad* queueSink = gst_element_get_static_pad(queue, "sink");
  gst_element_add_pad(branch_, gst_ghost_pad_new("sink", queueSink));
  gst_object_unref(queueSink);
  GstPad* queueSrc = gst_element_get_static_pad(queue, "src");
  gst_pad_add_probe(queueSrc,
                    static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
                    RebaseProbe, new Rebase, [](gpointer d) { delete static_cast<Rebase*>(d); });
  gst_object_unref(queueSrc);

  gst_bin_add(GST_BIN(pipeline_), branch_);
  bool ok = gst_element_sync_state_with_parent(branch_);
  if (ok) {
    teePad_ = gst_element_request_pad_simple(tee_, "src_%u");
    GstPad* branchSink = gst_element_get_static_pad(branch_, "sink");
    ok = teePad_ && gst_pad_link(teePad_, branchSink) == GST_PAD_LINK_OK;
    gst_object_unref(branchSink);
  }
  if (!ok) {
    if (error) *error = "the recording file cannot be written";
    RemoveBranch();
    if (!existed) RemoveIfEmpty(file);
    return false;
  }
  return true;
}

bool RadioPipeline::StopRecording() {
  if (!branch_) return false;
  GstPad* branchSink = gst_element_get_static_pad(branch_, "sink");
  GstElement* sink = nullptr;
  {
    // The file sink is the branch's last element.
    GstIterator* it = gst_bin_iterate_sinks(GST_BIN(branch_));
    GValue item = G_VALUE_INIT;
    if (gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
      sink = GST_ELEMENT(g_value_dup_object(&item));
      g_value_reset(&item);
    }
    gst_iterator_free(it);
  }
  EosWait eos;
  GstPad* sinkPad = sink ? gst_element_get_static_pad(sink, "sink") : nullptr;
  const gulong eosProbe =
      sinkPad ? gst_pad_add_probe(sinkPad, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, EosProbe, &eos, nullptr) : 0;

  // Unlink where no buffer is in flight, then end the branch's stream.
  UnlinkWait unlink;
  unlink.sinkPad = branchSink;
  if (teePad_) {
    gst_pad_add_probe(teePad_, GST_PAD_PROBE_TYPE_IDLE, UnlinkProbe, &unlink, nullptr);
    std::unique_lock lock(unlink.mutex);
    unlink.done.wait_for(lock, std::chrono::milliseconds(kBranchEosWaitMs), [&] { return unlink.unlinked; });
    if (!unlink.unlinked) gst_pad_unlink(teePad_, branchSink);
  }
  gst_pad_send_event(branchSink, gst_event_new_eos());
  {
    std::unique_lock lock(eos.mutex);
    eos.done.wait_for(lock, std::chrono::milliseconds(kBranchEosWaitMs), [&] { return eos.eos; });
  }
  gst_object_unref(branchSink);
  if (sinkPad) {
    gst_pad_remove_probe(sinkPad, eosProbe);
    gst_object_unref(sinkPad);
  }
  RemoveBranch();
  if (sink) gst_object_unref(sink);
  return true;
}

void RadioPipeline::RemoveBranch() {
  if (teePad_) {
    GstPad* peer = gst_pad_get_peer(teePad_);
    if (peer) {
      gst_pad_unlink(teePad_, peer);
      gst_object_unref(peer);
    }
    gst_element_release_request_pad(tee_, teePad_);
    gst_object_unref(teePad_);
    teePad_ = nullptr;
  }
  if (branch_) {
    gst_element_set_state(branch_, GST_STATE_NULL);
    gst_bin_remove(GST_BIN(pipeline_), branch_);
    branch_ = nullptr;
  }
}

}  // namespace radiodeck
