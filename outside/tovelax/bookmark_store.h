// Resume bookmarks of DVDs, kept in one small text file ("ar.cbk"):
//
//   tovelax-bookmarks 1
//   <disc id, 32 hex digits> <title> <chapter> <time> <sector> <audio> <subtitle> <subtitle on> <angle>
//   ...
//   end <number of entries>
//
// The newest entry comes first; at most kMaxEntries discs are kept. A file that
// does not read back exactly is refused and set aside (never overwritten);
// saves are atomic.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "outside/tovelax/tovelax_api.h"

namespace tovelax {

using DiscId = std::array<std::uint8_t, 16>;

struct Bookmark {
  DiscId disc{};
  std::uint32_t title = 0;
  std::uint32_t chapter = 0;
  std::uint32_t time = 0;  // PackTime
  std::uint32_t sector = 0;
  std::uint32_t audioStream = 0;
  std::uint32_t subtitleStream = 0;
  std::uint32_t subtitleOn = 0;
  std::uint32_t angle = 1;
  bool operator==(const Bookmark&) const = default;
};

class BookmarkStore {
 public:
  static constexpr std::size_t kMaxEntries = 64;
  static constexpr int kVersion = 1;

  enum class LoadResult { kOk, kMissing, kRefused };

  // Parses the file text; nullopt when it is malformed in any way.
  static std::optional<std::vector<Bookmark>> Parse(const std::string& text);
  static std::string Format(const std::vector<Bookmark>& entries);

  explicit BookmarkStore(std::string path) : path_(std::move(path)) {}

  LoadResult Load(std::vector<Bookmark>* entries) const;
  std::optional<Bookmark> Find(const DiscId& disc) const;
  // Puts `mark` first (replacing the disc's old entry) and saves. A refused
  // file is renamed to the first free "<file>.bad", "<file>.bad.1", ...
  // before the new one is written.
  bool Put(const Bookmark& mark);
  bool Remove(const DiscId& disc);
  const std::string& path() const { return path_; }

 private:
  bool Save(const std::vector<Bookmark>& entries) const;
  std::string path_;
};

Bookmark ToBookmark(const ResumeRecord& record);
ResumeRecord ToRecord(const Bookmark& mark);

}  // namespace tovelax
