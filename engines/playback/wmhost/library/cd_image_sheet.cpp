#include "engines/playback/wmhost/library/cd_image_sheet.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <filesystem>

namespace wmhost {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxSheetBytes = 1 << 20;
constexpr int kMaxTracks = 99;
constexpr unsigned kFramesPerSecond = 75;

struct Token {
  std::string text;
  bool quoted = false;
};
using Line = std::vector<Token>;

struct ModeInfo {
  std::string_view name;
  bool audio;
  unsigned sectorSize;
};

// The modes libcdio's readers handle; the others (cdrdao's "MODE2",
// "MODE2_FORM1", "MODE2_FORM2", the cue sheet's "CDG", "CDI/...") crash or
// end them.
constexpr std::array<ModeInfo, 5> kCueModes{{{"AUDIO", true, 2352},
                                             {"MODE1/2048", false, 2048},
                                             {"MODE1/2352", false, 2352},
                                             {"MODE2/2336", false, 2336},
                                             {"MODE2/2352", false, 2352}}};
constexpr std::array<ModeInfo, 5> kTocModes{{{"AUDIO", true, 2352},
                                             {"MODE1", false, 2048},
                                             {"MODE1_RAW", false, 2352},
                                             {"MODE2_FORM_MIX", false, 2336},
                                             {"MODE2_RAW", false, 2352}}};

template <std::size_t N>
const ModeInfo* findMode(const std::array<ModeInfo, N>& modes, std::string_view name) {
  for (const ModeInfo& mode : modes) {
    if (mode.name == name) return &mode;
  }
  return nullptr;
}

bool fail(std::string* error, int line, const std::string& why) {
  if (error) *error = (line > 0 ? "line " + std::to_string(line) + ": " : std::string()) + why;
  return false;
}

// Splits the text into lines of tokens. Control characters, unterminated
// quotes and (in a TOC, whose reader takes no escapes) backslashes inside
// quotes are refused; "//" comments of a TOC are dropped.
bool tokenize(std::string_view text, CdSheetKind kind, std::vector<Line>* lines, std::string* error) {
  Line current;
  int lineNumber = 1;
  std::size_t at = 0;
  auto endLine = [&] {
    lines->push_back(std::move(current));
    current.clear();
    ++lineNumber;
  };
  while (at < text.size()) {
    const char c = text[at];
    if (c == '\n') {
      endLine();
      ++at;
    } else if (c == '\r') {
      endLine();
      at += (at + 1 < text.size() && text[at + 1] == '\n') ? 2 : 1;
    } else if (c == ' ' || c == '\t') {
      ++at;
    } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
      return fail(error, lineNumber, "control character");
    } else if (kind == CdSheetKind::Toc && c == '/' && at + 1 < text.size() && text[at + 1] == '/') {
      while (at < text.size() && text[at] != '\n' && text[at] != '\r') ++at;
    } else if (c == '"') {
      const std::size_t close = text.find('"', at + 1);
      const std::size_t eol = text.find_first_of("\r\n", at + 1);
      if (close == std::string_view::npos || (eol != std::string_view::npos && eol < close))
        return fail(error, lineNumber, "unterminated string");
      Token token{std::string(text.substr(at + 1, close - at - 1)), true};
      for (char inner : token.text) {
        if (static_cast<unsigned char>(inner) < 0x20 || inner == 0x7f || (kind == CdSheetKind::Toc && inner == '\\'))
          return fail(error, lineNumber, "unsupported character in a string");
      }
      current.push_back(std::move(token));
      at = close + 1;
    } else {
      const std::size_t start = at;
      while (at < text.size() && text[at] != ' ' && text[at] != '\t' && text[at] != '\n' && text[at] != '\r' &&
             text[at] != '"' && static_cast<unsigned char>(text[at]) >= 0x20 && text[at] != 0x7f)
        ++at;
      current.push_back(Token{std::string(text.substr(start, at - start)), false});
    }
  }
  if (!current.empty()) lines->push_back(std::move(current));
  return true;
}

std::optional<unsigned> parseNumber(std::string_view text, unsigned max) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  unsigned value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc{} || end != text.data() + text.size() || value > max) return std::nullopt;
  return value;
}

// "mm:ss:ff" as frames.
std::optional<unsigned> parseMsf(std::string_view text) {
  const std::size_t first = text.find(':');
  if (first == std::string_view::npos) return std::nullopt;
  const std::size_t second = text.find(':', first + 1);
  if (second == std::string_view::npos) return std::nullopt;
  const auto minutes = parseNumber(text.substr(0, first), 99);
  const auto seconds = parseNumber(text.substr(first + 1, second - first - 1), 59);
  const auto frames = parseNumber(text.substr(second + 1), kFramesPerSecond - 1);
  if (!minutes || !seconds || !frames) return std::nullopt;
  return (*minutes * 60 + *seconds) * kFramesPerSecond + *frames;
}

bool isCatalog(const Token& token) {
  return token.text.size() == 13 && std::all_of(token.text.begin(), token.text.end(), [](char c) {
           return std::isdigit(static_cast<unsigned char>(c));
         });
}

bool isIsrc(const Token& token) {
  return token.text.size() == 12 && std::all_of(token.text.begin(), token.text.end(), [](char c) {
           return std::isalnum(static_cast<unsigned char>(c));
         });
}

std::string resolve(const std::string& folder, const std::string& name, bool* relative) {
  const fs::path path(name);
  *relative = path.is_relative();
  return path.is_relative() ? (fs::path(folder.empty() ? "." : folder) / path).lexically_normal().string() : name;
}

// ---- cue sheets ---------------------------------------------------------

struct CueTrackDraft {
  CdImageTrack track;
  std::optional<unsigned> index1;
  int lastIndex = -1;
};

bool parseCue(const std::vector<Line>& lines, const std::string& folder, const CdFileSize& sizeOf, CdImageSheet* sheet,
              std::string* error) {
  std::string file;
  std::uint64_t fileSize = 0;
  std::vector<CueTrackDraft> drafts;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const Line& line = lines[i];
    const int number = static_cast<int>(i) + 1;
    if (line.empty()) continue;
    const std::string& keyword = line[0].text;
    if (line[0].quoted) return fail(error, number, "a string where a keyword belongs");
    const std::size_t args = line.size() - 1;
    CueTrackDraft* draft = drafts.empty() ? nullptr : &drafts.back();
    if (keyword == "REM") continue;
    if (keyword == "TITLE" || keyword == "PERFORMER" || keyword == "SONGWRITER" || keyword == "COMPOSER" ||
        keyword == "ARRANGER" || keyword == "MESSAGE") {
      if (args != 1) return fail(error, number, keyword + " takes one text");
      std::string* target = nullptr;
      if (keyword == "TITLE") target = draft ? &draft->track.title : &sheet->title;
      if (keyword == "PERFORMER") target = draft ? &draft->track.performer : &sheet->performer;
      if (target) *target = line[1].text;
    } else if (keyword == "CATALOG") {
      if (draft || args != 1 || !isCatalog(line[1])) return fail(error, number, "bad CATALOG");
    } else if (keyword == "FILE") {
      if (!file.empty()) return fail(error, number, "more than one data file");
      if (args != 2 || line[1].text.empty() || line[2].text != "BINARY")
        return fail(error, number, "only a BINARY data file is supported");
      bool relative = false;
      file = resolve(folder, line[1].text, &relative);
      sheet->relativeFiles = sheet->relativeFiles || relative;
      const auto size = sizeOf(file);
      if (!size) return fail(error, number, "data file \"" + line[1].text + "\" is missing or not a regular file");
      fileSize = *size;
    } else if (keyword == "TRACK") {
      if (file.empty()) return fail(error, number, "TRACK before FILE");
      if (args != 2 || line[1].quoted || line[1].text.size() != 2) return fail(error, number, "bad TRACK");
      const auto trackNumber = parseNumber(line[1].text, kMaxTracks);
      const int expected = drafts.empty() ? -1 : drafts.back().track.number + 1;
      if (!trackNumber || *trackNumber == 0 || (expected > 0 && static_cast<int>(*trackNumber) != expected))
        return fail(error, number, "track numbers must run from 01 to 99 in order");
      const ModeInfo* mode = findMode(kCueModes, line[2].text);
      if (!mode) return fail(error, number, "unsupported track mode " + line[2].text);
      CueTrackDraft next;
      next.track.number = static_cast<int>(*trackNumber);
      next.track.audio = mode->audio;
      next.track.mode = std::string(mode->name);
      next.track.sectorSize = mode->sectorSize;
      next.track.file = file;
      drafts.push_back(std::move(next));
    } else if (keyword == "INDEX") {
      if (!draft || args != 2) return fail(error, number, "bad INDEX");
      const auto index = parseNumber(line[1].text, 99);
      const auto frames = parseMsf(line[2].text);
      if (!index || !frames || static_cast<int>(*index) <= draft->lastIndex || (*index > 1 && !draft->index1))
        return fail(error, number, "bad INDEX");
      draft->lastIndex = static_cast<int>(*index);
      if (*index == 1) draft->index1 = *frames;
    } else if (keyword == "PREGAP" || keyword == "POSTGAP") {
      if (!draft || args != 1 || !parseMsf(line[1].text)) return fail(error, number, "bad " + keyword);
    } else if (keyword == "FLAGS") {
      if (!draft || args == 0) return fail(error, number, "bad FLAGS");
      for (std::size_t a = 1; a < line.size(); ++a) {
        const std::string& flag = line[a].text;
        if (flag != "DCP" && flag != "4CH" && flag != "PRE" && flag != "SCMS") return fail(error, number, "bad FLAGS");
      }
    } else if (keyword == "ISRC") {
      if (!draft || args != 1 || !isIsrc(line[1])) return fail(error, number, "bad ISRC");
    } else {
      return fail(error, number, "unsupported statement " + keyword);
    }
  }
  if (drafts.empty()) return fail(error, 0, "no tracks");
  // Track i runs from its INDEX 01 to the next track's, in its own sector
  // size; the last one to the end of the data file.
  std::uint64_t offset = 0;
  for (std::size_t i = 0; i < drafts.size(); ++i) {
    CueTrackDraft& draft = drafts[i];
    if (!draft.index1) return fail(error, 0, "track " + std::to_string(draft.track.number) + " has no INDEX 01");
    if (i == 0) {
      offset = std::uint64_t{*draft.index1} * draft.track.sectorSize;
    } else {
      CueTrackDraft& previous = drafts[i - 1];
      if (*draft.index1 <= *previous.index1) return fail(error, 0, "tracks overlap");
      previous.track.sectors = *draft.index1 - *previous.index1;
      offset += std::uint64_t{previous.track.sectors} * previous.track.sectorSize;
    }
    draft.track.offset = offset;
    draft.track.startSector = *draft.index1;
  }
  CdImageTrack& last = drafts.back().track;
  if (offset >= fileSize || (fileSize - offset) / last.sectorSize == 0)
    return fail(error, 0, "the tracks do not fit in the data file");
  last.sectors = static_cast<unsigned>(std::min<std::uint64_t>((fileSize - offset) / last.sectorSize, 100u * 60 * 75));
  for (CueTrackDraft& draft : drafts) sheet->tracks.push_back(std::move(draft.track));
  return true;
}

// ---- cdrdao tables ------------------------------------------------------

constexpr std::array<std::string_view, 12> kCdTextFields{"TITLE",    "PERFORMER", "SONGWRITER", "COMPOSER",
                                                         "ARRANGER", "MESSAGE",   "DISC_ID",    "GENRE",
                                                         "TOC_INFO1", "TOC_INFO2", "UPC_EAN",   "ISRC"};

bool isOpenBlock(const Line& line, std::string_view keyword, bool numbered) {
  if (line.size() != (numbered ? 3u : 2u) || line[0].quoted || line[0].text != keyword) return false;
  if (numbered && (line[1].quoted || !parseNumber(line[1].text, 7))) return false;
  return !line.back().quoted && line.back().text == "{";
}

bool isClose(const Line& line) { return line.size() == 1 && !line[0].quoted && line[0].text == "}"; }

// A CD_TEXT block, one statement a line: LANGUAGE_MAP { n : CODE ... } and
// LANGUAGE n { FIELD "text" ... }. Language 0's title and performer are
// kept. `i` is on the opening line and ends on the closing one.
bool parseCdText(const std::vector<Line>& lines, std::size_t* i, std::string* title, std::string* performer,
                 std::string* error) {
  const int opened = static_cast<int>(*i) + 1;
  for (++*i; *i < lines.size(); ++*i) {
    const Line& line = lines[*i];
    const int number = static_cast<int>(*i) + 1;
    if (line.empty()) continue;
    if (isClose(line)) return true;
    if (isOpenBlock(line, "LANGUAGE_MAP", false)) {
      for (++*i;; ++*i) {
        if (*i >= lines.size()) return fail(error, opened, "unclosed CD_TEXT");
        const Line& entry = lines[*i];
        if (entry.empty()) continue;
        if (isClose(entry)) break;
        if (entry.size() != 3 || entry[0].quoted || !parseNumber(entry[0].text, 7) || entry[1].text != ":" ||
            entry[2].quoted || entry[2].text.empty())
          return fail(error, static_cast<int>(*i) + 1, "bad LANGUAGE_MAP entry");
      }
    } else if (isOpenBlock(line, "LANGUAGE", true)) {
      const bool first = line[1].text == "0";
      for (++*i;; ++*i) {
        if (*i >= lines.size()) return fail(error, opened, "unclosed CD_TEXT");
        const Line& field = lines[*i];
        if (field.empty()) continue;
        if (isClose(field)) break;
        if (field.size() != 2 || field[0].quoted || !field[1].quoted ||
            std::find(kCdTextFields.begin(), kCdTextFields.end(), field[0].text) == kCdTextFields.end())
          return fail(error, static_cast<int>(*i) + 1, "bad CD_TEXT field");
        if (first && field[0].text == "TITLE") *title = field[1].text;
        if (first && field[0].text == "PERFORMER") *performer = field[1].text;
      }
    } else {
      return fail(error, number, "bad CD_TEXT statement");
    }
  }
  return fail(error, opened, "unclosed CD_TEXT");
}

// A start or length in "mm:ss:ff", in sectors of the track; a start may also
// be "0". libcdio reads no other forms (sample counts, "#" byte offsets).
std::optional<std::uint64_t> parseTocBytes(const Token& token, unsigned sectorSize, bool start) {
  if (token.quoted) return std::nullopt;
  if (start && token.text == "0") return 0;
  if (const auto frames = parseMsf(token.text)) return std::uint64_t{*frames} * sectorSize;
  return std::nullopt;
}

bool parseToc(const std::vector<Line>& lines, const std::string& folder, const CdFileSize& sizeOf, CdImageSheet* sheet,
              std::string* error) {
  struct Draft {
    CdImageTrack track;
    bool hasData = false;
  };
  std::vector<Draft> drafts;
  std::vector<std::pair<std::string, std::uint64_t>> positions;  // where the next DATAFILE continues
  unsigned nextSector = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const Line& line = lines[i];
    const int number = static_cast<int>(i) + 1;
    if (line.empty()) continue;
    if (line[0].quoted) return fail(error, number, "a string where a keyword belongs");
    const std::string& keyword = line[0].text;
    const std::size_t args = line.size() - 1;
    Draft* draft = drafts.empty() ? nullptr : &drafts.back();
    if (keyword == "CD_DA" || keyword == "CD_ROM" || keyword == "CD_ROM_XA") {
      if (draft || args != 0) return fail(error, number, "bad " + keyword);
    } else if (keyword == "CATALOG") {
      if (draft || args != 1 || !line[1].quoted || !isCatalog(line[1])) return fail(error, number, "bad CATALOG");
    } else if (keyword == "CD_TEXT") {
      if (!isOpenBlock(line, "CD_TEXT", false)) return fail(error, number, "bad CD_TEXT");
      std::string* title = draft ? &draft->track.title : &sheet->title;
      std::string* performer = draft ? &draft->track.performer : &sheet->performer;
      if (!parseCdText(lines, &i, title, performer, error)) return false;
    } else if (keyword == "TRACK") {
      if (args != 1 || line[1].quoted) return fail(error, number, "bad TRACK");
      const ModeInfo* mode = findMode(kTocModes, line[1].text);
      if (!mode) return fail(error, number, "unsupported track mode " + line[1].text);
      if (draft && !draft->hasData) return fail(error, number, "track without data");
      if (drafts.size() == kMaxTracks) return fail(error, number, "more than 99 tracks");
      Draft next;
      next.track.number = static_cast<int>(drafts.size()) + 1;
      next.track.audio = mode->audio;
      next.track.mode = std::string(mode->name);
      next.track.sectorSize = mode->sectorSize;
      drafts.push_back(std::move(next));
    } else if (keyword == "COPY" || keyword == "PRE_EMPHASIS" || keyword == "TWO_CHANNEL_AUDIO" ||
               keyword == "FOUR_CHANNEL_AUDIO") {
      if (!draft || args != 0) return fail(error, number, "bad " + keyword);
    } else if (keyword == "NO") {
      if (!draft || args != 1 || (line[1].text != "COPY" && line[1].text != "PRE_EMPHASIS"))
        return fail(error, number, "bad NO");
    } else if (keyword == "ISRC") {
      if (!draft || args != 1 || !line[1].quoted || !isIsrc(line[1])) return fail(error, number, "bad ISRC");
    } else if (keyword == "FILE" || keyword == "AUDIOFILE" || keyword == "DATAFILE") {
      if (!draft || draft->hasData) return fail(error, number, "one data file statement per track");
      CdImageTrack& track = draft->track;
      const bool sampled = keyword != "DATAFILE";
      if (sampled && !track.audio) return fail(error, number, keyword + " belongs to audio tracks");
      const std::size_t fixed = sampled ? 2 : 1;  // name [start]
      if (args < fixed || args > fixed + 1 || !line[1].quoted || line[1].text.empty())
        return fail(error, number, "bad " + keyword);
      bool relative = false;
      track.file = resolve(folder, line[1].text, &relative);
      sheet->relativeFiles = sheet->relativeFiles || relative;
      const auto size = sizeOf(track.file);
      if (!size) return fail(error, number, "data file \"" + line[1].text + "\" is missing or not a regular file");
      auto known = std::find_if(positions.begin(), positions.end(), [&](const auto& p) { return p.first == track.file; });
      std::uint64_t start = known == positions.end() ? 0 : known->second;
      if (sampled) {
        const auto given = parseTocBytes(line[2], track.sectorSize, true);
        track.statement = line[2].text;
        if (!given) return fail(error, number, "bad start");
        start = *given;
      }
      if (start >= *size) return fail(error, number, "the track starts past the end of its file");
      std::uint64_t length = *size - start;
      if (args == fixed + 1) {
        const auto given = parseTocBytes(line[fixed + 1], track.sectorSize, false);
        track.statement += (track.statement.empty() ? "" : " ") + line[fixed + 1].text;
        if (!given || *given == 0 || *given > length) return fail(error, number, "bad length");
        length = *given;
      }
      const std::uint64_t sectors = length / track.sectorSize;
      if (sectors == 0 || sectors > 100u * 60 * 75) return fail(error, number, "bad length");
      track.statement = keyword + " \"\x01\" " + track.statement;
      track.offset = start;
      track.sectors = static_cast<unsigned>(sectors);
      track.startSector = nextSector;
      nextSector += track.sectors;
      const std::uint64_t end = start + sectors * track.sectorSize;
      if (known == positions.end()) positions.emplace_back(track.file, end);
      else known->second = end;
      draft->hasData = true;
    } else {
      return fail(error, number, "unsupported statement " + keyword);
    }
  }
  if (drafts.empty()) return fail(error, 0, "no tracks");
  if (!drafts.back().hasData) return fail(error, 0, "track without data");
  if (nextSector > 100u * 60 * 75) return fail(error, 0, "longer than a disc");
  for (Draft& draft : drafts) sheet->tracks.push_back(std::move(draft.track));
  return true;
}

std::optional<std::uint64_t> regularFileSize(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || ::access(path.c_str(), R_OK) != 0)
    return std::nullopt;
  return static_cast<std::uint64_t>(info.st_size);
}

}  // namespace

std::optional<CdImageSheet> ParseCdImageSheet(std::string_view text, CdSheetKind kind, const std::string& folder,
                                              const CdFileSize& sizeOf, std::string* error) {
  if (text.size() > kMaxSheetBytes) {
    fail(error, 0, "sheet too large");
    return std::nullopt;
  }
  // A byte-order mark is the one non-text prefix editors write.
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::vector<Line> lines;
  if (!tokenize(text, kind, &lines, error)) return std::nullopt;
  CdImageSheet sheet;
  sheet.kind = kind;
  const bool ok = kind == CdSheetKind::Cue ? parseCue(lines, folder, sizeOf, &sheet, error)
                                           : parseToc(lines, folder, sizeOf, &sheet, error);
  if (!ok) return std::nullopt;
  return sheet;
}

std::optional<CdSheetKind> CdSheetKindOf(const std::string& path) {
  std::string extension = fs::path(path).extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (extension == ".cue") return CdSheetKind::Cue;
  if (extension == ".toc") return CdSheetKind::Toc;
  return std::nullopt;
}

std::optional<CdImageSheet> ReadCdImageSheet(const std::string& path, std::string* error) {
  const auto kind = CdSheetKindOf(path);
  if (!kind) {
    fail(error, 0, "not a .cue or .toc sheet");
    return std::nullopt;
  }
  // Opened without blocking and checked before reading: a FIFO or a device
  // named like a sheet is refused, not waited on.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    fail(error, 0, "cannot open");
    return std::nullopt;
  }
  struct stat info {};
  std::string text;
  bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && static_cast<std::uint64_t>(info.st_size) <= kMaxSheetBytes;
  if (ok) {
    text.resize(static_cast<std::size_t>(info.st_size));
    std::size_t got = 0;
    while (got < text.size()) {
      const ssize_t n = ::read(fd, text.data() + got, text.size() - got);
      if (n <= 0) break;
      got += static_cast<std::size_t>(n);
    }
    text.resize(got);
  }
  ::close(fd);
  if (!ok) {
    fail(error, 0, "not a regular file of at most 1 MiB");
    return std::nullopt;
  }
  const std::string folder = fs::path(path).parent_path().string();
  return ParseCdImageSheet(text, *kind, folder, regularFileSize, error);
}

std::string FormatTocSheet(const CdImageSheet& sheet) {
  // The sheet's own statements, the file names made absolute.
  std::string text;
  for (const CdImageTrack& track : sheet.tracks) {
    text += "TRACK " + track.mode + "\n";
    std::string statement = track.statement;
    const std::size_t mark = statement.find('\x01');
    if (mark != std::string::npos)
      statement.replace(mark, 1, fs::absolute(track.file).lexically_normal().string());
    text += statement + "\n";
  }
  return text;
}

}  // namespace wmhost
