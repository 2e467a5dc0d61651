// The music library: one SQLite database file (write-ahead log) holding the
// media found on the disks with their tags, and the playlists. Every thread
// that works on the library opens its own MediaLibrary on the same file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engines/playback/wmhost/player/playlist.h"

struct sqlite3;

namespace wmhost {

struct LibraryPlaylist {
  std::int64_t id = 0;
  std::string name;
  bool isAuto = false;
};

// "<settings folder>/MediaLibrary.db"; the settings folder is
// "$XDG_DATA_HOME/Marivel" (default "~/.local/share/Marivel").
std::string DefaultLibraryPath();

// The album's collection id, the same for every track of an album on every
// run: a GUID text derived from the album title and its artist.
std::string CollectionIdFor(std::string_view album, std::string_view albumArtist);

// Extensions of the audio files the library takes.
bool IsAudioFileName(const std::string& path);

class MediaLibrary {
 public:
  // Opens or creates the database (and its folder); null with the reason on failure.
  static std::unique_ptr<MediaLibrary> Open(const std::string& path, std::string* error);
  ~MediaLibrary();
  MediaLibrary(const MediaLibrary&) = delete;
  MediaLibrary& operator=(const MediaLibrary&) = delete;

  // Adds an audio file (tags and duration read with TagLib) or imports a
  // playlist file as a static playlist of the audio files it names. A file
  // already in the library whose size and modification time are unchanged
  // is not read again. Returns false with the reason when nothing was added.
  bool addFile(const std::string& path, std::string* error = nullptr);
  // The library's item for a source URL, or null.
  MediaItemPtr item(const std::string& sourceUrl);

  // Every medium whose attribute equals `value` (exact), ordered by artist,
  // album, track number and name. Attributes: MediaType, AlbumID, Album,
  // Author, Artist, Genre, Name, Title, SourceURL, WM/WMCollectionID,
  // ReleaseDate. Unknown attributes give an empty list.
  PlaylistPtr getByAttribute(std::string_view attribute, const std::string& value);
  // The distinct non-empty values of an attribute among media of a type,
  // sorted without case.
  std::vector<std::string> attributeStrings(std::string_view attribute, const std::string& mediaType);
  std::size_t mediaCount();

  // Every playlist, ordered by name.
  std::vector<LibraryPlaylist> playlists();
  // A playlist's items with its "PlaylistType"; null for an unknown id.
  PlaylistPtr playlist(std::int64_t id);
  // A static playlist of library media (ids), or an auto playlist whose
  // items are the media with `attribute` = `value`; returns the new id, 0
  // when refused.
  std::int64_t createStaticPlaylist(const std::string& name, const std::vector<std::int64_t>& mediaIds);
  std::int64_t createAutoPlaylist(const std::string& name, std::string_view attribute, const std::string& value);

 private:
  MediaLibrary() = default;
  bool addAudioFile(const std::string& path, std::string* error, std::int64_t* id);
  bool importPlaylistFile(const std::string& path, std::string* error);
  bool exec(const char* sql, std::string* error = nullptr);
  PlaylistPtr query(const std::string& whereSql, const std::string& value);

  sqlite3* db_ = nullptr;
};

}  // namespace wmhost
