#include "outside/tovelax/dvd_pipeline.h"

#include <gst/app/gstappsrc.h>
#include <gst/video/video.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace tovelax {
namespace {

constexpr const char* kStreamKey = "tovelax-stream";

// Blocks carry their mark as quark data through the source into the demuxer.
// The quark's name is copied: this library may be unloaded and loaded again
// while GLib keeps its quarks.
GQuark MarkQuark() {
  static const GQuark quark = g_quark_from_string("tovelax-mark");
  return quark;
}

// Builds the first element of `names` that is installed.
GstElement* MakeFirst(std::initializer_list<const char*> names) {
  for (const char* name : names)
    if (GstElement* element = gst_element_factory_make(name, nullptr)) return element;
  return nullptr;
}

int StreamIdFromPad(GstPad* pad, const char* prefix) {
  gchar* name = gst_pad_get_name(pad);
  int id = -1;
  const std::size_t length = std::strlen(prefix);
  if (std::strncmp(name, prefix, length) == 0) id = static_cast<int>(std::strtol(name + length, nullptr, 16));
  g_free(name);
  return id;
}

// Links `pad` into the chain of `elements` placed in `bin`, ending at `target`.
bool LinkChain(GstElement* bin, GstPad* pad, const std::vector<GstElement*>& elements, GstPad* target) {
  for (GstElement* element : elements) gst_bin_add(GST_BIN(bin), element);
  for (std::size_t i = 0; i + 1 < elements.size(); ++i)
    if (!gst_element_link(elements[i], elements[i + 1])) return false;
  GstPad* first = gst_element_get_static_pad(elements.front(), "sink");
  GstPad* last = gst_element_get_static_pad(elements.back(), "src");
  const bool linked = gst_pad_link(last, target) == GST_PAD_LINK_OK && gst_pad_link(pad, first) == GST_PAD_LINK_OK;
  gst_object_unref(first);
  gst_object_unref(last);
  for (GstElement* element : elements) gst_element_sync_state_with_parent(element);
  return linked;
}

void LinkToFakesink(GstElement* bin, GstPad* pad) {
  GstElement* sink = gst_element_factory_make("fakesink", nullptr);
  g_object_set(sink, "sync", FALSE, "async", FALSE, nullptr);
  gst_bin_add(GST_BIN(bin), sink);
  GstPad* target = gst_element_get_static_pad(sink, "sink");
  gst_pad_link(pad, target);
  gst_object_unref(target);
  gst_element_sync_state_with_parent(sink);
}

// dvdspu turns a gap on its video input into repeated frames of the video's
// frame duration; before the stream has told its frame rate that duration is
// zero and it never finishes. Such gaps are dropped.
GstPadProbeReturn DropGapsWithoutFrameRate(GstPad* pad, GstPadProbeInfo* info, gpointer) {
  GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
  if (!event || GST_EVENT_TYPE(event) != GST_EVENT_GAP) return GST_PAD_PROBE_OK;
  gint numerator = 0, denominator = 0;
  if (GstCaps* caps = gst_pad_get_current_caps(pad)) {
    const GstStructure* s = gst_caps_get_structure(caps, 0);
    gst_structure_get_fraction(s, "framerate", &numerator, &denominator);
    gst_caps_unref(caps);
  }
  return numerator > 0 && denominator > 0 ? GST_PAD_PROBE_OK : GST_PAD_PROBE_DROP;
}

}  // namespace

std::string DvdPipeline::MissingRequired() {
  if (!EnsureGstreamer()) return "gstreamer";
  return MissingElements({"appsrc", "mpegpsdemux", "mpegvideoparse", "dvdspu", "input-selector", "videoconvert",
                          "videobalance", "appsink", "audioconvert", "audioresample", "volume", "queue"});
}

DvdPipeline::DvdPipeline(PipelineHooks hooks, bool discardAudio, bool hardwareDecoding)
    : hooks_(std::move(hooks)), discardAudio_(discardAudio), hardwareDecoding_(hardwareDecoding) {}

DvdPipeline::~DvdPipeline() { Shutdown(); }

bool DvdPipeline::Start() {
  if (!EnsureGstreamer() || !MissingRequired().empty()) return false;
  pipeline_.reset(gst_pipeline_new("tovelax-dvd"));
  GstElement* pipe = pipeline_.get();
  source_ = gst_element_factory_make("appsrc", "blocks");
  GstElement* demux = gst_element_factory_make("mpegpsdemux", "demux");
  spu_ = gst_element_factory_make("dvdspu", "spu");
  spuSelector_ = gst_element_factory_make("input-selector", "spu-select");
  audioSelector_ = gst_element_factory_make("input-selector", "audio-select");
  GstElement* audioConvert = gst_element_factory_make("audioconvert", nullptr);
  volume_ = gst_element_factory_make("volume", nullptr);
  GstElement* audioSink = MakeAudioSink(discardAudio_);
  GstElement* videoOut = MakeVideoOutputBin(&hooks_.frame, &balance_);
  gst_bin_add_many(GST_BIN(pipe), source_, demux, spu_, spuSelector_, audioSelector_, audioConvert, volume_,
                   audioSink, videoOut, nullptr);

  GstCaps* caps = gst_caps_new_simple("video/mpeg", "mpegversion", G_TYPE_INT, 2, "systemstream", G_TYPE_BOOLEAN,
                                      TRUE, nullptr);
  g_object_set(source_, "caps", caps, "format", GST_FORMAT_BYTES, "block", TRUE, "max-bytes",
               guint64{256 * 1024}, "stream-type", GST_APP_STREAM_TYPE_STREAM, nullptr);
  gst_caps_unref(caps);
  g_object_set(spuSelector_, "sync-streams", FALSE, nullptr);
  g_object_set(audioSelector_, "sync-streams", FALSE, nullptr);

  bool linked = gst_element_link(source_, demux) && gst_element_link_pads(spuSelector_, "src", spu_, "subpicture") &&
                gst_element_link(spu_, videoOut) && gst_element_link_many(audioSelector_, audioConvert, volume_, audioSink, nullptr);
  if (!linked) {
    pipeline_.reset();
    return false;
  }
  g_signal_connect(demux, "pad-added", G_CALLBACK(&DvdPipeline::OnPadAdded), this);
  GstPad* demuxInput = gst_element_get_static_pad(demux, "sink");
  gst_pad_add_probe(demuxInput, GST_PAD_PROBE_TYPE_BUFFER, &DvdPipeline::OnDemuxInput, this, nullptr);
  gst_object_unref(demuxInput);
  GstPad* spuInput = gst_element_get_static_pad(spu_, "subpicture");
  gst_pad_add_probe(spuInput, GST_PAD_PROBE_TYPE_BUFFER, &DvdPipeline::OnSubpictureBuffer, this, nullptr);
  gst_object_unref(spuInput);
  GstPad* spuVideo = gst_element_get_static_pad(spu_, "video");
  gst_pad_add_probe(spuVideo, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, DropGapsWithoutFrameRate, nullptr, nullptr);
  gst_object_unref(spuVideo);
  GstBus* bus = gst_element_get_bus(pipe);
  gst_bus_set_sync_handler(bus, &DvdPipeline::OnBusMessage, this, nullptr);
  gst_object_unref(bus);
  running_ = true;
  return gst_element_set_state(pipe, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
}

bool DvdPipeline::Push(const std::uint8_t* block, std::size_t size, int mark) {
  if (!running_ || !source_) return false;
  GstBuffer* buffer = gst_buffer_new_allocate(nullptr, size, nullptr);
  gst_buffer_fill(buffer, 0, block, size);
  if (mark != 0) gst_mini_object_set_qdata(GST_MINI_OBJECT(buffer), MarkQuark(), GINT_TO_POINTER(mark), nullptr);
  return gst_app_src_push_buffer(GST_APP_SRC(source_), buffer) == GST_FLOW_OK;
}

void DvdPipeline::Flush() {
  if (!pipeline_ || !running_) return;
  gst_element_send_event(source_, gst_event_new_flush_start());
  gst_element_send_event(source_, gst_event_new_flush_stop(TRUE));
  markAhead_ = 0;
}

// The demuxer's thread: a marked block is about to be split.
GstPadProbeReturn DvdPipeline::OnDemuxInput(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto* self = static_cast<DvdPipeline*>(data);
  if (GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info))
    if (const int mark = GPOINTER_TO_INT(gst_mini_object_get_qdata(GST_MINI_OBJECT(buffer), MarkQuark())))
      self->markAhead_ = mark;
  return GST_PAD_PROBE_OK;
}

GstPadProbeReturn DvdPipeline::OnSubpictureBuffer(GstPad*, GstPadProbeInfo*, gpointer data) {
  ++static_cast<DvdPipeline*>(data)->spuBuffers_;
  return GST_PAD_PROBE_OK;
}

// The same thread: the first timed video buffer after a marked block places the mark.
GstPadProbeReturn DvdPipeline::OnDemuxVideo(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto* self = static_cast<DvdPipeline*>(data);
  GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
  if (!buffer || !GST_BUFFER_PTS_IS_VALID(buffer) || self->markAhead_ == 0) return GST_PAD_PROBE_OK;
  const int mark = self->markAhead_.exchange(0);
  if (mark != 0 && self->hooks_.placed) self->hooks_.placed(mark, static_cast<std::int64_t>(GST_BUFFER_PTS(buffer)));
  return GST_PAD_PROBE_OK;
}

void DvdPipeline::SetPaused(bool paused) {
  if (pipeline_) gst_element_set_state(pipeline_.get(), paused ? GST_STATE_PAUSED : GST_STATE_PLAYING);
}

void DvdPipeline::SelectAudio(int streamId) {
  {
    std::lock_guard lock(selectionMutex_);
    audioStream_ = streamId;
  }
  ApplySelection();
}

void DvdPipeline::SetAudioMuted(bool muted) {
  if (volume_) g_object_set(volume_, "mute", muted ? TRUE : FALSE, nullptr);
}

void DvdPipeline::SelectSubpicture(int physical, bool display) {
  bool changedDisplay;
  {
    std::lock_guard lock(selectionMutex_);
    spuStream_ = 0x20 + (physical & 31);
    changedDisplay = spuDisplay_ != display;
    spuDisplay_ = display;
  }
  ApplySelection();
  if (changedDisplay)
    SendSpuEvent(gst_structure_new("application/x-gst-dvd", "event", G_TYPE_STRING, "dvd-set-subpicture-track",
                                   "forced-only", G_TYPE_BOOLEAN, display ? FALSE : TRUE, nullptr));
}

void DvdPipeline::RestateSubpicture() {
  bool display;
  {
    std::lock_guard lock(selectionMutex_);
    display = spuDisplay_;
  }
  SendSpuEvent(gst_structure_new("application/x-gst-dvd", "event", G_TYPE_STRING, "dvd-set-subpicture-track",
                                 "forced-only", G_TYPE_BOOLEAN, display ? FALSE : TRUE, nullptr),
               true);
}

void DvdPipeline::SendSpuEvent(GstStructure* structure, bool outOfBand) {
  if (!spu_) {
    gst_structure_free(structure);
    return;
  }
  GstPad* pad = gst_element_get_static_pad(spu_, "subpicture");
  gst_pad_send_event(pad, gst_event_new_custom(outOfBand ? GST_EVENT_CUSTOM_DOWNSTREAM_OOB : GST_EVENT_CUSTOM_DOWNSTREAM,
                                               structure));
  gst_object_unref(pad);
}

void DvdPipeline::SetStill(bool still) {
  if (!spu_) return;
  // The overlay knows a still by the video library's still-frame event: it
  // then keeps the last picture and draws highlight changes on it.
  GstPad* pad = gst_element_get_static_pad(spu_, "video");
  gst_pad_send_event(pad, gst_video_event_new_still_frame(still ? TRUE : FALSE));
  gst_object_unref(pad);
}

void DvdPipeline::SetColorControls(const ColorControls& controls) { ApplyColorControls(balance_, controls); }

void DvdPipeline::Halt() {
  running_ = false;
  if (pipeline_) gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
}

void DvdPipeline::Shutdown() {
  Halt();
  if (!pipeline_) return;
  GstBus* bus = gst_element_get_bus(pipeline_.get());
  gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
  gst_object_unref(bus);
  pipeline_.reset();
  source_ = spu_ = spuSelector_ = audioSelector_ = volume_ = balance_ = nullptr;
}

void DvdPipeline::ApplySelection() {
  int audio, spu;
  {
    std::lock_guard lock(selectionMutex_);
    audio = audioStream_;
    spu = spuStream_;
  }
  for (auto [selector, wanted] : {std::pair{audioSelector_, audio}, std::pair{spuSelector_, spu}}) {
    if (!selector) continue;
    GstIterator* it = gst_element_iterate_sink_pads(selector);
    GValue item = G_VALUE_INIT;
    while (gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
      auto* pad = GST_PAD(g_value_get_object(&item));
      if (GPOINTER_TO_INT(g_object_get_data(G_OBJECT(pad), kStreamKey)) == wanted)
        g_object_set(selector, "active-pad", pad, nullptr);
      g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(it);
  }
}

void DvdPipeline::OnPadAdded(GstElement*, GstPad* pad, gpointer data) {
  auto* self = static_cast<DvdPipeline*>(data);
  if (int id = StreamIdFromPad(pad, "audio_"); id >= 0) self->LinkAudio(pad, id);
  else if (int spuId = StreamIdFromPad(pad, "subpicture_"); spuId >= 0) self->LinkSubpicture(pad, spuId);
  else if (StreamIdFromPad(pad, "video_") >= 0) self->LinkVideo(pad);
  else LinkToFakesink(self->pipeline_.get(), pad);
}

void DvdPipeline::LinkVideo(GstPad* pad) {
  if (videoLinked_.exchange(true)) {
    LinkToFakesink(pipeline_.get(), pad);
    return;
  }
  GstElement* queue = gst_element_factory_make("queue", nullptr);
  GstElement* parser = gst_element_factory_make("mpegvideoparse", nullptr);
  GstElement* decoder = hardwareDecoding_ ? MakeFirst({"vampeg2dec", "vaapimpeg2dec", "v4l2slmpeg2dec",
                                                       "v4l2mpeg2dec", "mpeg2dec", "avdec_mpeg2video"})
                                          : MakeFirst({"mpeg2dec", "avdec_mpeg2video"});
  if (!decoder) {
    gst_object_unref(queue);
    gst_object_unref(parser);
    if (hooks_.error) hooks_.error("no MPEG-2 video decoder installed");
    LinkToFakesink(pipeline_.get(), pad);
    return;
  }
  gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BUFFER, &DvdPipeline::OnDemuxVideo, this, nullptr);
  GstPad* target = gst_element_get_static_pad(spu_, "video");
  LinkChain(pipeline_.get(), pad, {queue, parser, decoder}, target);
  gst_object_unref(target);
}

void DvdPipeline::LinkSubpicture(GstPad* pad, int streamId) {
  GstElement* queue = gst_element_factory_make("queue", nullptr);
  GstPad* target = gst_element_request_pad_simple(spuSelector_, "sink_%u");
  g_object_set_data(G_OBJECT(target), kStreamKey, GINT_TO_POINTER(streamId));
  LinkChain(pipeline_.get(), pad, {queue}, target);
  gst_object_unref(target);
  ApplySelection();
}

void DvdPipeline::LinkAudio(GstPad* pad, int streamId) {
  std::vector<GstElement*> chain;
  chain.push_back(gst_element_factory_make("queue", nullptr));
  GstElement* decoder = nullptr;
  if (streamId >= 0x80 && streamId <= 0x87) {
    decoder = MakeFirst({"a52dec", "avdec_ac3"});
  } else if (streamId >= 0x88 && streamId <= 0x8f) {
    decoder = MakeFirst({"dtsdec", "avdec_dca"});
  } else if (streamId >= 0xa0 && streamId <= 0xa7) {
    decoder = MakeFirst({"dvdlpcmdec"});
  } else if (streamId >= 0xc0 && streamId <= 0xdf) {
    if (GstElement* parser = gst_element_factory_make("mpegaudioparse", nullptr)) chain.push_back(parser);
    decoder = MakeFirst({"mpg123audiodec", "avdec_mp2float", "avdec_mp3"});
  }
  if (!decoder) {
    for (GstElement* element : chain) gst_object_unref(element);
    if (hooks_.audioProblem) hooks_.audioProblem(kEvAudioUndecodable, streamId);
    LinkToFakesink(pipeline_.get(), pad);
    return;
  }
  chain.push_back(decoder);
  g_object_set_data(G_OBJECT(decoder), kStreamKey, GINT_TO_POINTER(streamId));
  chain.push_back(gst_element_factory_make("audioconvert", nullptr));
  chain.push_back(gst_element_factory_make("audioresample", nullptr));
  GstPad* target = gst_element_request_pad_simple(audioSelector_, "sink_%u");
  g_object_set_data(G_OBJECT(target), kStreamKey, GINT_TO_POINTER(streamId));
  LinkChain(pipeline_.get(), pad, chain, target);
  gst_object_unref(target);
  ApplySelection();
}

GstBusSyncReply DvdPipeline::OnBusMessage(GstBus*, GstMessage* message, gpointer data) {
  auto* self = static_cast<DvdPipeline*>(data);
  if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
    GError* error = nullptr;
    gst_message_parse_error(message, &error, nullptr);
    const std::string text = error ? error->message : "pipeline error";
    if (error) g_error_free(error);
    // An audio decoder failing is a notice; anything else ends playback.
    const int stream = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(GST_MESSAGE_SRC(message)), kStreamKey));
    if (stream != 0 && self->hooks_.audioProblem) self->hooks_.audioProblem(kEvAudioDecodeFailed, stream);
    else if (self->hooks_.error) self->hooks_.error(text);
  }
  gst_message_unref(message);
  return GST_BUS_DROP;
}

}  // namespace tovelax
