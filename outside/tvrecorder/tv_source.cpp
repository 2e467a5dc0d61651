#include "outside/tvrecorder/tv_source.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>

#include <cstring>
#include <mutex>

#include "platform/sys/module_pin.h"

namespace tvrec {

namespace {

constexpr int kSnowPattern = 1;
constexpr int kSineWave = 0;
constexpr int kWhiteNoise = 5;

bool EnsureGst(std::string& error) {
  static std::once_flag once;
  static bool ok = false;
  std::call_once(once, [] {
    ok = gst_init_check(nullptr, nullptr, nullptr);
    // GStreamer's threads and state outlive any one recorder: the module
    // that started it stays loaded.
    if (ok) plat::KeepModuleLoaded(reinterpret_cast<const void*>(&EnsureGst));
  });
  if (!ok) error = "GStreamer cannot start";
  return ok;
}

GstElement* Make(const char* factory, const char* name, std::string& error) {
  GstElement* e = gst_element_factory_make(factory, name);
  if (!e) error += std::string(error.empty() ? "missing element: " : " ") + factory;
  return e;
}

}  // namespace

SourceFormat FormatForStandard(int standardFlag) {
  if (standardFlag == 0x1 || standardFlag == 0x2 || standardFlag == 0x4 || standardFlag == 0x200) {
    return SourceFormat{720, 480, 30000, 1001};
  }
  return SourceFormat{};
}

TvSource::TvSource(std::shared_ptr<plat::tv::VirtualTuner> tuner) : tuner_(std::move(tuner)) {}

TvSource::TvSource(CaptureDevice device) : device_(std::move(device)) {}

TvSource::~TvSource() { Stop(); }

bool TvSource::running() const { return pipeline_ != nullptr; }

// Each runs on its source's streaming thread after the source made a buffer
// and before it makes the next, the one moment its settings may change.
struct TvSource::Probes {
  static GstPadProbeReturn Picture(GstPad*, GstPadProbeInfo*, gpointer self) {
    auto* source = static_cast<TvSource*>(self);
    const std::uint64_t serial = source->tuningSerial_.load();
    if (serial != source->pictureSerial_) {
      source->pictureSerial_ = serial;
      source->ApplyPicture(source->PendingTuning());
    }
    return GST_PAD_PROBE_OK;
  }
  static GstPadProbeReturn Sound(GstPad*, GstPadProbeInfo*, gpointer self) {
    auto* source = static_cast<TvSource*>(self);
    const std::uint64_t serial = source->tuningSerial_.load();
    if (serial != source->soundSerial_) {
      source->soundSerial_ = serial;
      source->ApplySound(source->PendingTuning());
    }
    return GST_PAD_PROBE_OK;
  }
};

bool TvSource::Start(const SourceFormat& format) {
  Stop();
  error_.clear();
  if (!EnsureGst(error_)) return false;
  format_ = format;
  GstElement* pipeline = gst_pipeline_new("tv-source");
  // The heads: the virtual station's test picture with its name and a clock
  // and its tone, or a capture card's picture scaled to the standard's
  // format and its sound card (silence without one).
  std::vector<GstElement*> video;
  std::vector<GstElement*> sound;
  GstElement* text = nullptr;
  if (tuner_) {
    video = {Make("videotestsrc", "picture", error_), Make("capsfilter", "size", error_),
             text = Make("textoverlay", "name", error_), Make("clockoverlay", nullptr, error_)};
    sound = {Make("audiotestsrc", "sound", error_)};
  } else {
    video = {Make("v4l2src", "picture", error_), Make("videoconvert", nullptr, error_),
             Make("videoscale", nullptr, error_), Make("videorate", nullptr, error_),
             Make("capsfilter", "size", error_)};
    if (device_.audio.empty()) {
      sound = {Make("audiotestsrc", "sound", error_)};
    } else {
      sound = {Make("alsasrc", "sound", error_), Make("audioconvert", nullptr, error_),
               Make("audioresample", nullptr, error_)};
    }
  }
  GstElement* vconv = Make("videoconvert", nullptr, error_);
  GstElement* vout = Make("capsfilter", nullptr, error_);
  GstElement* vsink = Make("appsink", "video", error_);
  GstElement* acaps = Make("capsfilter", nullptr, error_);
  GstElement* asink = Make("appsink", "audio", error_);
  video.insert(video.end(), {vconv, vout, vsink});
  sound.insert(sound.end(), {acaps, asink});
  bool complete = pipeline != nullptr;
  for (GstElement* e : video) complete = complete && e;
  for (GstElement* e : sound) complete = complete && e;
  if (!complete) {
    for (GstElement* e : video) {
      if (e) gst_object_unref(e);
    }
    for (GstElement* e : sound) {
      if (e) gst_object_unref(e);
    }
    if (pipeline) gst_object_unref(pipeline);
    return false;
  }
  GstElement* vsrc = video.front();
  GstElement* asrc = sound.front();
  if (tuner_) {
    g_object_set(vsrc, "is-live", TRUE, nullptr);
    g_object_set(text, "valignment", 2 /* top */, "halignment", 0 /* left */, "font-desc", "Sans 28", nullptr);
    g_object_set(video[3], "valignment", 1 /* bottom */, "halignment", 2 /* right */, "time-format", "%H:%M:%S",
                 "font-desc", "Sans 20", nullptr);
  } else {
    g_object_set(vsrc, "device", device_.video.c_str(), nullptr);
    if (!device_.audio.empty()) g_object_set(asrc, "device", device_.audio.c_str(), nullptr);
  }
  if (!tuner_ && device_.audio.empty()) g_object_set(asrc, "wave", 4 /* silence */, nullptr);
  if (g_object_class_find_property(G_OBJECT_GET_CLASS(asrc), "samplesperbuffer")) {
    g_object_set(asrc, "is-live", TRUE, "samplesperbuffer", kAudioRate / 25, nullptr);
  }
  GstCaps* caps = gst_caps_new_simple("video/x-raw", "width", G_TYPE_INT, format.width, "height", G_TYPE_INT,
                                      format.height, "framerate", GST_TYPE_FRACTION, format.fpsNum, format.fpsDen,
                                      nullptr);
  for (GstElement* e : video) {
    if (std::strcmp(GST_OBJECT_NAME(e), "size") == 0) g_object_set(e, "caps", caps, nullptr);
  }
  gst_caps_unref(caps);
  caps = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "I420", nullptr);
  g_object_set(vout, "caps", caps, nullptr);
  gst_caps_unref(caps);
  caps = gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING, "S16LE", "rate", G_TYPE_INT, kAudioRate,
                             "channels", G_TYPE_INT, 2, "layout", G_TYPE_STRING, "interleaved", nullptr);
  g_object_set(acaps, "caps", caps, nullptr);
  gst_caps_unref(caps);
  // Every frame and every sample goes to the consumers: recordings lose nothing.
  for (GstElement* sink : {vsink, asink}) {
    g_object_set(sink, "emit-signals", TRUE, "sync", TRUE, "max-buffers", 50u, "drop", FALSE, nullptr);
  }
  g_signal_connect(vsink, "new-sample", G_CALLBACK(&TvSource::OnVideoSample), this);
  g_signal_connect(asink, "new-sample", G_CALLBACK(&TvSource::OnAudioSample), this);
  bool linked = true;
  for (auto* chain : {&video, &sound}) {
    for (std::size_t i = 0; i < chain->size(); ++i) {
      gst_bin_add(GST_BIN(pipeline), (*chain)[i]);
      if (i > 0) linked = linked && gst_element_link((*chain)[i - 1], (*chain)[i]);
    }
  }
  if (!linked) {
    error_ = "cannot link the source";
    gst_object_unref(pipeline);
    return false;
  }
  pipeline_ = pipeline;
  video_ = vsrc;
  text_ = text;
  audio_ = asrc;
  if (tuner_) {
    // Not streaming yet: the first tuning goes straight to the elements;
    // later ones wait for the streaming threads (see Probes).
    {
      std::lock_guard lock(tuningMutex_);
      tuning_ = TuningNow();
      pictureSerial_ = soundSerial_ = ++tuningSerial_;
    }
    ApplyPicture(tuning_);
    ApplySound(tuning_);
    for (auto [element, probe] : {std::pair{vsrc, &Probes::Picture}, std::pair{asrc, &Probes::Sound}}) {
      GstPad* pad = gst_element_get_static_pad(element, "src");
      gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BUFFER, probe, this, nullptr);
      gst_object_unref(pad);
    }
  }
  if (gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
    error_ = "the source does not play";
    Stop();
    return false;
  }
  return true;
}

void TvSource::Stop() {
  if (!pipeline_) return;
  gst_element_set_state(pipeline_, GST_STATE_NULL);
  gst_object_unref(pipeline_);
  pipeline_ = nullptr;
  video_ = text_ = audio_ = nullptr;
}

TvSource::Tuning TvSource::TuningNow() const {
  Tuning tuning;
  const auto station = tuner_->Station();
  const int signal = tuner_->Signal();
  if (station && signal > 0 && tuner_->Input() == 0) {
    tuning.pattern = station->pattern;
    tuning.text = station->name;
    tuning.wave = kSineWave;
    tuning.freq = static_cast<double>(station->toneHz);
    tuning.volume = 0.5 * signal / 65535.0;
  } else {
    tuning.pattern = kSnowPattern;
    tuning.wave = kWhiteNoise;
    tuning.volume = 0.03;
  }
  return tuning;
}

void TvSource::ApplyPicture(const Tuning& tuning) {
  g_object_set(video_, "pattern", tuning.pattern, nullptr);
  g_object_set(text_, "text", tuning.text.c_str(), "silent", tuning.text.empty() ? TRUE : FALSE, nullptr);
}

void TvSource::ApplySound(const Tuning& tuning) {
  g_object_set(audio_, "wave", tuning.wave, "freq", tuning.freq, "volume", tuning.volume, nullptr);
}

TvSource::Tuning TvSource::PendingTuning() {
  std::lock_guard lock(tuningMutex_);
  return tuning_;
}

void TvSource::Retune() {
  // A capture card is tuned through its driver; its picture follows by itself.
  if (!pipeline_ || !tuner_) return;
  std::lock_guard lock(tuningMutex_);
  tuning_ = TuningNow();
  ++tuningSerial_;
}

int TvSource::AddVideoConsumer(VideoConsumer consumer) {
  std::lock_guard lock(mutex_);
  videoConsumers_.emplace_back(nextId_, std::move(consumer));
  return nextId_++;
}

int TvSource::AddAudioConsumer(AudioConsumer consumer) {
  std::lock_guard lock(mutex_);
  audioConsumers_.emplace_back(nextId_, std::move(consumer));
  return nextId_++;
}

void TvSource::RemoveConsumer(int id) {
  std::lock_guard lock(mutex_);
  std::erase_if(videoConsumers_, [id](const auto& c) { return c.first == id; });
  std::erase_if(audioConsumers_, [id](const auto& c) { return c.first == id; });
}

int TvSource::OnVideoSample(GstElement* sink, void* self) {
  auto* source = static_cast<TvSource*>(self);
  GstSample* sample = gst_app_sink_pull_sample(GST_APP_SINK(sink));
  if (!sample) return GST_FLOW_OK;
  GstBuffer* buffer = gst_sample_get_buffer(sample);
  GstVideoInfo info;
  GstVideoFrame vframe;
  if (buffer && gst_video_info_from_caps(&info, gst_sample_get_caps(sample)) &&
      gst_video_frame_map(&vframe, &info, buffer, GST_MAP_READ)) {
    VideoFrameI420 frame;
    frame.width = GST_VIDEO_INFO_WIDTH(&info);
    frame.height = GST_VIDEO_INFO_HEIGHT(&info);
    frame.ptsNs = GST_BUFFER_PTS_IS_VALID(buffer) ? static_cast<std::int64_t>(GST_BUFFER_PTS(buffer)) : 0;
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
    std::lock_guard lock(source->mutex_);
    for (const auto& [id, consumer] : source->videoConsumers_) consumer(frame);
  }
  gst_sample_unref(sample);
  return GST_FLOW_OK;
}

int TvSource::OnAudioSample(GstElement* sink, void* self) {
  auto* source = static_cast<TvSource*>(self);
  GstSample* sample = gst_app_sink_pull_sample(GST_APP_SINK(sink));
  if (!sample) return GST_FLOW_OK;
  GstBuffer* buffer = gst_sample_get_buffer(sample);
  GstMapInfo map;
  if (buffer && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
    AudioChunk chunk;
    chunk.ptsNs = GST_BUFFER_PTS_IS_VALID(buffer) ? static_cast<std::int64_t>(GST_BUFFER_PTS(buffer)) : 0;
    chunk.samples.resize(map.size / sizeof(std::int16_t));
    std::memcpy(chunk.samples.data(), map.data, chunk.samples.size() * sizeof(std::int16_t));
    gst_buffer_unmap(buffer, &map);
    std::lock_guard lock(source->mutex_);
    for (const auto& [id, consumer] : source->audioConsumers_) consumer(chunk);
  }
  gst_sample_unref(sample);
  return GST_FLOW_OK;
}

}  // namespace tvrec
