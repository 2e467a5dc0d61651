#include "outside/authoring/audio_cd.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include <cstdio>
#include <fstream>

#include "platform/media/gstreamer.h"

namespace authoring {
namespace {

using plat::media::GstPtr;

// A pipeline that decodes one file to CD-DA samples into an appsink. Built
// element by element: the file name is a property, never pipeline text.
class CdDecoder {
 public:
  explicit CdDecoder(const std::string& path) {
    pipeline_.reset(gst_pipeline_new("cd-decode"));
    GstElement* src = gst_element_factory_make("filesrc", nullptr);
    GstElement* decode = gst_element_factory_make("decodebin", nullptr);
    convert_ = gst_element_factory_make("audioconvert", nullptr);
    GstElement* resample = gst_element_factory_make("audioresample", nullptr);
    GstElement* filter = gst_element_factory_make("capsfilter", nullptr);
    sink_ = gst_element_factory_make("appsink", nullptr);
    if (!pipeline_ || !src || !decode || !convert_ || !resample || !filter || !sink_) return;
    g_object_set(src, "location", path.c_str(), nullptr);
    GstCaps* caps = gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING, "S16LE", "rate", G_TYPE_INT, 44100,
                                        "channels", G_TYPE_INT, 2, "layout", G_TYPE_STRING, "interleaved", nullptr);
    g_object_set(filter, "caps", caps, nullptr);
    gst_caps_unref(caps);
    g_object_set(sink_, "sync", FALSE, "max-buffers", 64, nullptr);
    gst_bin_add_many(GST_BIN(pipeline_.get()), src, decode, convert_, resample, filter, sink_, nullptr);
    if (!gst_element_link(src, decode) || !gst_element_link_many(convert_, resample, filter, sink_, nullptr)) return;
    g_signal_connect(decode, "pad-added", G_CALLBACK(&CdDecoder::OnPad), this);
    ok_ = true;
  }
  ~CdDecoder() {
    if (pipeline_) gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
  }
  CdDecoder(const CdDecoder&) = delete;
  CdDecoder& operator=(const CdDecoder&) = delete;

  // Streams the samples to `out`; false when the file cannot be decoded or
  // gave no sound.
  bool Run(std::ofstream& out, std::int64_t* bytes, const JobControl& control, int trackIndex, int trackCount) {
    *bytes = 0;
    if (!ok_ || gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) return false;
    GstAppSink* sink = GST_APP_SINK(sink_);
    GstPtr<GstBus> bus(gst_element_get_bus(pipeline_.get()));
    for (;;) {
      if (control.Cancelled()) return false;
      GstSample* sample = gst_app_sink_try_pull_sample(sink, 100 * GST_MSECOND);
      if (sample) {
        GstBuffer* buffer = gst_sample_get_buffer(sample);
        GstMapInfo map;
        if (buffer && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
          out.write(reinterpret_cast<const char*>(map.data), static_cast<std::streamsize>(map.size));
          *bytes += static_cast<std::int64_t>(map.size);
          gst_buffer_unmap(buffer, &map);
        }
        gst_sample_unref(sample);
        if (!out) return false;
        ReportProgress(control, trackIndex, trackCount, *bytes);
        continue;
      }
      if (gst_app_sink_is_eos(sink)) return *bytes > 0;
      // No sample yet: an error on the bus ends the decode.
      GstMessage* message = gst_bus_pop_filtered(bus.get(), GST_MESSAGE_ERROR);
      if (message) {
        gst_message_unref(message);
        return false;
      }
    }
  }

 private:
  static void OnPad(GstElement*, GstPad* pad, gpointer user) {
    auto* self = static_cast<CdDecoder*>(user);
    GstPtr<GstPad> sinkPad(gst_element_get_static_pad(self->convert_, "sink"));
    if (gst_pad_is_linked(sinkPad.get())) return;
    GstCaps* caps = gst_pad_get_current_caps(pad);
    if (!caps) caps = gst_pad_query_caps(pad, nullptr);
    const bool audio = caps && gst_caps_get_size(caps) > 0 &&
                       g_str_has_prefix(gst_structure_get_name(gst_caps_get_structure(caps, 0)), "audio/");
    if (caps) gst_caps_unref(caps);
    if (audio) gst_pad_link(pad, sinkPad.get());
  }

  void ReportProgress(const JobControl& control, int trackIndex, int trackCount, std::int64_t bytes) {
    gint64 position = 0;
    gint64 duration = 0;
    int within = 0;
    if (gst_element_query_position(pipeline_.get(), GST_FORMAT_TIME, &position) &&
        gst_element_query_duration(pipeline_.get(), GST_FORMAT_TIME, &duration) && duration > 0) {
      within = static_cast<int>(100 * std::min(position, duration) / duration);
    }
    const int percent = (100 * trackIndex + within) / std::max(1, trackCount);
    control.Report(kAuthoringStageTranscoding, std::min(percent, 99), bytes);
  }

  GstPtr<GstElement> pipeline_;
  GstElement* convert_ = nullptr;
  GstElement* sink_ = nullptr;
  bool ok_ = false;
};

}  // namespace

plat::HRESULT DecodeToCdAudio(const std::vector<std::string>& files, const std::string& binPath,
                              const JobControl& control, CdLayout* layout, int* failed) {
  *failed = -1;
  *layout = CdLayout{};
  if (!plat::media::InitializeGStreamer()) return plat::E_FAIL;
  std::ofstream out(binPath, std::ios::binary | std::ios::trunc);
  if (!out) return plat::E_FAIL;
  for (std::size_t i = 0; i < files.size(); ++i) {
    layout->trackStarts.push_back(layout->sectors);
    std::int64_t bytes = 0;
    CdDecoder decoder(files[i]);
    const bool ok = decoder.Run(out, &bytes, control, static_cast<int>(i), static_cast<int>(files.size()));
    if (control.Cancelled()) return plat::E_ABORT;
    if (!ok) {
      *failed = static_cast<int>(i);
      return plat::HRESULT_FROM_WIN32(13);  // ERROR_INVALID_DATA
    }
    // Pad the track with silence to a whole sector.
    const std::int64_t pad = (kCdSectorBytes - bytes % kCdSectorBytes) % kCdSectorBytes;
    static const char kZero[kCdSectorBytes] = {};
    out.write(kZero, static_cast<std::streamsize>(pad));
    layout->sectors += (bytes + pad) / kCdSectorBytes;
  }
  out.flush();
  return out ? plat::S_OK : plat::E_FAIL;
}

std::string CueTime(std::int64_t sectors) {
  char text[64];
  std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(sectors / (60 * kCdSectorsPerSecond)),
                static_cast<long long>(sectors / kCdSectorsPerSecond % 60),
                static_cast<long long>(sectors % kCdSectorsPerSecond));
  return text;
}

std::string AudioCueSheet(const std::string& binName, const CdLayout& layout) {
  std::string cue = "FILE \"" + binName + "\" BINARY\n";
  for (std::size_t i = 0; i < layout.trackStarts.size(); ++i) {
    char number[24];
    std::snprintf(number, sizeof number, "%02zu", i + 1);
    cue += std::string("  TRACK ") + number + " AUDIO\n";
    cue += "    INDEX 01 " + CueTime(layout.trackStarts[i]) + "\n";
  }
  return cue;
}

}  // namespace authoring
