#include "outside/authoring/cue_bin_writer.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "outside/authoring/audio_cd.h"
#include "outside/authoring/image_files.h"
#include "outside/authoring/writers.h"
#include "platform/sys/atomic_file.h"
#include "platform/sys/spawn.h"

namespace authoring {
namespace {

namespace fs = std::filesystem;

// Tells why the image was not written, once per failed job.
bool ImageWriteFailed(const std::string& path, int error) {
  std::fprintf(stderr, "disc image: cannot write \"%s\": %s\n", path.c_str(), plat::WriteFailureCause(error).c_str());
  return false;
}

bool CopyWithProgress(const std::string& from, const std::string& to, std::int64_t total, const JobControl& control) {
  std::ifstream in(from, std::ios::binary);
  if (!in) return false;
  errno = 0;
  std::ofstream out(to, std::ios::binary | std::ios::trunc);
  if (!out) return ImageWriteFailed(to, errno ? errno : EIO);
  std::vector<char> buffer(1 << 20);
  std::int64_t done = 0;
  while (in) {
    if (control.Cancelled()) return false;
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    const std::streamsize n = in.gcount();
    if (n <= 0) break;
    errno = 0;
    out.write(buffer.data(), n);
    if (!out) return ImageWriteFailed(to, errno ? errno : EIO);
    done += n;
    control.Report(kAuthoringStageWriting, total ? static_cast<int>(std::min<std::int64_t>(99, 100 * done / total)) : 0,
                   done, total);
  }
  errno = 0;
  out.flush();
  if (!out) return ImageWriteFailed(to, errno ? errno : EIO);
  return !in.bad();
}

// A CUE sheet names its BIN in quotes on one line.
bool SafeForSheet(const std::string& name) { return name.find_first_of("\"\r\n") == std::string::npos; }

}  // namespace

std::string RenameCueFile(const std::string& sheet, const std::string& binName) {
  std::istringstream in(sheet);
  std::string line;
  std::string out;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t first = line.find_first_not_of(" \t");
    if (first != std::string::npos && line.compare(first, 5, "FILE ") == 0) {
      const std::size_t close = line.rfind('"');
      const std::string type = close != std::string::npos ? line.substr(close + 1) : std::string(" BINARY");
      line = line.substr(0, first) + "FILE \"" + binName + "\"" + type;
    }
    out += line + "\n";
  }
  return out;
}

plat::HRESULT WriteCueBin(const std::string& jobBin, std::int64_t sectors,
                          const std::function<std::string(const std::string& binName)>& sheetFor, const Job& job,
                          const JobControl& control) {
  const std::int64_t bytes = sectors * kCdSectorBytes;
  control.Report(kAuthoringStageWriting, 0, 0, bytes);
  const Writer& writer = job.writer;
  // A disc of N MiB holds N * 512 sectors of 2048 bytes; CD-DA and Mode 2
  // sectors take the same places on it.
  if (writer.isVirtual) {
    const std::int64_t capacity = static_cast<std::int64_t>(writer.capacityMB ? writer.capacityMB : 703) * 512;
    if (sectors > capacity) return plat::HRESULT_FROM_WIN32(112);
    if (job.simulate) return plat::S_OK;
    const CueBinPaths paths = CueBinFor(writer.imagePath);
    const std::string binName = fs::path(paths.bin).filename().string();
    if (!SafeForSheet(binName)) return plat::E_INVALIDARG;
    PendingImage bin(paths.bin);
    PendingImage cue(paths.cue);
    if (!bin.ok() || !cue.ok()) return plat::E_FAIL;
    if (!CopyWithProgress(jobBin, bin.path(), bytes, control)) return control.Cancelled() ? plat::E_ABORT : plat::E_FAIL;
    {
      std::ofstream sheet(cue.path(), std::ios::binary | std::ios::trunc);
      sheet << sheetFor(binName);
      sheet.flush();
      if (!sheet) return plat::E_FAIL;
    }
    if (control.Cancelled()) return plat::E_ABORT;
    if (job.verify && !SameBytes(jobBin, bin.path())) return plat::HRESULT_FROM_WIN32(23);  // ERROR_CRC
    return bin.Commit() && cue.Commit() ? plat::S_OK : plat::E_FAIL;
  }
  // A real writer: the disc must be blank and large enough first.
  const DiscState disc = InspectDisc(writer, job.kind);
  if (disc.kind != kAuthoringMediaCd || !disc.blank) return plat::E_FAIL;
  if (static_cast<std::int64_t>(disc.freeMB) * 512 < sectors) return plat::HRESULT_FROM_WIN32(112);
  const std::string binName = fs::path(jobBin).filename().string();
  const std::string sheetPath = fs::path(jobBin).replace_extension(".cue").string();
  {
    std::ofstream sheet(sheetPath, std::ios::binary | std::ios::trunc);
    sheet << sheetFor(binName);
    if (!sheet) return plat::E_FAIL;
  }
  std::vector<std::string> argv = {"cdrdao", job.simulate ? "simulate" : "write", "--device", writer.device, "-n"};
  if (job.eject) argv.push_back("--eject");
  argv.push_back(sheetPath);
  std::string output;
  const int status = plat::RunAndWait(argv, &output, control.CancelFlag());
  if (control.Cancelled()) return plat::E_ABORT;
  return status == 0 ? plat::S_OK : plat::E_FAIL;
}

}  // namespace authoring
