#include "tests/engines/capture/radiodeck/media_probe.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/pbutils/pbutils.h>

#include <cmath>
#include <cstring>

namespace radio_test {

FileFacts Discover(const std::string& path) {
  FileFacts facts;
  gst_init(nullptr, nullptr);
  GError* error = nullptr;
  GstDiscoverer* discoverer = gst_discoverer_new(10 * GST_SECOND, &error);
  if (!discoverer) {
    if (error) g_error_free(error);
    return facts;
  }
  gchar* uri = gst_filename_to_uri(path.c_str(), nullptr);
  GstDiscovererInfo* info = gst_discoverer_discover_uri(discoverer, uri, &error);
  g_free(uri);
  if (error) g_error_free(error);
  if (info && gst_discoverer_info_get_result(info) == GST_DISCOVERER_OK) {
    facts.seconds = static_cast<double>(gst_discoverer_info_get_duration(info)) / GST_SECOND;
    GList* audio = gst_discoverer_info_get_audio_streams(info);
    if (audio) {
      auto* stream = GST_DISCOVERER_AUDIO_INFO(audio->data);
      facts.rate = static_cast<int>(gst_discoverer_audio_info_get_sample_rate(stream));
      facts.channels = static_cast<int>(gst_discoverer_audio_info_get_channels(stream));
      facts.bitrate = gst_discoverer_audio_info_get_bitrate(stream);
      if (GstCaps* caps = gst_discoverer_stream_info_get_caps(GST_DISCOVERER_STREAM_INFO(stream))) {
        facts.codec = gst_structure_get_name(gst_caps_get_structure(caps, 0));
        gint version = 0;
        if (gst_structure_get_int(gst_caps_get_structure(caps, 0), "wmaversion", &version)) {
          facts.codec += ",wmaversion=" + std::to_string(version);
        }
        gint layer = 0;
        if (gst_structure_get_int(gst_caps_get_structure(caps, 0), "layer", &layer)) {
          facts.codec += ",layer=" + std::to_string(layer);
        }
        gst_caps_unref(caps);
      }
      facts.ok = true;
    }
    gst_discoverer_stream_info_list_free(audio);
  }
  if (info) gst_discoverer_info_unref(info);
  g_object_unref(discoverer);
  return facts;
}

std::vector<float> DecodeSamples(const std::string& path, int rate) {
  std::vector<float> samples;
  gst_init(nullptr, nullptr);
  const std::string description = "filesrc name=src ! decodebin ! audioconvert ! audioresample ! "
                                  "audio/x-raw,format=F32LE,channels=1,rate=" +
                                  std::to_string(rate) + " ! appsink name=out sync=false";
  GstElement* pipeline = gst_parse_launch(description.c_str(), nullptr);
  if (!pipeline) return samples;
  GstElement* src = gst_bin_get_by_name(GST_BIN(pipeline), "src");
  g_object_set(src, "location", path.c_str(), nullptr);
  gst_object_unref(src);
  GstElement* out = gst_bin_get_by_name(GST_BIN(pipeline), "out");
  gst_element_set_state(pipeline, GST_STATE_PLAYING);
  while (GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(out), 10 * GST_SECOND)) {
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstMapInfo map;
    if (gst_buffer_map(buffer, &map, GST_MAP_READ)) {
      const std::size_t n = map.size / sizeof(float);
      const std::size_t at = samples.size();
      samples.resize(at + n);
      std::memcpy(samples.data() + at, map.data, n * sizeof(float));
      gst_buffer_unmap(buffer, &map);
    }
    gst_sample_unref(sample);
  }
  gst_element_set_state(pipeline, GST_STATE_NULL);
  gst_object_unref(out);
  gst_object_unref(pipeline);
  return samples;
}

int DominantTone(const std::vector<float>& samples, int rate, const std::vector<int>& candidates) {
  int best = 0;
  double bestPower = -1;
  for (const int hz : candidates) {
    const double coefficient = 2 * std::cos(2 * M_PI * hz / rate);
    double s1 = 0;
    double s2 = 0;
    for (const float x : samples) {
      const double s = x + coefficient * s1 - s2;
      s2 = s1;
      s1 = s;
    }
    const double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
    if (power > bestPower) {
      bestPower = power;
      best = hz;
    }
  }
  return best;
}

}  // namespace radio_test
