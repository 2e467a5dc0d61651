#include "engines/rip/rip_graph.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <vector>

#include "engines/rip/vcd_source.h"
#include "platform/media/audio_sink.h"
#include "platform/media/gstreamer.h"
#include "platform/sys/atomic_file.h"

namespace rip {

using namespace std::chrono_literals;

namespace {
// How long opening a source may take to show its streams, and preroll.
constexpr auto kOpenTimeout = 10s;
constexpr GstClockTime kPrerollTimeout = 10 * GST_SECOND;
}  // namespace

struct RipGraph::Shared {
  std::function<void()> notify;
  GstElement* pipeline = nullptr;  // owned by RipGraph

  std::mutex mutex;
  std::condition_variable changed;
  GstPad* audioPad = nullptr;  // one reference, the audio output pin
  gulong blockProbe = 0;
  bool audioDemuxed = false;   // an MPEG audio stream went to its decoder
  bool noMorePads = false;
  bool failed = false;
  bool eos = false;
  bool ended = false;          // end of stream reached on its own
  bool stopping = false;       // the end of stream was sent by Stop
  bool reporting = false;      // the output branch is built: report events
  std::deque<long> events;

  GstSegment segment;  // streaming thread only
  std::atomic<std::int64_t> positionNs{-1};
  std::atomic<bool> endSent{false};  // Stop's end of stream, at the pin

  Shared() { gst_segment_init(&segment, GST_FORMAT_TIME); }
};

namespace {

using Shared = RipGraph::Shared;

std::string CapsName(GstPad* pad) {
  GstCaps* caps = gst_pad_get_current_caps(pad);
  if (!caps) caps = gst_pad_query_caps(pad, nullptr);
  std::string name;
  if (caps && gst_caps_get_size(caps) > 0) name = gst_structure_get_name(gst_caps_get_structure(caps, 0));
  if (caps) gst_caps_unref(caps);
  return name;
}

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// Adds `element` to the running pipeline and brings it to the pipeline's state.
bool AddLive(GstElement* pipeline, GstElement* element) {
  if (!element) return false;
  gst_bin_add(GST_BIN(pipeline), element);
  gst_element_sync_state_with_parent(element);
  return true;
}

// Streams nobody rips (further audio streams, text) are consumed here.
void Discard(Shared* s, GstPad* pad) {
  GstElement* sink = gst_element_factory_make("fakesink", nullptr);
  if (!sink) return;
  g_object_set(sink, "sync", FALSE, "async", FALSE, nullptr);
  if (!AddLive(s->pipeline, sink)) return;
  GstPad* sinkPad = gst_element_get_static_pad(sink, "sink");
  gst_pad_link(pad, sinkPad);
  gst_object_unref(sinkPad);
}

GstPadProbeReturn HoldData(GstPad*, GstPadProbeInfo*, gpointer) { return GST_PAD_PROBE_OK; }

// Follows the stream time of the audio that passed the audio output pin.
GstPadProbeReturn TrackPosition(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto* s = static_cast<Shared*>(data);
  if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) {
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    if (GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT) {
      const GstSegment* segment = nullptr;
      gst_event_parse_segment(event, &segment);
      if (segment->format == GST_FORMAT_TIME) gst_segment_copy_into(segment, &s->segment);
    }
    return GST_PAD_PROBE_OK;
  }
  GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
  // Buffers dropped at the pin once the stream was ended never reach the file.
  if (!buffer || !GST_BUFFER_PTS_IS_VALID(buffer) || s->endSent.load()) return GST_PAD_PROBE_OK;
  GstClockTime end = GST_BUFFER_PTS(buffer);
  if (GST_BUFFER_DURATION_IS_VALID(buffer)) end += GST_BUFFER_DURATION(buffer);
  const guint64 streamTime = gst_segment_to_stream_time(&s->segment, GST_FORMAT_TIME, end);
  if (streamTime != GST_CLOCK_TIME_NONE) s->positionNs.store(static_cast<std::int64_t>(streamTime));
  return GST_PAD_PROBE_OK;
}

// Makes `pad` the audio output pin: data is held there until the output
// branch is linked, and its position is followed.
bool Claim(Shared* s, GstPad* pad) {
  std::lock_guard lock(s->mutex);
  if (s->audioPad) return false;
  s->audioPad = GST_PAD(gst_object_ref(pad));
  s->blockProbe = gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BLOCK_DOWNSTREAM, HoldData, nullptr, nullptr);
  gst_pad_add_probe(pad,
                    static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
                    TrackPosition, s, nullptr);
  s->changed.notify_all();
  return true;
}

void OnDecodedPad(GstElement*, GstPad* pad, gpointer data) {
  auto* s = static_cast<Shared*>(data);
  if (!StartsWith(CapsName(pad), "audio/x-raw") || !Claim(s, pad)) Discard(s, pad);
}

// Pictures are never decoded (the video trimming): decodebin may plug no
// video or image decoder, and such streams end undecoded inside it.
enum class AutoplugSelect { Try = 0, Expose = 1, Skip = 2 };  // GstAutoplugSelectResult
int SkipPictureDecoders(GstElement*, GstPad*, GstCaps*, GstElementFactory* factory, gpointer) {
  const gchar* klass = gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_KLASS);
  const bool picture = klass && std::strstr(klass, "Decoder") &&
                       (std::strstr(klass, "Video") || std::strstr(klass, "Image"));
  return static_cast<int>(picture ? AutoplugSelect::Skip : AutoplugSelect::Try);
}

void OnNoMorePads(GstElement*, gpointer data) {
  auto* s = static_cast<Shared*>(data);
  std::lock_guard lock(s->mutex);
  s->noMorePads = true;
  s->changed.notify_all();
}

// The splitter's first audio stream is decoded; its other streams stay
// unconnected (the splitter goes on while one stream is linked).
void OnDemuxedPad(GstElement*, GstPad* pad, gpointer data) {
  auto* s = static_cast<Shared*>(data);
  if (!StartsWith(CapsName(pad), "audio/")) return;
  {
    std::lock_guard lock(s->mutex);
    if (s->audioDemuxed) return;
    s->audioDemuxed = true;
  }
  GstElement* decoder = gst_element_factory_make("decodebin", nullptr);
  if (!decoder) return;
  g_signal_connect(decoder, "pad-added", G_CALLBACK(OnDecodedPad), s);
  AddLive(s->pipeline, decoder);
  GstPad* sinkPad = gst_element_get_static_pad(decoder, "sink");
  gst_pad_link(pad, sinkPad);
  gst_object_unref(sinkPad);
}

// The first error of a graph, with its element and cause ("No space left on
// the resource", "Could not open file ... for writing: Permission denied").
void LogGraphError(GstMessage* message) {
  GError* error = nullptr;
  gchar* debug = nullptr;
  gst_message_parse_error(message, &error, &debug);
  const char* element = GST_MESSAGE_SRC_NAME(message);
  std::string cause = error ? error->message : "unknown error";
  if (error && error->domain == GST_RESOURCE_ERROR && error->code == GST_RESOURCE_ERROR_NO_SPACE_LEFT)
    cause = plat::WriteFailureCause(ENOSPC);
  std::fprintf(stderr, "rip: %s failed: %s%s%s%s\n", element ? element : "graph", cause.c_str(), debug ? " (" : "",
               debug ? debug : "", debug ? ")" : "");
  if (error) g_error_free(error);
  g_free(debug);
}

GstBusSyncReply OnBusMessage(GstBus*, GstMessage* message, gpointer data) {
  auto* s = static_cast<Shared*>(data);
  const GstMessageType type = GST_MESSAGE_TYPE(message);
  if (type != GST_MESSAGE_EOS && type != GST_MESSAGE_ERROR) return GST_BUS_DROP;
  bool queued = false;
  {
    std::lock_guard lock(s->mutex);
    // A failed graph reports its first error alone: further errors of the
    // same failure and a later end of stream add nothing.
    const bool failedBefore = s->failed;
    if (type == GST_MESSAGE_EOS) {
      s->eos = true;
      if (!s->stopping) s->ended = true;
    } else {
      s->failed = true;
      if (!failedBefore) LogGraphError(message);
    }
    if (s->reporting && !s->stopping && !failedBefore) {
      s->events.push_back(type == GST_MESSAGE_EOS ? kEcComplete : kEcErrorAbort);
      queued = true;
    }
    s->changed.notify_all();
  }
  if (queued && s->notify) s->notify();
  return GST_BUS_DROP;
}

GstElement* Make(const char* factory) { return gst_element_factory_make(factory, nullptr); }

// Ends the stream at the audio output pin, on the streaming thread: the
// branch behind it gets its end of stream whatever the source does with one
// (an input that loops, a device that ignores it).
GstPadProbeReturn EndAtPin(GstPad* pad, GstPadProbeInfo*, gpointer data) {
  auto* ended = static_cast<std::atomic<bool>*>(data);
  if (!ended->exchange(true)) {
    if (GstPad* peer = gst_pad_get_peer(pad)) {
      gst_pad_send_event(peer, gst_event_new_eos());
      gst_object_unref(peer);
    }
  }
  return GST_PAD_PROBE_DROP;
}

}  // namespace

RipGraph::RipGraph(std::function<void()> notify) : shared_(std::make_unique<Shared>()) {
  shared_->notify = std::move(notify);
}

RipGraph::~RipGraph() {
  if (pipeline_) {
    // Streaming threads are joined before the bus handler goes.
    gst_element_set_state(pipeline_, GST_STATE_NULL);
    GstBus* bus = gst_element_get_bus(pipeline_);
    gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
    gst_object_unref(bus);
  }
  CommitOutput(false);
  if (shared_->audioPad) gst_object_unref(shared_->audioPad);
  if (pipeline_) gst_object_unref(pipeline_);
}

plat::HRESULT RipGraph::Open(const SourceSpec& source) {
  if (pipeline_ || !plat::media::InitializeGStreamer()) return plat::E_FAIL;
  pipeline_ = gst_pipeline_new("rip");
  shared_->pipeline = pipeline_;
  GstBus* bus = gst_element_get_bus(pipeline_);
  gst_bus_set_sync_handler(bus, OnBusMessage, shared_.get(), nullptr);
  gst_object_unref(bus);

  Shared* s = shared_.get();
  if (source.kind == SourceSpec::Kind::Element) {
    elementSource_ = true;
    GstElement* element = source.makeElement ? source.makeElement() : nullptr;
    if (!element) return plat::E_FAIL;
    gst_bin_add(GST_BIN(pipeline_), element);
    GstPad* pad = gst_element_get_static_pad(element, "src");
    if (!pad) return plat::E_FAIL;
    Claim(s, pad);
    gst_object_unref(pad);
    audioPad_ = s->audioPad;
    return plat::S_OK;
  }

  GstElement* reader = nullptr;
  if (source.kind == SourceSpec::Kind::VideoCd) {
    reader = MakeVideoCdSource(source.path);
  } else {
    reader = Make("filesrc");
    // The name is a property, never part of a URI or a pipeline text.
    if (reader) g_object_set(reader, "location", source.path.c_str(), nullptr);
  }
  const bool demux = source.kind != SourceSpec::Kind::File;
  GstElement* next = Make(demux ? "mpegpsdemux" : "decodebin");
  if (!reader || !next) {
    if (reader) gst_object_unref(gst_object_ref_sink(reader));
    if (next) gst_object_unref(gst_object_ref_sink(next));
    return plat::E_FAIL;
  }
  gst_bin_add_many(GST_BIN(pipeline_), reader, next, nullptr);
  if (!gst_element_link(reader, next)) return plat::E_FAIL;
  g_signal_connect(next, "pad-added", G_CALLBACK(demux ? OnDemuxedPad : OnDecodedPad), s);
  if (!demux) g_signal_connect(next, "autoplug-select", G_CALLBACK(SkipPictureDecoders), nullptr);
  g_signal_connect(next, "no-more-pads", G_CALLBACK(OnNoMorePads), s);

  if (gst_element_set_state(pipeline_, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) return plat::E_FAIL;
  started_ = true;
  std::unique_lock lock(s->mutex);
  s->changed.wait_for(lock, kOpenTimeout, [s] {
    return s->audioPad || s->failed || s->eos || (s->noMorePads && !s->audioDemuxed);
  });
  audioPad_ = s->audioPad;
  return audioPad_ ? plat::S_OK : plat::E_FAIL;
}

int RipGraph::AudioRate() const {
  if (!audioPad_) return 0;
  GstCaps* caps = gst_pad_get_current_caps(audioPad_);
  int rate = 0;
  if (caps && gst_caps_get_size(caps) > 0) gst_structure_get_int(gst_caps_get_structure(caps, 0), "rate", &rate);
  if (caps) gst_caps_unref(caps);
  return rate;
}

plat::HRESULT RipGraph::Build(const OutputSpec& output) {
  if (!audioPad_ || built_ || stopped_) return plat::E_FAIL;
  GError* error = nullptr;
  GstElement* encoder = gst_parse_bin_from_description(output.encoder.c_str(), TRUE, &error);
  if (error) g_error_free(error);
  GstElement* writer = Make("filesink");
  if (!encoder || !writer) {
    if (encoder) gst_object_unref(gst_object_ref_sink(encoder));
    if (writer) gst_object_unref(gst_object_ref_sink(writer));
    return plat::E_FAIL;
  }
  // Written under a partial name and renamed when the graph stops: a killed
  // rip leaves no file under the track's name, only a leftover that the
  // next process removes.
  // An output that exists as something other than a regular file (a device,
  // a pipe) is written in place: a rename would replace it.
  outputPath_ = output.path;
  struct stat existing {};
  const bool special = ::stat(output.path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode);
  partialPath_ = special ? std::string() : plat::PartialFileName(output.path);
  g_object_set(writer, "location", special ? output.path.c_str() : partialPath_.c_str(), nullptr);

  // Upstream first: the chain from the audio output pin to the file, and the
  // preview branch beside it.
  std::vector<GstElement*> chain;
  if (output.clockPaced) {
    chain.push_back(Make("identity"));
  }
  GstElement* tee = nullptr;
  std::vector<GstElement*> preview;
  if (output.preview) {
    tee = Make("tee");
    chain.push_back(tee);
    chain.push_back(Make("queue"));
    preview = {Make("queue"), Make("audioconvert"), Make("audioresample"), plat::media::MakeAudioSink()};
  }
  chain.push_back(encoder);
  // The file writer holds the first buffer it gets until the graph plays; a
  // graph torn down before that fails the push that brought it. The queue
  // takes that buffer at once, so the encoder's own pushes never wait in the
  // writer: a muxer at the encoder's end that mishandles a failed push of its
  // first buffer (releasing a buffer it passed on) never sees one.
  chain.push_back(Make("queue"));
  chain.push_back(writer);
  bool complete = true;
  for (GstElement* e : chain) complete = complete && e;
  for (GstElement* e : preview) complete = complete && e;
  if (!complete) {
    for (GstElement* e : chain) if (e) gst_object_unref(gst_object_ref_sink(e));
    for (GstElement* e : preview) if (e) gst_object_unref(gst_object_ref_sink(e));
    return plat::E_FAIL;
  }
  if (output.clockPaced) pace_ = chain.front();
  for (GstElement* e : chain) gst_bin_add(GST_BIN(pipeline_), e);
  for (GstElement* e : preview) gst_bin_add(GST_BIN(pipeline_), e);
  bool linked = true;
  for (std::size_t i = 0; i + 1 < chain.size(); ++i) linked = linked && gst_element_link(chain[i], chain[i + 1]);
  if (tee) {
    linked = linked && gst_element_link(tee, preview[0]);
    for (std::size_t i = 0; i + 1 < preview.size(); ++i) linked = linked && gst_element_link(preview[i], preview[i + 1]);
  }
  GstPad* head = gst_element_get_static_pad(chain.front(), "sink");
  linked = linked && head && gst_pad_link(audioPad_, head) == GST_PAD_LINK_OK;
  if (head) gst_object_unref(head);
  if (!linked) return plat::E_FAIL;
  for (auto it = preview.rbegin(); it != preview.rend(); ++it) gst_element_sync_state_with_parent(*it);
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) gst_element_sync_state_with_parent(*it);

  {
    std::lock_guard lock(shared_->mutex);
    shared_->reporting = true;
    if (shared_->blockProbe) gst_pad_remove_probe(audioPad_, shared_->blockProbe);
    shared_->blockProbe = 0;
  }
  if (!started_) {
    if (gst_element_set_state(pipeline_, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) return plat::E_FAIL;
    started_ = true;
  }
  const GstStateChangeReturn state = gst_element_get_state(pipeline_, nullptr, nullptr, kPrerollTimeout);
  if (state == GST_STATE_CHANGE_FAILURE || state == GST_STATE_CHANGE_ASYNC) return plat::E_FAIL;
  // Held to the clock only once prerolled: a synchronising element would
  // hold back the data the file's preroll waits for.
  if (pace_) g_object_set(pace_, "sync", TRUE, nullptr);
  {
    std::lock_guard lock(shared_->mutex);
    if (shared_->failed) return plat::E_FAIL;
  }
  duration_ = QueryDuration();
  built_ = true;
  return plat::S_OK;
}

std::int64_t RipGraph::QueryDuration() const {
  gint64 ns = -1;
  if (!gst_pad_query_duration(audioPad_, GST_FORMAT_TIME, &ns) || ns <= 0) {
    if (!gst_element_query_duration(pipeline_, GST_FORMAT_TIME, &ns)) ns = -1;
  }
  return ns > 0 ? ns / 100 : 0;
}

// Only a built graph runs: a source without its output branch has nothing
// to rip to.
plat::HRESULT RipGraph::Play() {
  if (!pipeline_ || stopped_ || !built_) return plat::E_FAIL;
  return gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE ? plat::E_FAIL : plat::S_OK;
}

plat::HRESULT RipGraph::Pause() {
  if (!pipeline_ || stopped_ || !built_) return plat::E_FAIL;
  return gst_element_set_state(pipeline_, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE ? plat::E_FAIL : plat::S_OK;
}

plat::HRESULT RipGraph::Stop(std::chrono::milliseconds drain) {
  if (!pipeline_) return plat::E_FAIL;
  if (stopped_) return plat::S_OK;
  Shared* s = shared_.get();
  bool drainIt = false;
  {
    std::lock_guard lock(s->mutex);
    drainIt = built_ && !s->eos && !s->failed;
    if (drainIt) s->stopping = true;
  }
  if (drainIt) {
    // The end of stream finalises the file (sizes, index, header); a paused
    // graph runs again to carry it there, no longer held to the clock.
    if (pace_) g_object_set(pace_, "sync", FALSE, nullptr);
    if (elementSource_) {
      s->endSent.store(false);
      gst_pad_add_probe(audioPad_, GST_PAD_PROBE_TYPE_BUFFER, EndAtPin, &s->endSent, nullptr);
    } else {
      gst_element_send_event(pipeline_, gst_event_new_eos());
    }
    GstState current = GST_STATE_NULL;
    gst_element_get_state(pipeline_, &current, nullptr, 0);
    if (current != GST_STATE_PLAYING) gst_element_set_state(pipeline_, GST_STATE_PLAYING);
    std::unique_lock lock(s->mutex);
    s->changed.wait_for(lock, drain, [s] { return s->eos || s->failed; });
  }
  gst_element_set_state(pipeline_, GST_STATE_NULL);
  stopped_ = true;
  // A track cut short by Stop is a playable file, as a whole one is.
  CommitOutput(true);
  return plat::S_OK;
}

void RipGraph::CommitOutput(bool keepEmpty) {
  if (partialPath_.empty()) return;
  struct stat info {};
  if (::stat(partialPath_.c_str(), &info) == 0) {
    if (keepEmpty || info.st_size > 0) {
      ::rename(partialPath_.c_str(), outputPath_.c_str());
    } else {
      ::unlink(partialPath_.c_str());
    }
  }
  partialPath_.clear();
}

bool RipGraph::Position(std::int64_t* position) const {
  {
    std::lock_guard lock(shared_->mutex);
    if (shared_->ended && duration_ > 0) {
      *position = duration_;
      return true;
    }
  }
  const std::int64_t ns = shared_->positionNs.load();
  if (ns < 0) {
    *position = 0;
    return built_;
  }
  *position = ns / 100;
  return true;
}

bool RipGraph::GetEvent(long* code) {
  std::lock_guard lock(shared_->mutex);
  if (shared_->events.empty()) return false;
  *code = shared_->events.front();
  shared_->events.pop_front();
  return true;
}

}  // namespace rip
