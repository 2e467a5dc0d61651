#include "outside/tovelax/file_session.h"

#include <chrono>

namespace tovelax {
namespace {

// How long an open waits for the streams, and then for the first picture;
// and the steps it waits in on the client's thread. A file that cannot be
// read or is no media is refused as soon as the pipeline says so; the bound
// only ends a source that never gets ready. A busy machine may need many
// seconds to get a media file ready, and a short bound refused it as
// unplayable, so it never played.
constexpr std::chrono::seconds kOpenWait{30};
constexpr unsigned kOpenWaitStepMs = 20;

TimeCode FromNanoseconds(gint64 ns) {
  if (ns < 0) ns = 0;
  const gint64 seconds = ns / GST_SECOND;
  TimeCode t;
  t.hours = static_cast<std::uint8_t>(std::min<gint64>(seconds / 3600, 255));
  t.minutes = static_cast<std::uint8_t>((seconds / 60) % 60);
  t.seconds = static_cast<std::uint8_t>(seconds % 60);
  t.frames = static_cast<std::uint8_t>((ns % GST_SECOND) * 25 / GST_SECOND);
  return t;
}

}  // namespace

FileSession::FileSession(EventQueue& events, FrameHub& frames, const PlayerSettings& settings)
    : events_(events), frames_(frames), settings_(settings) {
  onFrame_ = [this](std::shared_ptr<const VideoFrame> frame) { frames_.Publish(std::move(frame)); };
}

FileSession::~FileSession() { Close(); }

HRESULT FileSession::Open(std::vector<std::string> tracks, bool startPaused) {
  if (tracks.empty() || !EnsureGstreamer()) return kUnplayable;
  if (!MissingElements({"playbin", "appsink", "videoconvert", "videobalance"}).empty()) return kUnplayable;
  tracks_ = std::move(tracks);
  playbin_.reset(gst_element_factory_make("playbin", nullptr));
  if (!playbin_) return kUnplayable;
  gst_object_ref_sink(playbin_.get());
  GstElement* videoSink = MakeVideoOutputBin(&onFrame_, &balance_);
  WatchFirstPicture(videoSink);
  g_object_set(playbin_.get(), "video-sink", videoSink, "audio-sink", MakeAudioSink(settings_.discardAudio), nullptr);
  ApplyColorControls(balance_, settings_.color);
  GstBus* bus = gst_element_get_bus(playbin_.get());
  gst_bus_set_sync_handler(bus, &FileSession::OnBusMessage, this, nullptr);
  gst_object_unref(bus);
  if (!LoadTrack(0, GST_STATE_PAUSED)) {
    Close();
    return kUnplayable;
  }
  // Wait (bounded) until the streams are known. A file that cannot be read,
  // is not a media file or holds no picture is refused here, not played.
  // The waits go by in short steps on the client's thread, which may keep
  // its screen alive meanwhile.
  const auto deadline = std::chrono::steady_clock::now() + kOpenWait;
  GstStateChangeReturn prerolled = GST_STATE_CHANGE_ASYNC;
  for (;;) {
    prerolled = gst_element_get_state(playbin_.get(), nullptr, nullptr, 0);
    if (prerolled != GST_STATE_CHANGE_ASYNC || std::chrono::steady_clock::now() >= deadline) break;
    events_.WaitOnClientThread(kOpenWaitStepMs);
  }
  gint videoStreams = 0;
  g_object_get(playbin_.get(), "n-video", &videoStreams, nullptr);
  bool failed = false;
  {
    std::lock_guard lock(mutex_);
    failed = streamError_;
  }
  if (prerolled == GST_STATE_CHANGE_FAILURE || prerolled == GST_STATE_CHANGE_ASYNC || failed || videoStreams <= 0 ||
      !WaitForFirstPicture()) {
    Close();
    return kUnplayable;
  }
  // A source that cannot seek cannot scan either: fast forward and rewind
  // are prohibited (bits 8 and 9 of the valid operations).
  if (!Seekable()) events_.Push(kEvValidOpsChange, kScanProhibited, 0);
  ticker_ = std::thread([this] { Ticker(); });
  if (!startPaused && settings_.autoPlay) Play();
  return kOk;
}

bool FileSession::LoadTrack(std::size_t index, GstState state) {
  gst_element_set_state(playbin_.get(), GST_STATE_READY);
  gchar* uri = gst_filename_to_uri(tracks_[index].c_str(), nullptr);
  if (!uri) return false;
  g_object_set(playbin_.get(), "uri", uri, nullptr);
  g_free(uri);
  track_ = index;
  speed_ = kNormalSpeed;
  return gst_element_set_state(playbin_.get(), state) != GST_STATE_CHANGE_FAILURE;
}

void FileSession::Close() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
    if (probe_ && firstPicturePad_) gst_pad_remove_probe(firstPicturePad_, probe_);
    probe_ = 0;
  }
  if (firstPicturePad_) {
    gst_object_unref(firstPicturePad_);
    firstPicturePad_ = nullptr;
  }
  changed_.notify_all();
  if (ticker_.joinable()) ticker_.join();
  if (playbin_) {
    gst_element_set_state(playbin_.get(), GST_STATE_NULL);
    GstBus* bus = gst_element_get_bus(playbin_.get());
    gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
    gst_object_unref(bus);
    playbin_.reset();
  }
  balance_ = nullptr;
}

HRESULT FileSession::Play() {
  std::lock_guard op(opMutex_);
  if (!playbin_) return kNotOpen;
  paused_ = false;
  return gst_element_set_state(playbin_.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE ? kFail : kOk;
}

HRESULT FileSession::Pause() {
  std::lock_guard op(opMutex_);
  if (!playbin_ || paused_) return kFail;
  paused_ = true;
  return gst_element_set_state(playbin_.get(), GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE ? kFail : kOk;
}

HRESULT FileSession::Resume() {
  if (!playbin_ || !paused_) return kFail;
  return Play();  // Play takes the operation lock
}

HRESULT FileSession::Stop() {
  std::lock_guard op(opMutex_);
  if (!playbin_) return kNotOpen;
  paused_ = true;
  // Back to the start of the track, paused, at normal speed. The pipeline
  // stays up: taking it down would close and open the sound output again.
  gst_element_set_state(playbin_.get(), GST_STATE_PAUSED);
  const bool rewound = gst_element_seek(playbin_.get(), 1.0, GST_FORMAT_TIME,
                                        static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_KEY_UNIT),
                                        GST_SEEK_TYPE_SET, 0, GST_SEEK_TYPE_NONE, GST_CLOCK_TIME_NONE);
  speed_ = kNormalSpeed;
  if (!rewound) LoadTrack(track_, GST_STATE_PAUSED);
  events_.Push(kEvDomainChange, kDomainStopped, 0);
  return kOk;
}

void FileSession::WatchFirstPicture(GstElement* videoSink) {
  firstPicturePad_ = gst_element_get_static_pad(videoSink, "sink");
  if (!firstPicturePad_) return;
  const auto types = static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM);
  std::lock_guard lock(mutex_);
  picture_ = FirstPicture::kPending;
  probe_ = gst_pad_add_probe(firstPicturePad_, types, &FileSession::OnFirstData, this, nullptr);
}

GstPadProbeReturn FileSession::OnFirstData(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto* self = static_cast<FileSession*>(data);
  FirstPicture seen = FirstPicture::kPending;
  if (info->type & GST_PAD_PROBE_TYPE_BUFFER) {
    seen = FirstPicture::kSeen;
  } else if (GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info); event && GST_EVENT_TYPE(event) == GST_EVENT_EOS) {
    seen = FirstPicture::kNone;
  }
  if (seen == FirstPicture::kPending) return GST_PAD_PROBE_OK;
  {
    std::lock_guard lock(self->mutex_);
    self->picture_ = seen;
    self->probe_ = 0;
  }
  self->changed_.notify_all();
  return GST_PAD_PROBE_REMOVE;
}

bool FileSession::WaitForFirstPicture() {
  const auto deadline = std::chrono::steady_clock::now() + kOpenWait;
  for (;;) {
    {
      std::lock_guard lock(mutex_);
      if (picture_ != FirstPicture::kPending || streamError_) return picture_ == FirstPicture::kSeen && !streamError_;
    }
    if (std::chrono::steady_clock::now() >= deadline) return false;
    events_.WaitOnClientThread(kOpenWaitStepMs);
  }
}

bool FileSession::Seekable() {
  GstQuery* query = gst_query_new_seeking(GST_FORMAT_TIME);
  gboolean seekable = FALSE;
  if (gst_element_query(playbin_.get(), query)) gst_query_parse_seeking(query, nullptr, &seekable, nullptr, nullptr);
  gst_query_unref(query);
  return seekable != FALSE;
}

HRESULT FileSession::Scan(std::int32_t speed, bool backward) {
  std::lock_guard op(opMutex_);
  if (!playbin_) return kNotOpen;
  if (speed <= 0) return kInvalidArg;
  gint64 position = 0;
  gst_element_query_position(playbin_.get(), GST_FORMAT_TIME, &position);
  const double rate = (backward ? -1.0 : 1.0) * speed / kNormalSpeed;
  const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_TRICKMODE);
  const bool ok = backward ? gst_element_seek(playbin_.get(), rate, GST_FORMAT_TIME, flags, GST_SEEK_TYPE_SET, 0,
                                              GST_SEEK_TYPE_SET, position)
                           : gst_element_seek(playbin_.get(), rate, GST_FORMAT_TIME, flags, GST_SEEK_TYPE_SET,
                                              position, GST_SEEK_TYPE_NONE, -1);
  if (!ok) return kFail;
  // Backward speeds are reported negative, as the client's ladder has them.
  speed_ = backward ? -speed : speed;
  events_.Push(kEvRateChange, speed_.load(), 0);
  return kOk;
}

HRESULT FileSession::StepTrack(int delta) {
  std::lock_guard op(opMutex_);
  if (!playbin_) return kNotOpen;
  const auto target = static_cast<std::ptrdiff_t>(track_) + delta;
  if (target < 0 || target >= static_cast<std::ptrdiff_t>(tracks_.size())) return kTrackAtEnd;
  if (!LoadTrack(static_cast<std::size_t>(target), paused_ ? GST_STATE_PAUSED : GST_STATE_PLAYING)) return kFail;
  events_.Push(kEvChapterStart, static_cast<std::intptr_t>(target + 1), 0);
  return kOk;
}

std::uint32_t FileSession::CurrentTime() {
  gint64 position = 0;
  if (playbin_) gst_element_query_position(playbin_.get(), GST_FORMAT_TIME, &position);
  return PackTime(FromNanoseconds(position));
}

std::uint32_t FileSession::TotalTime() {
  gint64 duration = 0;
  if (playbin_) gst_element_query_duration(playbin_.get(), GST_FORMAT_TIME, &duration);
  return PackTime(FromNanoseconds(duration));
}

void FileSession::SetColor(const ColorControls& color) {
  settings_.color = color;
  ApplyColorControls(balance_, color);
}

// Reports the position every second and moves on to the next track at the
// end of one; runs off the streaming threads.
void FileSession::Ticker() {
  gint64 lastSecond = -1;
  std::unique_lock lock(mutex_);
  while (!quit_) {
    changed_.wait_for(lock, std::chrono::milliseconds(200));
    if (quit_) break;
    if (ended_) {
      ended_ = false;
      lock.unlock();
      if (track_ + 1 < tracks_.size()) {
        StepTrack(1);
      } else {
        events_.Push(kEvComplete, 0, 0);
      }
      lock.lock();
      continue;
    }
    gint64 position = 0;
    if (!paused_ && gst_element_query_position(playbin_.get(), GST_FORMAT_TIME, &position) &&
        position / GST_SECOND != lastSecond) {
      lastSecond = position / GST_SECOND;
      events_.PushTime(FromNanoseconds(position));
    }
  }
}

GstBusSyncReply FileSession::OnBusMessage(GstBus*, GstMessage* message, gpointer data) {
  auto* self = static_cast<FileSession*>(data);
  switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_EOS: {
      std::lock_guard lock(self->mutex_);
      self->ended_ = true;
      self->changed_.notify_all();
      break;
    }
    case GST_MESSAGE_ERROR: {
      {
        std::lock_guard lock(self->mutex_);
        self->streamError_ = true;
      }
      self->changed_.notify_all();
      self->events_.Push(kEvError, kErrUnexpected, 0);
      break;
    }
    default:
      break;
  }
  gst_message_unref(message);
  return GST_BUS_DROP;
}

}  // namespace tovelax
