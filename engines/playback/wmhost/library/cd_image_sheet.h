// The sheet of a CD disc image: a cue sheet (.cue) or a cdrdao table of
// contents (.toc), read by a strict parser of our own. libcdio's image
// readers end the process or divide by zero on some sheets, so a sheet
// reaches libcdio only after this parser accepted it: the statements, track
// modes and data file layouts libcdio reads correctly, nothing else.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wmhost {

enum class CdSheetKind { Cue, Toc };

struct CdImageTrack {
  int number = 0;
  bool audio = true;
  std::string mode;          // as the sheet writes it: "AUDIO", "MODE1/2048", "MODE2_RAW"
  unsigned sectorSize = 0;   // bytes per sector in the data file
  std::string file;          // the data file, relative names resolved against the sheet's folder
  std::uint64_t offset = 0;  // of the track's first byte in `file`
  unsigned startSector = 0;  // from the first track's start
  unsigned sectors = 0;
  std::string title;
  std::string performer;
  std::string statement;     // a TOC's data statement after the file name ("0 00:01:00")
};

struct CdImageSheet {
  CdSheetKind kind = CdSheetKind::Cue;
  std::string title;
  std::string performer;
  std::vector<CdImageTrack> tracks;
  bool relativeFiles = false;  // a data file is named relative to the sheet's folder
};

// The size of a readable regular file, or nothing.
using CdFileSize = std::function<std::optional<std::uint64_t>(const std::string& path)>;

// Parses a sheet's text; data file names are resolved against `folder` and
// measured with `sizeOf`. Empty, with the reason, when the sheet holds
// anything outside the supported set or its tracks do not fit their files.
std::optional<CdImageSheet> ParseCdImageSheet(std::string_view text, CdSheetKind kind, const std::string& folder,
                                              const CdFileSize& sizeOf, std::string* error = nullptr);

// The sheet kind a path names by its extension (".cue", ".toc", any case).
std::optional<CdSheetKind> CdSheetKindOf(const std::string& path);

// Reads and parses a sheet file (a regular file of at most 1 MiB).
std::optional<CdImageSheet> ReadCdImageSheet(const std::string& path, std::string* error = nullptr);

// The sheet as a TOC naming its data files by absolute path, for libcdio,
// which looks a TOC's relative names up from the working folder.
std::string FormatTocSheet(const CdImageSheet& sheet);

}  // namespace wmhost
