#include "engines/playback/wmhost/player/media_player.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <optional>

#include "engines/playback/wmhost/player/play_sequence.h"
#include "platform/media/audio_sink.h"

namespace wmhost {

namespace {

// playbin's "flags" bits.
constexpr int kPlayFlagVideo = 1 << 0;
constexpr int kPlayFlagVis = 1 << 3;

constexpr std::string_view kCdScheme = "wmpcd://";

struct KnownVisualization {
  const char* factory;
  const char* title;
};
// Listed in a fixed order so that indices and ids stay the same.
constexpr KnownVisualization kKnownVisualizations[] = {
    {"goom", "Goom"},
    {"goom2k1", "Goom 2k1"},
    {"monoscope", "Monoscope"},
    {"spacescope", "Space Scope"},
    {"spectrascope", "Spectrum Scope"},
    {"synaescope", "Synaescope"},
    {"wavescope", "Wave Scope"},
};

std::string FileNameStem(const std::string& url) {
  const auto slash = url.find_last_of('/');
  std::string name = slash == std::string::npos ? url : url.substr(slash + 1);
  const auto dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

}  // namespace

bool InitializeGStreamer(std::string* error) {
  static std::once_flag once;
  static bool ok = false;
  static std::string reason;
  std::call_once(once, [] {
    GError* failure = nullptr;
    ok = gst_init_check(nullptr, nullptr, &failure);
    if (ok) {
      // CD tracks are read through libcdio, which opens drives and disc
      // images alike (cdparanoia opens drives only).
      if (GstPluginFeature* cdio = GST_PLUGIN_FEATURE(gst_element_factory_find("cdiocddasrc"))) {
        gst_plugin_feature_set_rank(cdio, GST_RANK_PRIMARY + 1);
        gst_object_unref(cdio);
      }
    } else {
      reason = failure ? failure->message : "GStreamer could not be initialised";
      if (failure) g_error_free(failure);
    }
  });
  if (!ok && error) *error = reason;
  return ok;
}

const std::vector<Visualization>& InstalledVisualizations() {
  static const std::vector<Visualization> installed = [] {
    std::vector<Visualization> list;
    if (!InitializeGStreamer()) return list;
    for (const KnownVisualization& known : kKnownVisualizations) {
      if (GstElementFactory* factory = gst_element_factory_find(known.factory)) {
        list.push_back({known.factory, known.title});
        gst_object_unref(factory);
      }
    }
    return list;
  }();
  return installed;
}

std::string CdTrackUrl(int drive, int track) {
  return std::string(kCdScheme) + std::to_string(drive) + "/" + std::to_string(track);
}

bool ParseCdTrackUrl(const std::string& url, int* drive, int* track) {
  if (url.compare(0, kCdScheme.size(), kCdScheme) != 0) return false;
  int d = -1, t = -1, consumed = 0;
  const std::string rest = url.substr(kCdScheme.size());
  if (std::sscanf(rest.c_str(), "%d/%d%n", &d, &t, &consumed) != 2 || consumed != static_cast<int>(rest.size()) ||
      d < 0 || t < 0) {
    return false;
  }
  *drive = d;
  *track = t;
  return true;
}

struct MediaPlayer::Impl : std::enable_shared_from_this<Impl> {
  Impl(EngineThread& thread, PlayerEvents& events, PlayerOptions options)
      : thread(thread), events(events), options(std::move(options)) {}

  EngineThread& thread;
  PlayerEvents& events;
  PlayerOptions options;

  GstElement* playbin = nullptr;
  PlaylistPtr playlist;
  MediaItemPtr current;
  std::size_t currentIndex = 0;
  PlaySequence sequence;
  PlayState state = PlayState::Undefined;
  enum class Target { None, Play, Pause } target = Target::None;
  // Bumped whenever the pipeline is stopped; messages of an earlier run are dropped.
  std::atomic<unsigned> generation{0};
  std::optional<double> pendingSeek;
  double playRate = 1.0;
  int visIndex = -1;

  std::mutex cdMutex;
  std::string cdDevice;  // for the CD source being set up

  // Latest frame from the video sink's streaming thread.
  std::mutex frameMutex;
  std::optional<VideoFrame> pendingFrame;
  bool deliveryPosted = false;
  FrameSink* frameSink = nullptr;

  bool Create(std::string* error);
  void Destroy();

  // Streaming-thread side.
  static GstBusSyncReply OnBusMessage(GstBus*, GstMessage* message, gpointer self);
  static GstFlowReturn OnNewSample(GstAppSink* sink, gpointer self);
  static void OnSourceSetup(GstElement*, GstElement* source, gpointer self);

  // Engine-thread side.
  void HandleMessage(GstMessage* message);
  void DeliverFrame();
  void SetState(PlayState next) {
    if (state == next) return;
    state = next;
    events.OnPlayStateChange(next);
  }
  void StopPipeline() {
    if (playbin) gst_element_set_state(playbin, GST_STATE_READY);
    ++generation;
    pendingSeek.reset();
  }
  bool Load(std::size_t index);
  bool StartPlaying();
  void AdvanceAfterEnd(bool ended);
  std::size_t CurrentIndexInList() const;
  std::optional<double> QueryPosition() const;
  void Seek(double seconds);
};

bool MediaPlayer::Impl::Create(std::string* error) {
  if (!InitializeGStreamer(error)) return false;
  playbin = gst_element_factory_make("playbin", nullptr);
  if (!playbin) {
    if (error) *error = "the playbin element is missing";
    return false;
  }
  gst_object_ref_sink(playbin);

  GError* failure = nullptr;
  // Without a sink of its own the player takes the program's shared choice:
  // a clock-paced fakesink where nothing can be heard.
  const std::string audioDescription = !options.audioSink.empty()            ? options.audioSink
                                       : plat::media::AudioOutputSilent() ? "fakesink sync=true"
                                                                          : "autoaudiosink";
  GstElement* audioSink = gst_parse_bin_from_description(audioDescription.c_str(), TRUE, &failure);
  if (!audioSink) {
    if (error) *error = failure ? failure->message : "bad audio sink";
    if (failure) g_error_free(failure);
    return false;
  }
  g_object_set(playbin, "audio-sink", audioSink, nullptr);

  // Video and visualisation frames come out as BGRx pictures for the
  // container window; playbin converts whatever the decoder gives.
  GstElement* videoSink = gst_element_factory_make("appsink", nullptr);
  if (!videoSink) {
    if (error) *error = "the appsink element is missing";
    return false;
  }
  GstCaps* caps = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGRx", nullptr);
  g_object_set(videoSink, "caps", caps, "max-buffers", 2u, "drop", TRUE, nullptr);
  gst_caps_unref(caps);
  GstAppSinkCallbacks callbacks{};
  callbacks.new_sample = &Impl::OnNewSample;
  gst_app_sink_set_callbacks(GST_APP_SINK(videoSink), &callbacks, this, nullptr);
  g_object_set(playbin, "video-sink", videoSink, nullptr);

  // Without a frame sink nothing is drawn: no visualisation work.
  int flags = 0;
  g_object_get(playbin, "flags", &flags, nullptr);
  flags &= ~kPlayFlagVis;
  flags |= kPlayFlagVideo;
  g_object_set(playbin, "flags", flags, nullptr);
  if (!InstalledVisualizations().empty()) visIndex = 0;

  g_signal_connect(playbin, "source-setup", G_CALLBACK(&Impl::OnSourceSetup), this);
  GstBus* bus = gst_element_get_bus(playbin);
  gst_bus_set_sync_handler(bus, &Impl::OnBusMessage, this, nullptr);
  gst_object_unref(bus);
  return true;
}

void MediaPlayer::Impl::Destroy() {
  if (!playbin) return;
  // NULL joins the streaming threads, so no callback can run after this.
  gst_element_set_state(playbin, GST_STATE_NULL);
  GstBus* bus = gst_element_get_bus(playbin);
  gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
  gst_object_unref(bus);
  gst_object_unref(playbin);
  playbin = nullptr;
}

GstBusSyncReply MediaPlayer::Impl::OnBusMessage(GstBus*, GstMessage* message, gpointer data) {
  auto* self = static_cast<Impl*>(data);
  bool wanted = false;
  switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_EOS:
    case GST_MESSAGE_ERROR:
    case GST_MESSAGE_ASYNC_DONE:
      wanted = true;
      break;
    case GST_MESSAGE_STATE_CHANGED:
      wanted = GST_MESSAGE_SRC(message) == GST_OBJECT(self->playbin);
      break;
    default:
      break;
  }
  if (wanted) {
    // Only post from here: the engine's thread does the work.
    std::weak_ptr<Impl> weak = self->weak_from_this();
    const unsigned generation = self->generation.load();
    gst_message_ref(message);
    self->thread.Post([weak, generation, message] {
      if (auto impl = weak.lock(); impl && generation == impl->generation.load()) impl->HandleMessage(message);
      gst_message_unref(message);
    });
  }
  // Every message is handled here; none is left queued on the bus.
  return GST_BUS_DROP;
}

GstFlowReturn MediaPlayer::Impl::OnNewSample(GstAppSink* sink, gpointer data) {
  auto* self = static_cast<Impl*>(data);
  GstSample* sample = gst_app_sink_pull_sample(sink);
  if (!sample) return GST_FLOW_OK;
  GstVideoInfo info;
  GstBuffer* buffer = gst_sample_get_buffer(sample);
  GstMapInfo map;
  if (gst_video_info_from_caps(&info, gst_sample_get_caps(sample)) && buffer &&
      gst_buffer_map(buffer, &map, GST_MAP_READ)) {
    VideoFrame frame;
    frame.width = GST_VIDEO_INFO_WIDTH(&info);
    frame.height = GST_VIDEO_INFO_HEIGHT(&info);
    frame.stride = GST_VIDEO_INFO_PLANE_STRIDE(&info, 0);
    const std::size_t bytes = static_cast<std::size_t>(frame.stride) * static_cast<std::size_t>(frame.height);
    if (frame.width > 0 && frame.height > 0 && bytes <= map.size) {
      frame.pixels.assign(map.data, map.data + bytes);
      bool post = false;
      {
        std::lock_guard lock(self->frameMutex);
        self->pendingFrame = std::move(frame);  // a frame not yet drawn is replaced
        post = !self->deliveryPosted;
        self->deliveryPosted = true;
      }
      if (post) {
        std::weak_ptr<Impl> weak = self->weak_from_this();
        self->thread.Post([weak] {
          if (auto impl = weak.lock()) impl->DeliverFrame();
        });
      }
    }
    gst_buffer_unmap(buffer, &map);
  }
  gst_sample_unref(sample);
  return GST_FLOW_OK;
}

void MediaPlayer::Impl::OnSourceSetup(GstElement*, GstElement* source, gpointer data) {
  auto* self = static_cast<Impl*>(data);
  std::lock_guard lock(self->cdMutex);
  if (!self->cdDevice.empty() && g_object_class_find_property(G_OBJECT_GET_CLASS(source), "device")) {
    g_object_set(source, "device", self->cdDevice.c_str(), nullptr);
  }
}

void MediaPlayer::Impl::DeliverFrame() {
  std::optional<VideoFrame> frame;
  {
    std::lock_guard lock(frameMutex);
    frame.swap(pendingFrame);
    deliveryPosted = false;
  }
  if (frame && frameSink) frameSink->OnFrame(*frame);
}

void MediaPlayer::Impl::HandleMessage(GstMessage* message) {
  switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_STATE_CHANGED: {
      GstState oldState, newState, pending;
      gst_message_parse_state_changed(message, &oldState, &newState, &pending);
      if (newState == GST_STATE_PLAYING && target == Target::Play) SetState(PlayState::Playing);
      if (newState == GST_STATE_PAUSED && pending == GST_STATE_VOID_PENDING && target == Target::Pause) {
        SetState(PlayState::Paused);
      }
      break;
    }
    case GST_MESSAGE_ASYNC_DONE:
      if (pendingSeek) {
        const double seconds = *pendingSeek;
        pendingSeek.reset();
        Seek(seconds);
      }
      break;
    case GST_MESSAGE_EOS:
      AdvanceAfterEnd(true);
      break;
    case GST_MESSAGE_ERROR: {
      GError* failure = nullptr;
      gst_message_parse_error(message, &failure, nullptr);
      const std::string text = failure ? failure->message : "playback failed";
      if (failure) g_error_free(failure);
      events.OnMediaError(current ? current->sourceUrl() : std::string(), text);
      AdvanceAfterEnd(false);
      break;
    }
    default:
      break;
  }
}

std::size_t MediaPlayer::Impl::CurrentIndexInList() const {
  // The list may have changed under the player: find the item again.
  if (playlist && current) {
    if (playlist->item(currentIndex) == current) return currentIndex;
    for (std::size_t i = 0; i < playlist->count(); ++i) {
      if (playlist->item(i) == current) return i;
    }
  }
  return currentIndex;
}

bool MediaPlayer::Impl::Load(std::size_t index) {
  if (!playlist || index >= playlist->count()) return false;
  StopPipeline();
  current = playlist->item(index);
  currentIndex = index;
  playRate = 1.0;

  std::string uri;
  std::string device;
  int drive = 0, track = 0;
  const std::string& url = current->sourceUrl();
  if (ParseCdTrackUrl(url, &drive, &track)) {
    uri = "cdda://" + std::to_string(track + 1);
    if (options.cdDevice) device = options.cdDevice(drive);
  } else if (url.find("://") != std::string::npos) {
    uri = url;
  } else {
    GError* failure = nullptr;
    gchar* made = gst_filename_to_uri(url.c_str(), &failure);
    if (made) {
      uri = made;
      g_free(made);
    }
    if (failure) g_error_free(failure);
  }
  {
    std::lock_guard lock(cdMutex);
    cdDevice = device;
  }
  g_object_set(playbin, "uri", uri.c_str(), nullptr);
  events.OnMediaChange(current);
  return true;
}

bool MediaPlayer::Impl::StartPlaying() {
  target = Target::Play;
  if (gst_element_set_state(playbin, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
    // The error message on the bus moves on to the next item.
    return false;
  }
  return true;
}

void MediaPlayer::Impl::AdvanceAfterEnd(bool ended) {
  if (ended) {
    SetState(PlayState::MediaEnded);
  } else {
    // A pipeline that failed starts again only from scratch.
    gst_element_set_state(playbin, GST_STATE_NULL);
  }
  const std::size_t count = playlist ? playlist->count() : 0;
  const auto following = sequence.next(count, CurrentIndexInList());
  if (following && (ended || *following != CurrentIndexInList())) {
    Load(*following);
    StartPlaying();
    return;
  }
  StopPipeline();
  target = Target::None;
  SetState(PlayState::Stopped);
}

std::optional<double> MediaPlayer::Impl::QueryPosition() const {
  gint64 nanoseconds = 0;
  if (playbin && gst_element_query_position(playbin, GST_FORMAT_TIME, &nanoseconds) && nanoseconds >= 0) {
    return static_cast<double>(nanoseconds) / GST_SECOND;
  }
  return std::nullopt;
}

void MediaPlayer::Impl::Seek(double seconds) {
  const gint64 at = static_cast<gint64>(seconds * GST_SECOND);
  gst_element_seek(playbin, playRate, GST_FORMAT_TIME,
                   static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE), GST_SEEK_TYPE_SET, at,
                   GST_SEEK_TYPE_NONE, GST_CLOCK_TIME_NONE);
}

MediaPlayer::MediaPlayer(EngineThread& thread, PlayerEvents& events, PlayerOptions options)
    : impl_(std::make_shared<Impl>(thread, events, std::move(options))) {
  std::string error;
  if (!impl_->Create(&error)) {
    impl_->Destroy();
    throw std::runtime_error("media player: " + error);
  }
}

MediaPlayer::~MediaPlayer() { impl_->Destroy(); }

void MediaPlayer::setUrl(const std::string& url) {
  auto list = std::make_shared<Playlist>();
  if (!url.empty()) {
    auto item = std::make_shared<MediaItem>(url);
    item->setItemInfo(kAttrName, FileNameStem(url));
    list->appendItem(std::move(item));
  }
  if (url.empty()) {
    setCurrentPlaylist(list);
    return;
  }
  // The medium starts at once: it is reported as transitioning, not ready.
  Impl& p = *impl_;
  p.StopPipeline();
  p.playlist = list;
  p.Load(0);
  p.state = PlayState::Undefined;
  p.SetState(PlayState::Transitioning);
  p.StartPlaying();
}

std::string MediaPlayer::url() const { return impl_->current ? impl_->current->sourceUrl() : std::string(); }

PlaylistPtr MediaPlayer::currentPlaylist() const { return impl_->playlist; }

void MediaPlayer::setCurrentPlaylist(PlaylistPtr playlist) {
  Impl& p = *impl_;
  p.StopPipeline();
  p.target = Impl::Target::None;
  p.playlist = std::move(playlist);
  p.current.reset();
  p.currentIndex = 0;
  if (p.playlist && p.playlist->count() > 0) {
    p.Load(p.sequence.first(p.playlist->count()));
    p.state = PlayState::Undefined;  // a new medium is always reported ready
    p.SetState(PlayState::Ready);
  } else {
    p.SetState(PlayState::Stopped);
  }
}

MediaItemPtr MediaPlayer::currentMedia() const { return impl_->current; }

bool MediaPlayer::playItem(std::size_t index) {
  if (!impl_->Load(index)) return false;
  return impl_->StartPlaying();
}

bool MediaPlayer::play() {
  Impl& p = *impl_;
  if (!p.playlist || p.playlist->count() == 0) return false;
  if (!p.current) p.Load(p.sequence.first(p.playlist->count()));
  if (p.target == Impl::Target::Play) return true;
  return p.StartPlaying();
}

void MediaPlayer::pause() {
  Impl& p = *impl_;
  if (p.target != Impl::Target::Play) return;
  p.target = Impl::Target::Pause;
  gst_element_set_state(p.playbin, GST_STATE_PAUSED);
}

void MediaPlayer::stop() {
  Impl& p = *impl_;
  p.StopPipeline();
  p.target = Impl::Target::None;
  p.playRate = 1.0;
  p.SetState(PlayState::Stopped);
}

void MediaPlayer::next() {
  Impl& p = *impl_;
  const std::size_t count = p.playlist ? p.playlist->count() : 0;
  const auto following = p.sequence.next(count, p.CurrentIndexInList());
  if (!following) return;
  const bool playing = p.target != Impl::Target::None;
  p.Load(*following);
  if (playing) {
    p.StartPlaying();
  } else {
    p.SetState(PlayState::Ready);
  }
}

void MediaPlayer::previous() {
  Impl& p = *impl_;
  const std::size_t count = p.playlist ? p.playlist->count() : 0;
  // At the start of the list the first item starts again.
  const std::size_t index = p.sequence.previous(count, p.CurrentIndexInList()).value_or(p.CurrentIndexInList());
  const bool playing = p.target != Impl::Target::None;
  if (!p.Load(index)) return;
  if (playing) {
    p.StartPlaying();
  } else {
    p.SetState(PlayState::Ready);
  }
}

void MediaPlayer::close() {
  Impl& p = *impl_;
  if (p.playbin) gst_element_set_state(p.playbin, GST_STATE_NULL);
  ++p.generation;
  p.target = Impl::Target::None;
  p.playlist.reset();
  p.current.reset();
  p.SetState(PlayState::Stopped);
}

PlayState MediaPlayer::playState() const { return impl_->state; }

double MediaPlayer::position() const {
  const Impl& p = *impl_;
  if (p.target == Impl::Target::None) return 0;
  if (p.pendingSeek) return *p.pendingSeek;
  return p.QueryPosition().value_or(0);
}

void MediaPlayer::setPosition(double seconds) {
  Impl& p = *impl_;
  if (seconds < 0) seconds = 0;
  const double old = position();
  GstState now = GST_STATE_NULL;
  gst_element_get_state(p.playbin, &now, nullptr, 0);
  if (p.target != Impl::Target::None && now >= GST_STATE_PAUSED) {
    p.Seek(seconds);
  } else {
    p.pendingSeek = seconds;  // applied once the medium is prerolled
  }
  p.events.OnPositionChange(old, seconds);
}

double MediaPlayer::currentMediaDuration() const {
  const Impl& p = *impl_;
  gint64 nanoseconds = 0;
  if (p.target != Impl::Target::None && gst_element_query_duration(p.playbin, GST_FORMAT_TIME, &nanoseconds) &&
      nanoseconds > 0) {
    return static_cast<double>(nanoseconds) / GST_SECOND;
  }
  return p.current ? p.current->duration() : 0;
}

double MediaPlayer::rate() const { return impl_->playRate; }

void MediaPlayer::setRate(double rate) {
  Impl& p = *impl_;
  if (rate <= 0) return;
  p.playRate = rate;
  if (p.target != Impl::Target::None) {
    if (auto at = p.QueryPosition()) p.Seek(*at);
  }
}

bool MediaPlayer::fastForwardAvailable() const {
  const Impl& p = *impl_;
  if (p.target == Impl::Target::None) return false;
  GstQuery* query = gst_query_new_seeking(GST_FORMAT_TIME);
  gboolean seekable = FALSE;
  if (gst_element_query(p.playbin, query)) gst_query_parse_seeking(query, nullptr, &seekable, nullptr, nullptr);
  gst_query_unref(query);
  return seekable;
}

bool MediaPlayer::mode(const std::string& name) const {
  if (EqualsNoCase(name, "loop")) return impl_->sequence.loop();
  if (EqualsNoCase(name, "shuffle")) return impl_->sequence.shuffle();
  return false;
}

bool MediaPlayer::setMode(const std::string& name, bool on) {
  if (EqualsNoCase(name, "loop")) {
    impl_->sequence.setLoop(on);
  } else if (EqualsNoCase(name, "shuffle")) {
    impl_->sequence.setShuffle(on);
  } else {
    return false;
  }
  return true;
}

void MediaPlayer::setFrameSink(FrameSink* sink) {
  Impl& p = *impl_;
  p.frameSink = sink;
  int flags = 0;
  g_object_get(p.playbin, "flags", &flags, nullptr);
  if (sink && p.visIndex >= 0) {
    flags |= kPlayFlagVis;
  } else {
    flags &= ~kPlayFlagVis;
  }
  g_object_set(p.playbin, "flags", flags, nullptr);
  if (sink) setVisualization(p.visIndex);
}

int MediaPlayer::visualization() const { return impl_->visIndex; }

bool MediaPlayer::setVisualization(int index) {
  const auto& installed = InstalledVisualizations();
  if (index < 0 || static_cast<std::size_t>(index) >= installed.size()) return false;
  Impl& p = *impl_;
  p.visIndex = index;
  if (GstElement* vis = gst_element_factory_make(installed[static_cast<std::size_t>(index)].id.c_str(), nullptr)) {
    g_object_set(p.playbin, "vis-plugin", vis, nullptr);
  }
  return true;
}

}  // namespace wmhost
