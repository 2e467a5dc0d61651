#include "engines/rip/rip_source.h"

#include <sys/stat.h>

#include <cctype>
#include <strings.h>

#include "engines/playback/wmhost/library/cd_toc.h"
#include "engines/rip/mpeg_sniff.h"
#include "platform/media/audio_inputs.h"
#include "platform/sys/drive_table.h"
// GStreamer after the platform headers: GLib defines TRUE and FALSE.
#include <gst/pbutils/pbutils.h>

#include "platform/media/gstreamer.h"

namespace rip {

plat::HRESULT ProbeMediaFile(const std::string& path) {
  if (!plat::media::InitializeGStreamer()) return kVfwInvalidMediaType;
  gchar* uri = gst_filename_to_uri(path.c_str(), nullptr);
  if (!uri) return kVfwInvalidMediaType;
  GstDiscoverer* discoverer = gst_discoverer_new(5 * GST_SECOND, nullptr);
  bool found = false;
  if (discoverer) {
    GstDiscovererInfo* info = gst_discoverer_discover_uri(discoverer, uri, nullptr);
    if (info) {
      GList* audio = gst_discoverer_info_get_audio_streams(info);
      GList* video = gst_discoverer_info_get_video_streams(info);
      found = audio || video;
      gst_discoverer_stream_info_list_free(audio);
      gst_discoverer_stream_info_list_free(video);
      gst_discoverer_info_unref(info);
    }
    g_object_unref(discoverer);
  }
  g_free(uri);
  return found ? plat::S_OK : kVfwInvalidMediaType;
}

bool ParseCdTrackPath(const std::string& path, std::string* root, int* index) {
  // "D:" then a separator (or none), "Track", two digits, ".cda".
  if (path.size() < 2 || !std::isalpha(static_cast<unsigned char>(path[0])) || path[1] != ':') return false;
  std::size_t at = 2;
  if (at < path.size() && (path[at] == '\\' || path[at] == '/')) ++at;
  const std::string name = path.substr(at);
  if (name.size() != 11 || strncasecmp(name.c_str(), "Track", 5) != 0 ||
      strcasecmp(name.c_str() + 7, ".cda") != 0 || !std::isdigit(static_cast<unsigned char>(name[5])) ||
      !std::isdigit(static_cast<unsigned char>(name[6]))) {
    return false;
  }
  const int number = (name[5] - '0') * 10 + (name[6] - '0');
  if (number < 1) return false;
  *root = path.substr(0, 2);
  *index = number;
  return true;
}

plat::HRESULT ResolveCdTrack(const std::string& path, SourceSpec* source) {
  std::string root;
  int index = 0;
  if (!ParseCdTrackPath(path, &root, &index)) return kVfwInvalidMediaType;
  const std::optional<plat::VolumeInfo> volume = plat::FindVolume(root);
  if (!volume) return kCdNotReady;
  const bool image = volume->isVirtual && !volume->image.empty();
  const std::string device = image ? volume->image : volume->device;
  struct stat info {};
  if (device.empty() || ::stat(device.c_str(), &info) != 0) return kCdNotReady;
  const auto toc = wmhost::ReadCdTableOfContents(device);
  if (!toc) return kCdNotReady;
  int audioTracks = 0;
  int discTrack = 0;
  for (const wmhost::CdTrack& track : toc->tracks) {
    if (!track.audio) continue;  // data tracks are not counted
    if (++audioTracks == index) {
      discTrack = track.number;
      break;
    }
  }
  if (audioTracks == 0) return kCdNotReady;
  if (discTrack == 0) return kFileNotFound;
  const char* factory = image ? "cdiocddasrc" : "cdparanoiasrc";
  source->kind = SourceSpec::Kind::Element;
  source->path = path;
  source->makeElement = [factory, device = toc->readerDevice, discTrack]() -> GstElement* {
    GstElement* element = gst_element_factory_make(factory, nullptr);
    if (element) g_object_set(element, "device", device.c_str(), "track", static_cast<guint>(discTrack), nullptr);
    return element;
  };
  return plat::S_OK;
}

SourceSpec FileSource(const std::string& path, bool sniff) {
  SourceSpec source;
  source.path = path;
  source.kind = SourceSpec::Kind::File;
  if (!sniff) return source;
  switch (ReadMpegStreamType(path.c_str())) {
    case kMpeg1:
    case kMpeg2:
      source.kind = SourceSpec::Kind::MpegFile;
      break;
    case kVideoCd:
      source.kind = IsVideoCdFile(path.c_str()) ? SourceSpec::Kind::VideoCd : SourceSpec::Kind::MpegFile;
      break;
    default:
      break;
  }
  return source;
}

plat::HRESULT ResolveAudioInput(const std::string& name, SourceSpec* source) {
  for (plat::media::AudioInput& input : plat::media::ListAudioInputs()) {
    // The description when the input has one, else its friendly name.
    const std::string& label = input.description.empty() ? input.friendlyName : input.description;
    if (label != name) continue;
    source->kind = SourceSpec::Kind::Element;
    source->path.clear();
    source->makeElement = std::move(input.makeElement);
    return plat::S_OK;
  }
  return kVfwNotFound;
}

}  // namespace rip
