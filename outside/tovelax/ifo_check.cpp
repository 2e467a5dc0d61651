#include "outside/tovelax/ifo_check.h"

#include <dvdread/dvd_reader.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <vector>

#include "outside/tovelax/media_kind.h"

namespace tovelax {
namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kSector = 2048;
// Real IFOs are a few hundred kilobytes; anything far larger is not one.
constexpr std::uint64_t kLargestIfo = 32u << 20;
constexpr std::uint64_t kPgcSize = 236;
constexpr std::uint64_t kVtsAttributesMinSize = 356;

std::uint32_t Be16(std::span<const std::uint8_t> b, std::uint64_t at) {
  return (std::uint32_t{b[at]} << 8) | b[at + 1];
}
std::uint32_t Be32(std::span<const std::uint8_t> b, std::uint64_t at) {
  return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) | (std::uint32_t{b[at + 2]} << 8) |
         b[at + 3];
}

// A byte range of the file that a structure must stay inside.
struct Span {
  std::uint64_t begin;
  std::uint64_t end;
  bool Holds(std::uint64_t at, std::uint64_t length) const {
    return at >= begin && at <= end && length <= end - at;
  }
};

class Checker {
 public:
  explicit Checker(std::span<const std::uint8_t> file) : file_(file), whole_{0, file.size()} {}

  std::string Manager() {
    if (auto problem = Header("DVDVIDEO-VMG"); !problem.empty()) return problem;
    const std::uint32_t firstPlay = Be32(file_, 132);
    if (firstPlay != 0 && !Pgc(whole_, firstPlay)) return "first-play program chain outside the file";
    static const Table kTables[] = {
        {196, "title search table", &Checker::TitleSearch},   {200, "menu program chains", &Checker::PgciUnits},
        {204, "parental table", &Checker::Parental},         {208, "title set attributes", &Checker::Attributes},
        {212, "text data", &Checker::TextData},              {216, "menu cell addresses", &Checker::CellAddresses},
        {220, "menu VOBU map", &Checker::VobuMap},
    };
    if (auto problem = CheckTables(kTables); !problem.empty()) return problem;
    if (Be32(file_, 196) == 0) return "no title search table";
    if (!TitlesReachTitleSets()) return "a title names a title set that does not exist";
    return {};
  }

  std::string TitleSet() {
    if (auto problem = Header("DVDVIDEO-VTS"); !problem.empty()) return problem;
    static const Table kTables[] = {
        {200, "chapter table", &Checker::ChapterTable},        {204, "title program chains", &Checker::Pgcit},
        {208, "menu program chains", &Checker::PgciUnits},     {212, "time map table", &Checker::TimeMaps},
        {216, "menu cell addresses", &Checker::CellAddresses}, {220, "menu VOBU map", &Checker::VobuMap},
        {224, "title cell addresses", &Checker::CellAddresses}, {228, "title VOBU map", &Checker::VobuMap},
    };
    if (auto problem = CheckTables(kTables); !problem.empty()) return problem;
    if (Be32(file_, 200) == 0 || Be32(file_, 204) == 0) return "no chapter or program chain table";
    if (!ChaptersReachPrograms()) return "a chapter names a program chain or program that does not exist";
    return {};
  }

 private:
  // The management table: identifier, the IFO's own length in sectors and
  // the table's last byte.
  std::string Header(const char* identifier) {
    if (file_.size() < kSector) return "shorter than one sector";
    if (!std::equal(identifier, identifier + 12, file_.begin())) return "not an IFO of its kind";
    const std::uint64_t sectors = std::uint64_t{Be32(file_, 28)} + 1;
    if (sectors * kSector > file_.size()) return "shorter than the sectors its header declares";
    if (Be32(file_, 128) >= kSector) return "management table longer than its sector";
    return {};
  }

  // A table that starts at the sector in the header field at `pointer` (0:
  // absent), and the check of what it declares.
  struct Table {
    std::uint64_t pointer;
    const char* name;
    bool (Checker::*check)(Span);
  };

  std::string CheckTables(std::span<const Table> tables) {
    for (const Table& table : tables) {
      const std::uint64_t sector = Be32(file_, table.pointer);
      if (sector == 0) continue;
      const std::uint64_t at = sector * kSector;
      if (!whole_.Holds(at, 8)) return std::string(table.name) + " starts past the end of the file";
      if (!(this->*table.check)(Span{at, whole_.end}))
        return std::string(table.name) + " runs past the end of the file";
    }
    return {};
  }

  // The navigator indexes title sets by the titles' numbers unchecked. The
  // title search table is known to lie inside the file.
  bool TitlesReachTitleSets() {
    const std::uint64_t titles = std::uint64_t{Be32(file_, 196)} * kSector;
    for (std::uint64_t i = 0, n = Be16(file_, titles); i < n; ++i) {
      const std::uint64_t entry = titles + 8 + i * 12;
      const std::uint32_t set = file_[entry + 6];
      if (set == 0 || set > Be16(file_, 62) || file_[entry + 7] == 0) return false;
    }
    return true;
  }

  // The table's extent from its "last byte" field at `field`; nullopt when
  // it does not fit in `room`.
  std::optional<Span> Extent(Span room, std::uint64_t field, std::uint64_t headerSize) {
    if (!room.Holds(room.begin, field + 4) || !room.Holds(room.begin, headerSize)) return std::nullopt;
    const std::uint64_t length = std::uint64_t{Be32(file_, room.begin + field)} + 1;
    if (length < headerSize || !room.Holds(room.begin, length)) return std::nullopt;
    return Span{room.begin, room.begin + length};
  }

  bool TitleSearch(Span room) {
    const auto table = Extent(room, 4, 8);
    return table && table->Holds(table->begin + 8, std::uint64_t{Be16(file_, table->begin)} * 12);
  }

  bool CellAddresses(Span room) { return Extent(room, 4, 8).has_value(); }
  bool VobuMap(Span room) { return Extent(room, 0, 4).has_value(); }
  bool TextData(Span room) { return Extent(room, 16, 20).has_value(); }

  // A table of `count` 4-byte offsets after an 8-byte header, each relative
  // to the table start and holding at least `entrySize` bytes.
  bool OffsetTable(Span room, std::uint64_t entrySize) {
    const auto table = Extent(room, 4, 8);
    if (!table) return false;
    const std::uint64_t count = Be16(file_, table->begin);
    if (!table->Holds(table->begin + 8, count * 4)) return false;
    for (std::uint64_t i = 0; i < count; ++i)
      if (!table->Holds(table->begin + Be32(file_, table->begin + 8 + i * 4), entrySize)) return false;
    return true;
  }

  bool ChapterTable(Span room) { return OffsetTable(room, 4); }
  bool Attributes(Span room) { return OffsetTable(room, kVtsAttributesMinSize); }

  bool TimeMaps(Span room) {
    if (!OffsetTable(room, 4)) return false;
    const Span table = *Extent(room, 4, 8);
    for (std::uint64_t i = 0, n = Be16(file_, table.begin); i < n; ++i) {
      const std::uint64_t map = table.begin + Be32(file_, table.begin + 8 + i * 4);
      if (!table.Holds(map + 4, std::uint64_t{Be16(file_, map + 2)} * 4)) return false;
    }
    return true;
  }

  bool Parental(Span room) {
    const auto table = Extent(room, 4, 8);
    if (!table) return false;
    const std::uint64_t countries = Be16(file_, table->begin);
    const std::uint64_t sets = Be16(file_, table->begin + 2);
    if (!table->Holds(table->begin + 8, countries * 8)) return false;
    for (std::uint64_t i = 0; i < countries; ++i) {
      const std::uint64_t levels = table->begin + Be16(file_, table->begin + 8 + i * 8 + 4);
      if (!table->Holds(levels, (sets + 1) * 16)) return false;
    }
    return true;
  }

  // Menu program chains: language units, each a program chain table.
  bool PgciUnits(Span room) {
    const auto table = Extent(room, 4, 8);
    if (!table) return false;
    const std::uint64_t units = Be16(file_, table->begin);
    if (!table->Holds(table->begin + 8, units * 8)) return false;
    for (std::uint64_t i = 0; i < units; ++i) {
      const std::uint64_t at = table->begin + Be32(file_, table->begin + 8 + i * 8 + 4);
      if (!table->Holds(at, 8) || !Pgcit(Span{at, table->end})) return false;
    }
    return true;
  }

  bool Pgcit(Span room) {
    const auto table = Extent(room, 4, 8);
    if (!table) return false;
    const std::uint64_t chains = Be16(file_, table->begin);
    if (!table->Holds(table->begin + 8, chains * 8)) return false;
    for (std::uint64_t i = 0; i < chains; ++i)
      if (!Pgc(*table, table->begin + Be32(file_, table->begin + 8 + i * 8 + 4))) return false;
    return true;
  }

  // Every chapter of the title set points at an existing program chain and
  // program (the navigator follows these numbers unchecked). The tables are
  // known to lie inside the file.
  bool ChaptersReachPrograms() {
    const std::uint64_t chapters = std::uint64_t{Be32(file_, 200)} * kSector;
    const std::uint64_t chains = std::uint64_t{Be32(file_, 204)} * kSector;
    const Span chapterTable{chapters, chapters + std::uint64_t{Be32(file_, chapters + 4)} + 1};
    const std::uint64_t chainCount = Be16(file_, chains);
    for (std::uint64_t i = 0, titles = Be16(file_, chapters); i < titles; ++i) {
      const std::uint64_t begin = chapters + Be32(file_, chapters + 8 + i * 4);
      const std::uint64_t end = i + 1 < titles ? chapters + Be32(file_, chapters + 12 + i * 4) : chapterTable.end;
      for (std::uint64_t at = begin; at + 4 <= end && chapterTable.Holds(at, 4); at += 4) {
        const std::uint64_t chain = Be16(file_, at);
        const std::uint64_t program = Be16(file_, at + 2);
        if (chain == 0 || chain > chainCount || program == 0) return false;
        const std::uint64_t pgc = chains + Be32(file_, chains + 8 + (chain - 1) * 8 + 4);
        if (program > file_[pgc + 2]) return false;
      }
    }
    return true;
  }

  // A program chain at `at` and the parts its offsets point to.
  bool Pgc(Span room, std::uint64_t at) {
    if (!room.Holds(at, kPgcSize)) return false;
    const std::uint64_t programs = file_[at + 2];
    const std::uint64_t cells = file_[at + 3];
    const std::uint64_t commands = Be16(file_, at + 228);
    const std::uint64_t programMap = Be16(file_, at + 230);
    const std::uint64_t cellPlayback = Be16(file_, at + 232);
    const std::uint64_t cellPosition = Be16(file_, at + 234);
    if (commands != 0) {
      if (!room.Holds(at + commands, 8)) return false;
      const std::uint64_t count = std::uint64_t{Be16(file_, at + commands)} + Be16(file_, at + commands + 2) +
                                  Be16(file_, at + commands + 4);
      if (!room.Holds(at + commands + 8, count * 8)) return false;
    }
    if (programs != 0 && (programMap == 0 || !room.Holds(at + programMap, programs))) return false;
    // Programs start at cells of the chain, in order.
    for (std::uint64_t i = 0, previous = 0; i < programs; ++i) {
      const std::uint64_t cell = file_[at + programMap + i];
      if (cell == 0 || cell > cells || cell <= previous) return false;
      previous = cell;
    }
    if (cells != 0 && (cellPlayback == 0 || !room.Holds(at + cellPlayback, cells * 24))) return false;
    if (cells != 0 && (cellPosition == 0 || !room.Holds(at + cellPosition, cells * 4))) return false;
    return true;
  }

  std::span<const std::uint8_t> file_;
  Span whole_;
};

// One information file as read from the disc: absent, unreadable or its bytes.
struct Fetched {
  bool present = false;
  bool readable = false;
  std::vector<std::uint8_t> bytes;
};

std::string IfoName(int titleSet, bool backup) {
  char name[32];
  if (titleSet == 0) std::snprintf(name, sizeof name, "VIDEO_TS.%s", backup ? "BUP" : "IFO");
  else std::snprintf(name, sizeof name, "VTS_%02d_0.%s", titleSet, backup ? "BUP" : "IFO");
  return name;
}

// Reads the information files of a DVD folder straight from the file system.
class FolderFiles {
 public:
  explicit FolderFiles(const std::string& root) {
    folder_ = FindChildNoCase(root, "VIDEO_TS");
    if (folder_.empty()) folder_ = root;
  }
  Fetched Read(int titleSet, bool backup) const {
    Fetched out;
    const std::string path = FindChildNoCase(folder_, IfoName(titleSet, backup));
    if (path.empty()) return out;
    out.present = true;
    std::error_code ec;
    const std::uint64_t size = fs::file_size(path, ec);
    if (ec || size > kLargestIfo) return out;
    std::ifstream in(path, std::ios::binary);
    out.bytes.resize(size);
    in.read(reinterpret_cast<char*>(out.bytes.data()), static_cast<std::streamsize>(size));
    out.readable = in.good() || (in.eof() && static_cast<std::uint64_t>(in.gcount()) == size);
    return out;
  }

 private:
  std::string folder_;
};

// Reads the information files of an image or a device through the reading
// library's file access, which reads bytes and parses nothing.
class ImageFiles {
 public:
  explicit ImageFiles(const std::string& root) : reader_(DVDOpen(root.c_str())) {}
  bool Opened() const { return reader_ != nullptr; }
  Fetched Read(int titleSet, bool backup) const {
    Fetched out;
    std::unique_ptr<dvd_file_t, FileCloser> file(
        DVDOpenFile(reader_.get(), titleSet, backup ? DVD_READ_INFO_BACKUP_FILE : DVD_READ_INFO_FILE));
    if (!file) return out;
    out.present = true;
    const ssize_t blocks = DVDFileSize(file.get());
    if (blocks < 0 || static_cast<std::uint64_t>(blocks) * kSector > kLargestIfo) return out;
    out.bytes.resize(static_cast<std::size_t>(blocks) * kSector);
    const auto wanted = static_cast<ssize_t>(out.bytes.size());
    out.readable = wanted == 0 || DVDReadBytes(file.get(), out.bytes.data(), out.bytes.size()) == wanted;
    return out;
  }

 private:
  struct ReaderCloser {
    void operator()(dvd_reader_t* reader) const { DVDClose(reader); }
  };
  struct FileCloser {
    void operator()(dvd_file_t* file) const { DVDCloseFile(file); }
  };
  std::unique_ptr<dvd_reader_t, ReaderCloser> reader_;
};

// Checks one title set's IFO and BUP: each copy that exists must be sound,
// and at least one must exist. `titleSets` receives the manager's count.
template <typename Files>
std::string CheckSet(const Files& files, int titleSet, int* titleSets) {
  const IfoKind kind = titleSet == 0 ? IfoKind::kManager : IfoKind::kTitleSet;
  bool any = false;
  for (const bool backup : {false, true}) {
    const Fetched fetched = files.Read(titleSet, backup);
    if (!fetched.present) continue;
    any = true;
    const std::string name = IfoName(titleSet, backup);
    if (!fetched.readable) return name + ": cannot be read";
    if (auto problem = IfoProblem(fetched.bytes, kind); !problem.empty()) return name + ": " + problem;
    if (titleSets) *titleSets = IfoTitleSetCount(fetched.bytes);
  }
  if (!any) return IfoName(titleSet, false) + ": missing, and no backup";
  return {};
}

template <typename Files>
std::string CheckDisc(const Files& files) {
  int titleSets = 0;
  if (auto problem = CheckSet(files, 0, &titleSets); !problem.empty()) return problem;
  for (int set = 1; set <= titleSets; ++set)
    if (auto problem = CheckSet(files, set, nullptr); !problem.empty()) return problem;
  return {};
}

}  // namespace

std::string IfoProblem(std::span<const std::uint8_t> file, IfoKind kind) {
  Checker checker(file);
  return kind == IfoKind::kManager ? checker.Manager() : checker.TitleSet();
}

int IfoTitleSetCount(std::span<const std::uint8_t> file) {
  if (file.size() < 64) return 0;
  return static_cast<int>(std::min<std::uint32_t>(Be16(file, 62), 99));
}

std::string DiscIfoProblem(const std::string& root) {
  struct stat info {};
  if (::stat(root.c_str(), &info) != 0) return "not found";
  if (S_ISDIR(info.st_mode)) return CheckDisc(FolderFiles(root));
  const ImageFiles image(root);
  if (!image.Opened()) return "cannot be opened";
  return CheckDisc(image);
}

}  // namespace tovelax
