// libFuzzer entry for the CD image reader: the input, led by a byte that
// picks the kind, is written as a .cue or .toc sheet beside two data files
// and read the way the player and the ripper read a virtual drive. Any sheet
// must be listed or refused without a crash, a stray access or an exit, and
// every sheet the reader accepts must open in libcdio through the device the
// readers are handed, with readable tracks.
#include <cdio/cdio.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "engines/playback/wmhost/library/cd_toc.h"

namespace {

const std::filesystem::path& ImageFolder() {
  static const std::filesystem::path folder = [] {
    const std::filesystem::path path = std::filesystem::current_path() / "image";
    std::filesystem::create_directories(path);
    for (const char* name : {"a.bin", "d.bin", "f.bin"}) {
      std::ofstream(path / name, std::ios::binary) << std::string(100 * 2352, '\x55');
    }
    return path;
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::filesystem::path sheet = ImageFolder() / ((data[0] & 1) ? "f.toc" : "f.cue");
  {
    std::ofstream out(sheet, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
  }
  const auto toc = wmhost::ReadCdTableOfContents(sheet.string());
  if (toc) {
    if (toc->tracks.empty()) std::abort();
    CdIo_t* cdio = cdio_open(toc->readerDevice.c_str(), DRIVER_UNKNOWN);
    if (cdio) {
      const track_t first = cdio_get_first_track_num(cdio);
      const track_t count = cdio_get_num_tracks(cdio);
      for (unsigned n = first; count != CDIO_INVALID_TRACK && n < unsigned{first} + count && n <= 99; ++n) {
        const auto number = static_cast<track_t>(n);
        (void)cdio_get_track_format(cdio, number);
        (void)cdio_get_track_lsn(cdio, number);
        (void)cdio_get_track_sec_count(cdio, number);
      }
      (void)cdio_get_cdtext(cdio);
      cdio_destroy(cdio);
    }
  }
  std::filesystem::remove(sheet);
  return 0;
}
