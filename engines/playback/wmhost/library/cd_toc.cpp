#include "engines/playback/wmhost/library/cd_toc.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cdio/cdio.h>
#include <cdio/cdtext.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>

#include "engines/playback/wmhost/library/cd_image_sheet.h"
#include "platform/media/cdio_log.h"
#include "platform/sys/debug_output.h"

namespace wmhost {

namespace {

namespace fs = std::filesystem;

constexpr double kSectorsPerSecond = 75.0;
constexpr std::string_view kReaderFolderPrefix = "marivel-cd.";

struct CdioCloser {
  void operator()(CdIo_t* cdio) const { cdio_destroy(cdio); }
};

std::string CdText(cdtext_t* text, cdtext_field_t field, track_t track) {
  if (!text) return {};
  const char* value = cdtext_get_const(text, field, track);
  return value ? value : "";
}

bool Fail(std::string* error, std::string why) {
  plat::OutputDebugStringA(("CD: " + why + "\n").c_str());
  if (error) *error = std::move(why);
  return false;
}

// libcdio looks a TOC's relative data file names up from the working
// folder; readers of such a sheet get a copy naming them by absolute path,
// kept in a folder of this process that goes when the process ends (and,
// after a kill, when the next process makes its own).
class ReaderCopies {
 public:
  ~ReaderCopies() {
    std::error_code ec;
    if (!folder_.empty()) fs::remove_all(folder_, ec);
  }

  std::string copyOf(const std::string& sheetPath, const CdImageSheet& sheet) {
    const std::lock_guard lock(mutex_);
    if (folder_.empty() && !makeFolder()) return sheetPath;
    const std::string text = FormatTocSheet(sheet);
    auto known = copies_.find(sheetPath);
    if (known == copies_.end()) {
      const std::string name = (fs::path(folder_) / (std::to_string(copies_.size()) + ".toc")).string();
      known = copies_.emplace(sheetPath, name).first;
    }
    std::ofstream out(known->second, std::ios::binary | std::ios::trunc);
    out << text;
    return out.flush() ? known->second : sheetPath;
  }

 private:
  bool makeFolder() {
    std::error_code ec;
    const fs::path temp = fs::temp_directory_path(ec);
    if (ec) return false;
    for (const fs::directory_entry& entry : fs::directory_iterator(temp, ec)) {
      const std::string name = entry.path().filename().string();
      if (!name.starts_with(kReaderFolderPrefix)) continue;
      const pid_t pid = static_cast<pid_t>(std::atoi(name.c_str() + kReaderFolderPrefix.size()));
      struct stat info {};
      if (pid <= 0 || ::lstat(entry.path().c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid())
        continue;
      if (::kill(pid, 0) != 0 && errno == ESRCH) fs::remove_all(entry.path(), ec);
    }
    const fs::path folder = temp / (std::string(kReaderFolderPrefix) + std::to_string(::getpid()));
    fs::create_directory(folder, ec);
    if (ec) return false;
    fs::permissions(folder, fs::perms::owner_all, ec);
    folder_ = folder.string();
    return true;
  }

  std::mutex mutex_;
  std::string folder_;
  std::map<std::string, std::string> copies_;
};

ReaderCopies& Copies() {
  static ReaderCopies copies;
  return copies;
}

// The sheet of a disc image file: the file itself when it is a .cue or .toc;
// the .cue beside a .bin, which is where libcdio looks for it.
std::optional<std::string> SheetOf(const std::string& image) {
  if (CdSheetKindOf(image)) return image;
  fs::path path(image);
  std::string extension = path.extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (extension != ".bin") return std::nullopt;
  return path.replace_extension(".cue").string();
}

std::optional<CdTableOfContents> FromImage(const std::string& image, std::string* error) {
  const auto sheetPath = SheetOf(image);
  if (!sheetPath) {
    Fail(error, "unsupported disc image " + image + ": only CUE/BIN and TOC images are read");
    return std::nullopt;
  }
  std::string why;
  const auto sheet = ReadCdImageSheet(*sheetPath, &why);
  if (!sheet) {
    Fail(error, "unsupported disc image " + *sheetPath + ": " + why);
    return std::nullopt;
  }
  CdTableOfContents toc;
  toc.title = sheet->title;
  toc.performer = sheet->performer;
  for (const CdImageTrack& image_track : sheet->tracks) {
    CdTrack track;
    track.number = image_track.number;
    track.audio = image_track.audio;
    track.startSector = image_track.startSector;
    track.sectors = image_track.sectors;
    track.seconds = track.sectors / kSectorsPerSecond;
    track.title = image_track.title;
    track.performer = image_track.performer;
    toc.tracks.push_back(std::move(track));
  }
  toc.readerDevice = sheet->kind == CdSheetKind::Toc && sheet->relativeFiles ? Copies().copyOf(*sheetPath, *sheet)
                                                                               : *sheetPath;
  return toc;
}

std::optional<CdTableOfContents> FromDrive(const std::string& device, std::string* error) {
  std::unique_ptr<CdIo_t, CdioCloser> cdio(cdio_open(device.c_str(), DRIVER_DEVICE));
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
  toc.readerDevice = device;
  cdtext_t* text = cdio_get_cdtext(cdio.get());
  toc.title = CdText(text, CDTEXT_FIELD_TITLE, 0);
  toc.performer = CdText(text, CDTEXT_FIELD_PERFORMER, 0);
  for (unsigned number = first; number < unsigned{first} + count && number <= CDIO_CD_MAX_TRACKS; ++number) {
    const auto trackNumber = static_cast<track_t>(number);
    CdTrack track;
    track.number = trackNumber;
    track.audio = cdio_get_track_format(cdio.get(), trackNumber) == TRACK_FORMAT_AUDIO;
    const lsn_t start = cdio_get_track_lsn(cdio.get(), trackNumber);
    track.startSector = start == CDIO_INVALID_LSN || start < 0 ? 0 : static_cast<unsigned>(start);
    track.sectors = cdio_get_track_sec_count(cdio.get(), trackNumber);
    track.seconds = track.sectors / kSectorsPerSecond;
    track.title = CdText(text, CDTEXT_FIELD_TITLE, trackNumber);
    track.performer = CdText(text, CDTEXT_FIELD_PERFORMER, trackNumber);
    toc.tracks.push_back(std::move(track));
  }
  return toc;
}

}  // namespace

std::optional<CdTableOfContents> ReadCdTableOfContents(const std::string& device, std::string* error) {
  plat::media::InstallCdioLogHandler();
  // Disc images are read by our own sheet parser and reach libcdio only when
  // it accepted them; drives are block devices; nothing else (a FIFO, a
  // folder) is opened at all.
  struct stat info {};
  if (device.empty() || ::stat(device.c_str(), &info) != 0) {
    if (error) *error = "no disc in " + device;
    return std::nullopt;
  }
  if (S_ISREG(info.st_mode)) return FromImage(device, error);
  if (S_ISBLK(info.st_mode)) return FromDrive(device, error);
  Fail(error, device + " is neither a drive nor a disc image");
  return std::nullopt;
}

}  // namespace wmhost
