#include "engines/playback/wmhost/library/tag_reader.h"

#include <taglib/fileref.h>
#include <taglib/tag.h>
#include <taglib/tpropertymap.h>

namespace wmhost {

namespace {
std::string Utf8(const TagLib::String& text) { return text.to8Bit(true); }
}  // namespace

std::optional<AudioTags> ReadAudioTags(const std::string& path) {
  TagLib::FileRef file(path.c_str(), true, TagLib::AudioProperties::Accurate);
  if (file.isNull()) return std::nullopt;
  AudioTags tags;
  if (TagLib::Tag* tag = file.tag()) {
    tags.title = Utf8(tag->title());
    tags.artist = Utf8(tag->artist());
    tags.album = Utf8(tag->album());
    tags.genre = Utf8(tag->genre());
    tags.year = tag->year();
    tags.track = tag->track();
    const TagLib::PropertyMap properties = tag->properties();
    const auto albumArtist = properties.find("ALBUMARTIST");
    if (albumArtist != properties.end() && !albumArtist->second.isEmpty()) {
      tags.albumArtist = Utf8(albumArtist->second.front());
    }
  }
  if (TagLib::AudioProperties* audio = file.audioProperties()) {
    tags.duration = audio->lengthInMilliseconds() / 1000.0;
  }
  return tags;
}

}  // namespace wmhost
