#include "tests/engines/playback/wmhost/media_fixtures.h"

#include <gst/gst.h>
#include <stdlib.h>
#include <taglib/fileref.h>
#include <taglib/tag.h>
#include <taglib/tpropertymap.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "engines/playback/wmhost/player/media_player.h"

// GStreamer and GLib keep type and plugin registries for the life of the
// process on purpose; they are not leaks of the code under test. Nor is the
// client context the PulseAudio device provider keeps when no sound server
// answers (audio inputs are looked up through the device monitor).
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libgstreamer-1.0\nleak:libglib-2.0\nleak:libgobject-2.0\nleak:libgstbase-1.0\n"
         "leak:libgstaudio-1.0\nleak:libgstvideo-1.0\nleak:libgstpbutils-1.0\nleak:libgsttag-1.0\n"
         "leak:/usr/lib/x86_64-linux-gnu/gstreamer-1.0/\nleak:libgstapp-1.0\nleak:liborc\nleak:libpulse.so\n"
         // Programs that scan from SANE's test backend (the Photo controller's
         // acquisition tests) or draw text link this list too; see
         // platform/gdi/font_leak_suppression.cpp.
         "leak:libsane-test.so\nleak:libfontconfig.so\n";
}

namespace wmhost_test {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
  std::string pattern = (fs::temp_directory_path() / "wmhost-test-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code failure;
  fs::remove_all(path_, failure);
}

bool WriteTone(const std::string& path, AudioFormat format, double seconds, int frequency) {
  if (!wmhost::InitializeGStreamer()) return false;
  const int buffers = std::max(1, static_cast<int>(std::lround(seconds * 10)));
  const std::string encoder = format == AudioFormat::Wav ? "wavenc" : "lamemp3enc target=bitrate bitrate=64 ! xingmux";
  const std::string description = "audiotestsrc num-buffers=" + std::to_string(buffers) +
                                  " samplesperbuffer=4410 freq=" + std::to_string(frequency) +
                                  " ! audio/x-raw,format=S16LE,rate=44100,channels=2 ! audioconvert ! " + encoder +
                                  " ! filesink name=sink";
  GError* failure = nullptr;
  GstElement* pipeline = gst_parse_launch(description.c_str(), &failure);
  if (!pipeline) {
    if (failure) g_error_free(failure);
    return false;
  }
  GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), "sink");
  g_object_set(sink, "location", path.c_str(), nullptr);
  gst_object_unref(sink);
  gst_element_set_state(pipeline, GST_STATE_PLAYING);
  GstBus* bus = gst_element_get_bus(pipeline);
  GstMessage* message = gst_bus_timed_pop_filtered(bus, 20 * GST_SECOND,
                                                   static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
  const bool ok = message && GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS;
  if (message) gst_message_unref(message);
  gst_object_unref(bus);
  gst_element_set_state(pipeline, GST_STATE_NULL);
  gst_object_unref(pipeline);
  return ok;
}

bool WriteTags(const std::string& path, const TagValues& values) {
  TagLib::FileRef file(path.c_str(), false);
  if (file.isNull() || !file.tag()) return false;
  TagLib::Tag* tag = file.tag();
  tag->setTitle(TagLib::String(values.title, TagLib::String::UTF8));
  tag->setArtist(TagLib::String(values.artist, TagLib::String::UTF8));
  tag->setAlbum(TagLib::String(values.album, TagLib::String::UTF8));
  tag->setGenre(TagLib::String(values.genre, TagLib::String::UTF8));
  tag->setYear(values.year);
  tag->setTrack(values.track);
  return file.save();
}

void WriteBytes(const std::string& path, std::uint64_t bytes) {
  std::ofstream out(path, std::ios::binary);
  const std::string block(4096, 'x');
  while (bytes > 0) {
    const std::size_t chunk = static_cast<std::size_t>(std::min<std::uint64_t>(bytes, block.size()));
    out.write(block.data(), static_cast<std::streamsize>(chunk));
    bytes -= chunk;
  }
}

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string WriteCdImage(const std::string& folder, const std::string& discTitle, const std::string& discPerformer,
                         const std::vector<CueTrack>& tracks) {
  constexpr int kSectorBytes = 2352;
  std::string cue = "PERFORMER \"" + discPerformer + "\"\nTITLE \"" + discTitle + "\"\nFILE \"disc.bin\" BINARY\n";
  long sector = 0;
  std::ofstream bin(folder + "/disc.bin", std::ios::binary);
  const std::string silence(kSectorBytes, '\0');
  for (std::size_t i = 0; i < tracks.size(); ++i) {
    char number[24];
    std::snprintf(number, sizeof number, "%02zu", i + 1);
    char index[64];
    std::snprintf(index, sizeof index, "%02ld:%02ld:%02ld", sector / (75 * 60), (sector / 75) % 60, sector % 75);
    cue += std::string("  TRACK ") + number + " AUDIO\n";
    if (!tracks[i].title.empty()) cue += "    TITLE \"" + tracks[i].title + "\"\n";
    if (!tracks[i].performer.empty()) cue += "    PERFORMER \"" + tracks[i].performer + "\"\n";
    cue += std::string("    INDEX 01 ") + index + "\n";
    const long sectors = std::lround(tracks[i].seconds * 75);
    for (long s = 0; s < sectors; ++s) bin.write(silence.data(), kSectorBytes);
    sector += sectors;
  }
  const std::string cuePath = folder + "/disc.cue";
  WriteText(cuePath, cue);
  return cuePath;
}

}  // namespace wmhost_test
