#include "engines/playback/wmhost/library/media_library.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>

#include "engines/playback/wmhost/library/playlist_file.h"
#include "engines/playback/wmhost/library/tag_reader.h"

namespace wmhost {

namespace {

namespace fs = std::filesystem;

constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS media(
  id INTEGER PRIMARY KEY,
  source_url TEXT NOT NULL UNIQUE,
  name TEXT NOT NULL DEFAULT '',
  author TEXT NOT NULL DEFAULT '',
  album TEXT NOT NULL DEFAULT '',
  genre TEXT NOT NULL DEFAULT '',
  duration REAL NOT NULL DEFAULT 0,
  media_type TEXT NOT NULL DEFAULT 'audio',
  collection_id TEXT NOT NULL DEFAULT '',
  release_date TEXT NOT NULL DEFAULT '',
  acquisition_time TEXT NOT NULL DEFAULT '',
  track_number INTEGER NOT NULL DEFAULT 0,
  file_size INTEGER NOT NULL DEFAULT 0,
  modified INTEGER NOT NULL DEFAULT 0);
CREATE TABLE IF NOT EXISTS playlists(
  id INTEGER PRIMARY KEY,
  name TEXT NOT NULL,
  type TEXT NOT NULL CHECK(type IN ('static', 'auto')),
  source_url TEXT UNIQUE,
  query_column TEXT,
  query_value TEXT);
CREATE TABLE IF NOT EXISTS playlist_items(
  playlist_id INTEGER NOT NULL REFERENCES playlists(id) ON DELETE CASCADE,
  position INTEGER NOT NULL,
  media_id INTEGER NOT NULL REFERENCES media(id) ON DELETE CASCADE,
  PRIMARY KEY(playlist_id, position));
)sql";

constexpr const char* kItemColumns =
    "id, source_url, name, author, album, genre, duration, media_type, collection_id, release_date, "
    "acquisition_time";

// Attribute names to columns: only these names ever reach SQL text.
const char* ColumnFor(std::string_view attribute) {
  struct Mapping {
    std::string_view attribute;
    const char* column;
  };
  static constexpr Mapping kMappings[] = {
      {"MediaType", "media_type"},   {"AlbumID", "album"},       {"Album", "album"},
      {"WM/AlbumTitle", "album"},    {"Author", "author"},       {"Artist", "author"},
      {"Genre", "genre"},            {"WM/Genre", "genre"},      {"Name", "name"},
      {"Title", "name"},             {"SourceURL", "source_url"}, {"WM/WMCollectionID", "collection_id"},
      {"ReleaseDate", "release_date"}, {"AcquisitionTime", "acquisition_time"},
  };
  for (const Mapping& mapping : kMappings) {
    if (EqualsNoCase(mapping.attribute, attribute)) return mapping.column;
  }
  return nullptr;
}

// A prepared statement that finalises itself.
class Statement {
 public:
  Statement(sqlite3* db, const std::string& sql) { sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt_, nullptr); }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  explicit operator bool() const { return stmt_ != nullptr; }
  sqlite3_stmt* get() const { return stmt_; }
  Statement& bind(int index, const std::string& text) {
    sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    return *this;
  }
  Statement& bind(int index, std::int64_t value) {
    sqlite3_bind_int64(stmt_, index, value);
    return *this;
  }
  Statement& bind(int index, double value) {
    sqlite3_bind_double(stmt_, index, value);
    return *this;
  }
  int step() { return stmt_ ? sqlite3_step(stmt_) : SQLITE_MISUSE; }
  std::string text(int column) const {
    const auto* value = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return value ? std::string(value, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column))) : std::string();
  }
  // Ends a statement that was stepped only once (RETURNING), so that a
  // transaction around it can commit.
  void finish() { sqlite3_reset(stmt_); }
  std::int64_t integer(int column) const { return sqlite3_column_int64(stmt_, column); }
  double real(int column) const { return sqlite3_column_double(stmt_, column); }

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

MediaItemPtr ItemFromRow(const Statement& row) {
  auto item = std::make_shared<MediaItem>(row.text(1));
  item->setLibraryId(row.integer(0));
  item->setItemInfo(kAttrName, row.text(2));
  item->setItemInfo(kAttrAuthor, row.text(3));
  item->setItemInfo(kAttrAlbum, row.text(4));
  item->setItemInfo(kAttrAlbumId, row.text(4));
  item->setItemInfo(kAttrGenre, row.text(5));
  item->setDuration(row.real(6));
  item->setItemInfo(kAttrMediaType, row.text(7));
  item->setItemInfo(kAttrCollectionId, row.text(8));
  item->setItemInfo(kAttrReleaseDate, row.text(9));
  item->setItemInfo(kAttrAcquisitionTime, row.text(10));
  return item;
}

std::string UtcNowText() {
  const std::time_t now = std::time(nullptr);
  std::tm parts{};
  gmtime_r(&now, &parts);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
  return text;
}

std::uint64_t Fnv1a(std::string_view text, std::uint64_t hash) {
  for (unsigned char c : text) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  return hash;
}

}  // namespace

std::string DefaultLibraryPath() {
  std::string base;
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && data[0] == '/') {
    base = data;
  } else if (const char* home = std::getenv("HOME"); home && home[0] == '/') {
    base = std::string(home) + "/.local/share";
  } else {
    base = "/tmp";
  }
  return base + "/Marivel/MediaLibrary.db";
}

std::string CollectionIdFor(std::string_view album, std::string_view albumArtist) {
  const std::string key = ToLowerAscii(album) + '\n' + ToLowerAscii(albumArtist);
  const std::uint64_t high = Fnv1a(key, 14695981039346656037ull);
  const std::uint64_t low = Fnv1a(key, high ^ 0x9E3779B97F4A7C15ull);
  char text[40];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%04X-%012llX}", static_cast<unsigned>(high >> 32),
                static_cast<unsigned>((high >> 16) & 0xFFFF), static_cast<unsigned>(high & 0xFFFF),
                static_cast<unsigned>(low >> 48), static_cast<unsigned long long>(low & 0xFFFFFFFFFFFFull));
  return text;
}

bool IsAudioFileName(const std::string& path) {
  const std::string extension = ToLowerAscii(fs::path(path).extension().string());
  return extension == ".mp3" || extension == ".wma" || extension == ".wav";
}

std::unique_ptr<MediaLibrary> MediaLibrary::Open(const std::string& path, std::string* error) {
  std::error_code failure;
  fs::create_directories(fs::path(path).parent_path(), failure);
  std::unique_ptr<MediaLibrary> library(new MediaLibrary);
  if (sqlite3_open_v2(path.c_str(), &library->db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                      nullptr) != SQLITE_OK) {
    if (error) *error = library->db_ ? sqlite3_errmsg(library->db_) : "cannot open " + path;
    return nullptr;
  }
  // A second connection (the search worker) may hold the write lock briefly.
  sqlite3_busy_timeout(library->db_, 5000);
  if (!library->exec("PRAGMA journal_mode=WAL", error) || !library->exec("PRAGMA synchronous=NORMAL", error) ||
      !library->exec("PRAGMA foreign_keys=ON", error) || !library->exec(kSchema, error)) {
    return nullptr;
  }
  return library;
}

MediaLibrary::~MediaLibrary() { sqlite3_close(db_); }

bool MediaLibrary::exec(const char* sql, std::string* error) {
  char* message = nullptr;
  if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) == SQLITE_OK) return true;
  if (error) *error = message ? message : "database error";
  sqlite3_free(message);
  return false;
}

bool MediaLibrary::addFile(const std::string& path, std::string* error) {
  if (IsPlaylistFileName(path)) return importPlaylistFile(path, error);
  std::int64_t id = 0;
  return addAudioFile(path, error, &id);
}

bool MediaLibrary::addAudioFile(const std::string& path, std::string* error, std::int64_t* id) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    if (error) *error = path + " is no file";
    return false;
  }
  if (!IsAudioFileName(path)) {
    if (error) *error = path + " is no audio file";
    return false;
  }
  const std::int64_t size = info.st_size;
  const std::int64_t modified = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
  {
    Statement known(db_, "SELECT id, file_size, modified FROM media WHERE source_url = ?1");
    known.bind(1, path);
    if (known.step() == SQLITE_ROW && known.integer(1) == size && known.integer(2) == modified) {
      *id = known.integer(0);
      return true;
    }
  }
  const auto tags = ReadAudioTags(path);
  // Media without a duration cannot be played from any list: not taken.
  if (!tags || tags->duration <= 0) {
    if (error) *error = path + " cannot be read as audio";
    return false;
  }
  const std::string name = tags->title.empty() ? fs::path(path).stem().string() : tags->title;
  const std::string& albumArtist = tags->albumArtist.empty() ? tags->artist : tags->albumArtist;
  Statement upsert(db_,
                   "INSERT INTO media(source_url, name, author, album, genre, duration, media_type, collection_id, "
                   "release_date, acquisition_time, track_number, file_size, modified) "
                   "VALUES(?1, ?2, ?3, ?4, ?5, ?6, 'audio', ?7, ?8, ?9, ?10, ?11, ?12) "
                   "ON CONFLICT(source_url) DO UPDATE SET name = ?2, author = ?3, album = ?4, genre = ?5, "
                   "duration = ?6, collection_id = ?7, release_date = ?8, track_number = ?10, file_size = ?11, "
                   "modified = ?12 RETURNING id");
  upsert.bind(1, path).bind(2, name).bind(3, tags->artist).bind(4, tags->album).bind(5, tags->genre);
  upsert.bind(6, tags->duration).bind(7, tags->album.empty() ? std::string() : CollectionIdFor(tags->album, albumArtist));
  upsert.bind(8, tags->year ? std::to_string(tags->year) : std::string()).bind(9, UtcNowText());
  upsert.bind(10, static_cast<std::int64_t>(tags->track)).bind(11, size).bind(12, modified);
  if (upsert.step() != SQLITE_ROW) {
    if (error) *error = sqlite3_errmsg(db_);
    return false;
  }
  *id = upsert.integer(0);
  upsert.finish();
  return true;
}

bool MediaLibrary::importPlaylistFile(const std::string& path, std::string* error) {
  const PlaylistFileContents contents = ReadPlaylistFile(path);
  if (!contents.ok) {
    if (error) *error = contents.error;
    return false;
  }
  std::vector<std::int64_t> ids;
  for (const std::string& entry : contents.entries) {
    std::int64_t id = 0;
    if (entry.find("://") == std::string::npos && addAudioFile(entry, nullptr, &id)) ids.push_back(id);
  }
  if (!exec("BEGIN IMMEDIATE", error)) return false;
  Statement upsert(db_,
                   "INSERT INTO playlists(name, type, source_url) VALUES(?1, 'static', ?2) "
                   "ON CONFLICT(source_url) DO UPDATE SET name = ?1 RETURNING id");
  upsert.bind(1, contents.title).bind(2, path);
  if (upsert.step() != SQLITE_ROW) {
    if (error) *error = sqlite3_errmsg(db_);
    exec("ROLLBACK");
    return false;
  }
  const std::int64_t playlistId = upsert.integer(0);
  upsert.finish();
  Statement clear(db_, "DELETE FROM playlist_items WHERE playlist_id = ?1");
  clear.bind(1, playlistId).step();
  for (std::size_t i = 0; i < ids.size(); ++i) {
    Statement add(db_, "INSERT INTO playlist_items(playlist_id, position, media_id) VALUES(?1, ?2, ?3)");
    add.bind(1, playlistId).bind(2, static_cast<std::int64_t>(i)).bind(3, ids[i]).step();
  }
  return exec("COMMIT", error);
}

MediaItemPtr MediaLibrary::item(const std::string& sourceUrl) {
  Statement row(db_, std::string("SELECT ") + kItemColumns + " FROM media WHERE source_url = ?1");
  row.bind(1, sourceUrl);
  return row.step() == SQLITE_ROW ? ItemFromRow(row) : nullptr;
}

PlaylistPtr MediaLibrary::query(const std::string& whereSql, const std::string& value) {
  auto list = std::make_shared<Playlist>();
  Statement rows(db_, std::string("SELECT ") + kItemColumns + " FROM media WHERE " + whereSql +
                          " ORDER BY author COLLATE NOCASE, album COLLATE NOCASE, track_number, name COLLATE NOCASE");
  rows.bind(1, value);
  while (rows.step() == SQLITE_ROW) list->appendItem(ItemFromRow(rows));
  return list;
}

PlaylistPtr MediaLibrary::getByAttribute(std::string_view attribute, const std::string& value) {
  const char* column = ColumnFor(attribute);
  if (!column) return std::make_shared<Playlist>();
  return query(std::string(column) + " = ?1", value);
}

std::vector<std::string> MediaLibrary::attributeStrings(std::string_view attribute, const std::string& mediaType) {
  std::vector<std::string> values;
  const char* column = ColumnFor(attribute);
  if (!column) return values;
  Statement rows(db_, std::string("SELECT DISTINCT ") + column + " FROM media WHERE media_type = ?1 AND " + column +
                          " <> '' ORDER BY " + column + " COLLATE NOCASE");
  rows.bind(1, mediaType);
  while (rows.step() == SQLITE_ROW) values.push_back(rows.text(0));
  return values;
}

std::size_t MediaLibrary::mediaCount() {
  Statement count(db_, "SELECT COUNT(*) FROM media");
  return count.step() == SQLITE_ROW ? static_cast<std::size_t>(count.integer(0)) : 0;
}

std::vector<LibraryPlaylist> MediaLibrary::playlists() {
  std::vector<LibraryPlaylist> all;
  Statement rows(db_, "SELECT id, name, type FROM playlists ORDER BY name COLLATE NOCASE, id");
  while (rows.step() == SQLITE_ROW) all.push_back({rows.integer(0), rows.text(1), rows.text(2) == "auto"});
  return all;
}

PlaylistPtr MediaLibrary::playlist(std::int64_t id) {
  Statement head(db_, "SELECT name, type, query_column, query_value FROM playlists WHERE id = ?1");
  head.bind(1, id);
  if (head.step() != SQLITE_ROW) return nullptr;
  PlaylistPtr list;
  if (head.text(1) == "auto") {
    // The attribute was checked against the table when the playlist was made.
    const char* column = ColumnFor(head.text(2));
    list = column ? query(std::string(column) + " = ?1", head.text(3)) : std::make_shared<Playlist>();
  } else {
    list = std::make_shared<Playlist>();
    Statement rows(db_, std::string("SELECT ") + "m.id, m.source_url, m.name, m.author, m.album, m.genre, m.duration, "
                            "m.media_type, m.collection_id, m.release_date, m.acquisition_time "
                            "FROM playlist_items p JOIN media m ON m.id = p.media_id WHERE p.playlist_id = ?1 "
                            "ORDER BY p.position");
    rows.bind(1, id);
    while (rows.step() == SQLITE_ROW) list->appendItem(ItemFromRow(rows));
  }
  list->setName(head.text(0));
  list->setItemInfo("PlaylistType", head.text(1));
  return list;
}

std::int64_t MediaLibrary::createStaticPlaylist(const std::string& name, const std::vector<std::int64_t>& mediaIds) {
  if (!exec("BEGIN IMMEDIATE")) return 0;
  Statement insert(db_, "INSERT INTO playlists(name, type) VALUES(?1, 'static') RETURNING id");
  insert.bind(1, name);
  if (insert.step() != SQLITE_ROW) {
    exec("ROLLBACK");
    return 0;
  }
  const std::int64_t id = insert.integer(0);
  insert.finish();
  for (std::size_t i = 0; i < mediaIds.size(); ++i) {
    Statement add(db_, "INSERT INTO playlist_items(playlist_id, position, media_id) VALUES(?1, ?2, ?3)");
    if (add.bind(1, id).bind(2, static_cast<std::int64_t>(i)).bind(3, mediaIds[i]).step() != SQLITE_DONE) {
      exec("ROLLBACK");
      return 0;
    }
  }
  return exec("COMMIT") ? id : 0;
}

std::int64_t MediaLibrary::createAutoPlaylist(const std::string& name, std::string_view attribute,
                                              const std::string& value) {
  if (!ColumnFor(attribute)) return 0;
  Statement insert(db_,
                   "INSERT INTO playlists(name, type, query_column, query_value) VALUES(?1, 'auto', ?2, ?3) "
                   "RETURNING id");
  insert.bind(1, name).bind(2, std::string(attribute)).bind(3, value);
  return insert.step() == SQLITE_ROW ? insert.integer(0) : 0;
}

}  // namespace wmhost
