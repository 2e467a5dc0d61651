#include "engines/playback/wmhost/library/cd_toc.h"

#include <cdio/cdio.h>
#include <cdio/cdtext.h>
#include <cdio/logging.h>

#include <memory>

namespace wmhost {

namespace {

constexpr double kSectorsPerSecond = 75.0;

struct CdioCloser {
  void operator()(CdIo_t* cdio) const { cdio_destroy(cdio); }
};

std::string CdText(cdtext_t* text, cdtext_field_t field, track_t track) {
  if (!text) return {};
  const char* value = cdtext_get_const(text, field, track);
  return value ? value : "";
}

}  // namespace

std::optional<CdTableOfContents> ReadCdTableOfContents(const std::string& device, std::string* error) {
  // libcdio logs to stderr by default; a missing disc is no news.
  static const bool quiet = [] {
    cdio_loglevel_default = CDIO_LOG_ERROR;
    return true;
  }();
  (void)quiet;
  std::unique_ptr<CdIo_t, CdioCloser> cdio(cdio_open(device.c_str(), DRIVER_UNKNOWN));
  if (!cdio) {
    if (error) *error = "no disc in " + device;
    return std::nullopt;
  }
  const track_t first = cdio_get_first_track_num(cdio.get());
  const track_t count = cdio_get_num_tracks(cdio.get());
  if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0) {
    if (error) *error = "no table of contents on " + device;
    return std::nullopt;
  }
  CdTableOfContents toc;
  cdtext_t* text = cdio_get_cdtext(cdio.get());
  toc.title = CdText(text, CDTEXT_FIELD_TITLE, 0);
  toc.performer = CdText(text, CDTEXT_FIELD_PERFORMER, 0);
  for (track_t number = first; number < first + count; ++number) {
    CdTrack track;
    track.number = number;
    track.audio = cdio_get_track_format(cdio.get(), number) == TRACK_FORMAT_AUDIO;
    const lsn_t start = cdio_get_track_lsn(cdio.get(), number);
    track.startSector = start == CDIO_INVALID_LSN ? 0 : static_cast<unsigned>(start);
    track.sectors = cdio_get_track_sec_count(cdio.get(), number);
    track.seconds = track.sectors / kSectorsPerSecond;
    track.title = CdText(text, CDTEXT_FIELD_TITLE, number);
    track.performer = CdText(text, CDTEXT_FIELD_PERFORMER, number);
    toc.tracks.push_back(std::move(track));
  }
  return toc;
}

}  // namespace wmhost
