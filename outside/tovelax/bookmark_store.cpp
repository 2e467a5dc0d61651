#include "outside/tovelax/bookmark_store.h"


#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/sys/atomic_file.h"
#include "platform/sys/kept_aside.h"

namespace tovelax {
namespace {

constexpr const char* kHeader = "tovelax-bookmarks";
constexpr std::size_t kMaxFileSize = 1 << 20;

std::string HexId(const DiscId& id) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (std::uint8_t byte : id) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 15];
  }
  return text;
}

bool ParseHexId(const std::string& text, DiscId* id) {
  if (text.size() != 32) return false;
  for (std::size_t i = 0; i < 16; ++i) {
    unsigned value = 0;
    auto [end, ec] = std::from_chars(text.data() + 2 * i, text.data() + 2 * i + 2, value, 16);
    if (ec != std::errc() || end != text.data() + 2 * i + 2) return false;
    (*id)[i] = static_cast<std::uint8_t>(value);
  }
  return true;
}

bool ParseNumber(const std::string& text, std::uint32_t* value) {
  if (text.empty()) return false;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *value);
  return ec == std::errc() && end == text.data() + text.size();
}

std::vector<std::string> SplitWords(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  std::string word;
  while (in >> word) words.push_back(word);
  return words;
}


}  // namespace

std::optional<std::vector<Bookmark>> BookmarkStore::Parse(const std::string& text) {
  std::istringstream in(text);
  std::string line;
  if (!std::getline(in, line)) return std::nullopt;
  const auto header = SplitWords(line);
  if (header.size() != 2 || header[0] != kHeader || header[1] != std::to_string(kVersion))
    return std::nullopt;
  std::vector<Bookmark> entries;
  bool ended = false;
  while (std::getline(in, line)) {
    const auto words = SplitWords(line);
    if (ended) {
      if (!words.empty()) return std::nullopt;  // nothing may follow the end line
      continue;
    }
    if (words.size() == 2 && words[0] == "end") {
      std::uint32_t count = 0;
      if (!ParseNumber(words[1], &count) || count != entries.size()) return std::nullopt;
      ended = true;
      continue;
    }
    if (words.size() != 9 || entries.size() >= kMaxEntries) return std::nullopt;
    Bookmark mark;
    std::uint32_t* fields[] = {&mark.title, &mark.chapter, &mark.time, &mark.sector,
                               &mark.audioStream, &mark.subtitleStream, &mark.subtitleOn, &mark.angle};
    if (!ParseHexId(words[0], &mark.disc)) return std::nullopt;
    for (std::size_t i = 0; i < 8; ++i)
      if (!ParseNumber(words[i + 1], fields[i])) return std::nullopt;
    if (mark.title < 1 || mark.title > 99 || mark.chapter > 999 || mark.audioStream > 7 ||
        mark.subtitleStream > 31 || mark.subtitleOn > 1 || mark.angle < 1 || mark.angle > 9)
      return std::nullopt;
    entries.push_back(mark);
  }
  if (!ended) return std::nullopt;  // a cut-off file is refused
  return entries;
}

std::string BookmarkStore::Format(const std::vector<Bookmark>& entries) {
  std::string text = std::string(kHeader) + " " + std::to_string(kVersion) + "\n";
  for (const Bookmark& m : entries) {
    text += HexId(m.disc);
    for (std::uint32_t v : {m.title, m.chapter, m.time, m.sector, m.audioStream, m.subtitleStream,
                            m.subtitleOn, m.angle})
      text += " " + std::to_string(v);
    text += "\n";
  }
  text += "end " + std::to_string(entries.size()) + "\n";
  return text;
}

BookmarkStore::LoadResult BookmarkStore::Load(std::vector<Bookmark>* entries) const {
  entries->clear();
  std::ifstream in(path_, std::ios::binary);
  if (!in) return LoadResult::kMissing;
  std::string text;
  char chunk[4096];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
    text.append(chunk, static_cast<std::size_t>(in.gcount()));
    if (text.size() > kMaxFileSize) return LoadResult::kRefused;
  }
  auto parsed = Parse(text);
  if (!parsed) return LoadResult::kRefused;
  *entries = std::move(*parsed);
  return LoadResult::kOk;
}

std::optional<Bookmark> BookmarkStore::Find(const DiscId& disc) const {
  std::vector<Bookmark> entries;
  if (Load(&entries) != LoadResult::kOk) return std::nullopt;
  for (const Bookmark& m : entries)
    if (m.disc == disc) return m;
  return std::nullopt;
}

bool BookmarkStore::Put(const Bookmark& mark) {
  std::vector<Bookmark> entries;
  if (Load(&entries) == LoadResult::kRefused) {
    if (!plat::KeepAside(path_)) return false;
    entries.clear();
  }
  std::erase_if(entries, [&](const Bookmark& m) { return m.disc == mark.disc; });
  entries.insert(entries.begin(), mark);
  if (entries.size() > kMaxEntries) entries.resize(kMaxEntries);
  return Save(entries);
}

bool BookmarkStore::Remove(const DiscId& disc) {
  std::vector<Bookmark> entries;
  if (Load(&entries) != LoadResult::kOk) return false;
  const auto removed = std::erase_if(entries, [&](const Bookmark& m) { return m.disc == disc; });
  return removed == 0 || Save(entries);
}

bool BookmarkStore::Save(const std::vector<Bookmark>& entries) const {
  if (path_.empty()) return false;
  return static_cast<bool>(plat::WriteFileAtomically(path_, Format(entries), 0644));
}

Bookmark ToBookmark(const ResumeRecord& r) {
  Bookmark m;
  std::memcpy(m.disc.data(), r.discId, 16);
  m.title = r.title;
  m.chapter = r.chapter;
  m.time = r.time;
  m.sector = r.sector;
  m.audioStream = r.audioStream;
  m.subtitleStream = r.subtitleStream;
  m.subtitleOn = r.subtitleOn;
  m.angle = r.angle;
  return m;
}

ResumeRecord ToRecord(const Bookmark& m) {
  ResumeRecord r;
  r.valid = 1;
  std::memcpy(r.discId, m.disc.data(), 16);
  r.title = m.title;
  r.chapter = m.chapter;
  r.time = m.time;
  r.sector = m.sector;
  r.audioStream = m.audioStream;
  r.subtitleStream = m.subtitleStream;
  r.subtitleOn = m.subtitleOn;
  r.angle = m.angle;
  return r;
}

}  // namespace tovelax
