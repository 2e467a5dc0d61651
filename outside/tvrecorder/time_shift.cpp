#include "outside/tvrecorder/time_shift.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <utility>

namespace tvrec {

namespace {

std::string SegmentName(const std::string& folder, int n) {
  char name[32];
  std::snprintf(name, sizeof name, "/shift%06d.mpg", n);
  return folder + name;
}

// Whether the system's sound output plays: tried once with a short tone.
bool SoundOutputWorks() {
  static std::once_flag once;
  static bool works = false;
  std::call_once(once, [] {
    GstElement* probe = gst_parse_launch("audiotestsrc num-buffers=2 volume=0 ! autoaudiosink", nullptr);
    if (!probe) return;
    if (gst_element_set_state(probe, GST_STATE_PAUSED) != GST_STATE_CHANGE_FAILURE) {
      GstState state = GST_STATE_NULL;
      works = gst_element_get_state(probe, &state, nullptr, 2 * GST_SECOND) == GST_STATE_CHANGE_SUCCESS &&
              state == GST_STATE_PAUSED;
    }
    gst_element_set_state(probe, GST_STATE_NULL);
    gst_object_unref(probe);
  });
  return works;
}

// The system's output when it plays; else the sound is dropped in time.
GstElement* MakeAudioOut() {
  GstElement* sink = SoundOutputWorks() ? gst_element_factory_make("autoaudiosink", nullptr) : nullptr;
  if (!sink) {
    sink = gst_element_factory_make("fakesink", nullptr);
    if (sink) g_object_set(sink, "sync", TRUE, nullptr);
  }
  return sink;
}

void OnPadAdded(GstElement*, GstPad* pad, gpointer data) {
  auto* bin = static_cast<GstElement*>(data);
  GstCaps* caps = gst_pad_get_current_caps(pad);
  if (!caps) caps = gst_pad_query_caps(pad, nullptr);
  const char* kind = gst_structure_get_name(gst_caps_get_structure(caps, 0));
  const bool video = g_str_has_prefix(kind, "video/");
  gst_caps_unref(caps);
  GstElement* target = gst_bin_get_by_name(GST_BIN(bin), video ? "vconv" : "aconv");
  if (!target) return;
  GstPad* sinkPad = gst_element_get_static_pad(target, "sink");
  if (!gst_pad_is_linked(sinkPad)) gst_pad_link(pad, sinkPad);
  gst_object_unref(sinkPad);
  gst_object_unref(target);
}

}  // namespace

TimeShift::TimeShift(std::string folder, EncodeSettings settings, int segmentMB, int segmentCount,
                     Presenter presenter)
    : folder_(std::move(folder)),
      settings_(settings),
      segmentBytes_(std::int64_t{segmentMB > 0 ? segmentMB : 1} << 20),
      segmentCount_(segmentCount >= 2 ? segmentCount : 2),
      presenter_(std::move(presenter)) {
  std::error_code ec;
  std::filesystem::create_directories(folder_, ec);
  worker_ = std::thread([this] { ReaderLoop(); });
}

TimeShift::TimeShift(std::string file, std::function<std::int64_t()> live, Presenter presenter)
    : segmentBytes_(0), segmentCount_(1), presenter_(std::move(presenter)), live_(std::move(live)) {
  segments_.push_back(Segment{std::move(file), 0, 0});
  worker_ = std::thread([this] { ReaderLoop(); });
}

TimeShift::~TimeShift() {
  {
    std::lock_guard lock(wakeMutex_);
    quit_ = true;
  }
  wake_.notify_all();
  worker_.join();
  StopReader();
  std::lock_guard lock(writeMutex_);
  if (writer_) writer_->Close();
  writer_.reset();
  // The ring's files go with it; a watched recording stays.
  std::error_code ec;
  if (!live_) {
    for (const Segment& s : segments_) std::filesystem::remove(s.path, ec);
  }
}

bool TimeShift::OpenSegment(std::int64_t startMs) {
  if (writer_) {
    writer_->Close();
    segments_.back().endMs = startMs;
  }
  writer_ = std::make_unique<AvRecorder>();
  const std::string path = SegmentName(folder_, nextSegment_++);
  std::error_code ec;
  std::filesystem::remove(path, ec);
  if (!writer_->Open(path, settings_)) {
    writer_.reset();
    return false;
  }
  segments_.push_back(Segment{path, startMs, startMs});
  // The ring: the oldest segment goes, unless the replay still reads it.
  while (static_cast<int>(segments_.size()) > segmentCount_) {
    std::filesystem::remove(segments_.front().path, ec);
    segments_.erase(segments_.begin());
  }
  return true;
}

void TimeShift::AddVideo(const VideoFrameI420& frame) {
  std::lock_guard lock(writeMutex_);
  if (firstPtsNs_ < 0) firstPtsNs_ = frame.ptsNs;
  const std::int64_t ms = (frame.ptsNs - firstPtsNs_) / 1000000;
  liveMs_ = ms;
  if (!writer_ || writer_->bytesWritten() >= segmentBytes_) {
    if (!OpenSegment(ms)) return;
  }
  segments_.back().endMs = ms;
  writer_->AddVideo(frame);
}

void TimeShift::AddAudio(const AudioChunk& chunk) {
  std::lock_guard lock(writeMutex_);
  if (writer_) writer_->AddAudio(chunk);
}

std::int64_t TimeShift::LivePosition() const {
  if (live_) return live_();
  std::lock_guard lock(writeMutex_);
  return liveMs_;
}

std::int64_t TimeShift::OldestPosition() const {
  std::lock_guard lock(writeMutex_);
  return segments_.empty() ? 0 : segments_.front().startMs;
}

int TimeShift::segments() const {
  std::lock_guard lock(writeMutex_);
  return static_cast<int>(segments_.size());
}

std::int64_t TimeShift::Position() const { return replaying_ ? positionMs_.load() : LivePosition(); }

// Encoded pictures reach the file a little after they were live.
constexpr std::int64_t kWriteLagMs = 1000;
// A scan jumps this often.
constexpr std::int64_t kScanStepMs = 200;

void TimeShift::Pause() {
  rate_ = 1.0;
  if (paused_) return;
  paused_ = true;
  bool running = false;
  {
    std::lock_guard lock(readMutex_);
    running = pipeline_ != nullptr;
    if (running) gst_element_set_state(pipeline_, GST_STATE_PAUSED);
  }
  // From live: the replay waits, ready, where the picture stopped.
  if (!running) StartReader(std::max(OldestPosition(), LivePosition() - kWriteLagMs), true);
}

void TimeShift::Play() {
  rate_ = 1.0;
  if (!paused_) return;
  paused_ = false;
  bool ended = false;
  {
    std::lock_guard lock(wakeMutex_);
    ended = std::exchange(endedWhilePaused_, false);
  }
  bool running = false;
  {
    std::lock_guard lock(readMutex_);
    running = pipeline_ != nullptr && !ended;
    if (running) gst_element_set_state(pipeline_, GST_STATE_PLAYING);
  }
  if (!running && replaying_) StartReader(positionMs_, false);
}

bool TimeShift::SetPosition(std::int64_t ms) {
  const std::int64_t oldest = OldestPosition();
  const std::int64_t live = LivePosition();
  // Seeks stay inside what is buffered.
  ms = std::clamp(ms, oldest, live);
  if (ms >= live - 200 && !paused_) {
    StopReader();
    replaying_ = false;
    positionMs_ = live;
    return true;
  }
  StartReader(ms, paused_);
  return true;
}

bool TimeShift::SetRate(double rate) {
  if (!std::isfinite(rate) || std::abs(rate) < 1.0) return false;
  if (rate == 1.0) {
    if (rate_ != 1.0) Play();
    return true;
  }
  // A scan from live starts where the picture is; a replay holds still.
  if (!replaying_) {
    StartReader(std::max(OldestPosition(), LivePosition() - kWriteLagMs), true);
    if (!replaying_) return false;
  } else {
    std::lock_guard lock(readMutex_);
    if (pipeline_) gst_element_set_state(pipeline_, GST_STATE_PAUSED);
  }
  paused_ = true;
  {
    std::lock_guard lock(wakeMutex_);
    rate_ = rate;
  }
  wake_.notify_all();
  return true;
}

void TimeShift::ScanStep() {
  const double rate = rate_;
  if (rate == 1.0) return;
  const std::int64_t oldest = OldestPosition();
  const std::int64_t live = LivePosition();
  const std::int64_t target = positionMs_ + std::llround(rate * kScanStepMs);
  if (rate > 0 && target >= live - 200) {
    // Caught up: the live picture again.
    rate_ = 1.0;
    paused_ = false;
    StopReader();
    replaying_ = false;
    positionMs_ = live;
    return;
  }
  if (rate < 0 && target <= oldest) {
    // Back at the oldest picture kept: it plays from there.
    rate_ = 1.0;
    paused_ = false;
    StartReader(oldest, false);
    return;
  }
  // Within the segment being read the reader jumps; else another one opens.
  bool found = false;
  std::int64_t segmentStart = 0;
  {
    std::lock_guard write(writeMutex_);
    for (const Segment& s : segments_) {
      if (target >= s.startMs && (target < s.endMs || &s == &segments_.back())) {
        segmentStart = s.startMs;
        found = true;
        break;
      }
    }
  }
  bool jumped = false;
  if (found) {
    std::lock_guard read(readMutex_);
    if (pipeline_ && readerSegmentStartMs_ == segmentStart) {
      showPreroll_ = true;
      jumped = gst_element_seek_simple(pipeline_, GST_FORMAT_TIME,
                                       static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                                       readerBaseNs_ + (target - segmentStart) * GST_MSECOND);
    }
  }
  if (!jumped) StartReader(target, true);
  positionMs_ = target;
}

void TimeShift::StartReader(std::int64_t ms, bool paused) {
  StopReader();
  showPreroll_ = false;
  Segment segment;
  {
    std::lock_guard lock(writeMutex_);
    bool found = false;
    for (const Segment& s : segments_) {
      if (ms >= s.startMs && (ms < s.endMs || &s == &segments_.back())) {
        segment = s;
        found = true;
        break;
      }
    }
    if (!found) return;
  }
  GstElement* pipeline = gst_pipeline_new("time-shift");
  GstElement* src = gst_element_factory_make("filesrc", nullptr);
  GstElement* decode = gst_element_factory_make("decodebin", nullptr);
  GstElement* vconv = gst_element_factory_make("videoconvert", "vconv");
  GstElement* vcaps = gst_element_factory_make("capsfilter", nullptr);
  GstElement* vsink = gst_element_factory_make("appsink", nullptr);
  GstElement* aconv = gst_element_factory_make("audioconvert", "aconv");
  GstElement* ares = gst_element_factory_make("audioresample", nullptr);
  GstElement* asink = MakeAudioOut();
  GstElement* all[] = {src, decode, vconv, vcaps, vsink, aconv, ares, asink};
  bool complete = pipeline != nullptr;
  for (GstElement* e : all) complete = complete && e;
  if (!complete) {
    for (GstElement* e : all) {
      if (e) gst_object_unref(e);
    }
    if (pipeline) gst_object_unref(pipeline);
    return;
  }
  g_object_set(src, "location", segment.path.c_str(), nullptr);
  GstCaps* caps = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "I420", nullptr);
  g_object_set(vcaps, "caps", caps, nullptr);
  gst_caps_unref(caps);
  g_object_set(vsink, "emit-signals", TRUE, "sync", TRUE, "max-buffers", 4u, nullptr);
  g_signal_connect(vsink, "new-sample", G_CALLBACK(&TimeShift::OnSample), this);
  g_signal_connect(vsink, "new-preroll", G_CALLBACK(&TimeShift::OnPreroll), this);
  g_signal_connect(vsink, "eos", G_CALLBACK(&TimeShift::OnEos), this);
  gst_bin_add_many(GST_BIN(pipeline), src, decode, vconv, vcaps, vsink, aconv, ares, asink, nullptr);
  gst_element_link(src, decode);
  gst_element_link_many(vconv, vcaps, vsink, nullptr);
  gst_element_link_many(aconv, ares, asink, nullptr);
  g_signal_connect(decode, "pad-added", G_CALLBACK(&OnPadAdded), pipeline);
  gst_element_set_state(pipeline, GST_STATE_PAUSED);
  gst_element_get_state(pipeline, nullptr, nullptr, 2 * GST_SECOND);
  // The file's times start a little after 0 (the muxer's lead): its first
  // picture is the segment's start.
  std::int64_t baseNs = 0;
  if (GstSample* first = gst_app_sink_try_pull_preroll(GST_APP_SINK(vsink), 0)) {
    GstBuffer* b = gst_sample_get_buffer(first);
    if (b && GST_BUFFER_PTS_IS_VALID(b)) baseNs = static_cast<std::int64_t>(GST_BUFFER_PTS(b));
    gst_sample_unref(first);
  }
  readerBaseNs_ = baseNs;
  const std::int64_t within = ms - segment.startMs;
  if (within > 0) {
    gst_element_seek_simple(pipeline, GST_FORMAT_TIME,
                            static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                            baseNs + within * GST_MSECOND);
    gst_element_get_state(pipeline, nullptr, nullptr, 2 * GST_SECOND);
  }
  {
    std::lock_guard lock(readMutex_);
    pipeline_ = pipeline;
    readerSegmentStartMs_ = segment.startMs;
  }
  positionMs_ = ms;
  replaying_ = true;
  showPreroll_ = true;
  if (!paused) gst_element_set_state(pipeline, GST_STATE_PLAYING);
}

void TimeShift::StopReader() {
  GstElement* pipeline = nullptr;
  {
    std::lock_guard lock(readMutex_);
    pipeline = std::exchange(pipeline_, nullptr);
  }
  if (!pipeline) return;
  gst_element_set_state(pipeline, GST_STATE_NULL);
  gst_object_unref(pipeline);
}

int TimeShift::OnSample(GstElement* sink, void* self) {
  GstSample* sample = gst_app_sink_pull_sample(GST_APP_SINK(sink));
  if (!sample) return GST_FLOW_OK;
  static_cast<TimeShift*>(self)->Present(sample, true);
  gst_sample_unref(sample);
  return GST_FLOW_OK;
}

// The picture a paused replay settles on after a jump.
int TimeShift::OnPreroll(GstElement* sink, void* self) {
  auto* shift = static_cast<TimeShift*>(self);
  GstSample* sample = gst_app_sink_pull_preroll(GST_APP_SINK(sink));
  if (!sample) return GST_FLOW_OK;
  if (shift->showPreroll_) shift->Present(sample, false);
  gst_sample_unref(sample);
  return GST_FLOW_OK;
}

void TimeShift::Present(GstSample* sample, bool track) {
  GstBuffer* buffer = gst_sample_get_buffer(sample);
  GstVideoInfo info;
  GstVideoFrame vframe;
  if (!buffer || !gst_video_info_from_caps(&info, gst_sample_get_caps(sample)) ||
      !gst_video_frame_map(&vframe, &info, buffer, GST_MAP_READ)) {
    return;
  }
  VideoFrameI420 frame;
  frame.width = GST_VIDEO_INFO_WIDTH(&info);
  frame.height = GST_VIDEO_INFO_HEIGHT(&info);
  if (GST_BUFFER_PTS_IS_VALID(buffer)) {
    GstSegment* segment = gst_sample_get_segment(sample);
    const guint64 stream = gst_segment_to_stream_time(segment, GST_FORMAT_TIME, GST_BUFFER_PTS(buffer));
    frame.ptsNs = static_cast<std::int64_t>(GST_BUFFER_PTS(buffer));
    if (track && stream != GST_CLOCK_TIME_NONE) {
      const std::int64_t into = (static_cast<std::int64_t>(stream) - readerBaseNs_) / 1000000;
      positionMs_ = readerSegmentStartMs_ + std::max<std::int64_t>(0, into);
    }
  }
  const int cw = (frame.width + 1) / 2;
  const int ch = (frame.height + 1) / 2;
  frame.data.resize(static_cast<std::size_t>(frame.width) * frame.height + 2u * cw * ch);
  std::uint8_t* out = frame.data.data();
  for (int plane = 0; plane < 3; ++plane) {
    const int w = plane == 0 ? frame.width : cw;
    const int h = plane == 0 ? frame.height : ch;
    const auto* in = static_cast<const std::uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&vframe, plane));
    const int stride = GST_VIDEO_FRAME_PLANE_STRIDE(&vframe, plane);
    for (int y = 0; y < h; ++y) std::memcpy(out + static_cast<std::size_t>(y) * w, in + static_cast<std::size_t>(y) * stride, w);
    out += static_cast<std::size_t>(w) * h;
  }
  gst_video_frame_unmap(&vframe);
  if (presenter_) presenter_(frame);
}

// The end of a segment: the worker moves on to the next one.
void TimeShift::OnEos(GstElement*, void* self) {
  auto* shift = static_cast<TimeShift*>(self);
  {
    std::lock_guard lock(shift->wakeMutex_);
    shift->segmentEnded_ = true;
  }
  shift->wake_.notify_all();
}

void TimeShift::ReaderLoop() {
  std::unique_lock lock(wakeMutex_);
  for (;;) {
    // A scan jumps on a beat; otherwise the worker waits for a segment's end.
    if (rate_ != 1.0) {
      wake_.wait_for(lock, std::chrono::milliseconds(kScanStepMs), [&] { return quit_ || segmentEnded_; });
    } else {
      wake_.wait(lock, [&] { return quit_ || segmentEnded_ || rate_ != 1.0; });
    }
    if (quit_) return;
    if (rate_ != 1.0) {
      segmentEnded_ = false;
      lock.unlock();
      ScanStep();
      lock.lock();
      continue;
    }
    if (!segmentEnded_) continue;
    segmentEnded_ = false;
    // Paused: the replay stays where it is; Play goes on from there.
    if (paused_) {
      endedWhilePaused_ = true;
      continue;
    }
    lock.unlock();
    // Continue just past where the ended segment stopped; at live, show live.
    const std::int64_t next = positionMs_ + 40;
    if (next >= LivePosition() - 200) {
      StopReader();
      replaying_ = false;
    } else {
      StartReader(next, paused_);
    }
    lock.lock();
  }
}

}  // namespace tvrec
