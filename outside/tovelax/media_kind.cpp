#include "outside/tovelax/media_kind.h"

#include <cdio/cdio.h>
#include <cdio/cd_types.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "outside/tovelax/tovelax_api.h"
#include "platform/media/cdio_log.h"

namespace tovelax {
namespace fs = std::filesystem;

namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

// The device mounted at `folder`, from the mount table; empty when none.
std::string MountedDevice(const std::string& folder) {
  std::error_code ec;
  const std::string wanted = fs::weakly_canonical(folder, ec).string();
  std::ifstream mounts("/proc/self/mounts");
  std::string line;
  while (std::getline(mounts, line)) {
    std::istringstream in(line);
    std::string device, point;
    in >> device >> point;
    if (point == wanted) return device;
  }
  return {};
}

bool IsOpticalDevice(const std::string& device) {
  const std::string name = fs::path(device).filename().string();
  return name.rfind("sr", 0) == 0 || name.rfind("scd", 0) == 0 || name.rfind("cdrom", 0) == 0 ||
         name.rfind("dvd", 0) == 0;
}

std::uint32_t ClassifyDevice(const std::string& device) {
  plat::media::InstallCdioLogHandler();
  CdIo_t* cdio = cdio_open(device.c_str(), DRIVER_DEVICE);
  if (!cdio) return 0;
  std::uint32_t bits = 0;
  const discmode_t mode = cdio_get_discmode(cdio);
  if (cdio_is_discmode_dvd(mode)) {
    bits = kMediaDvdDisc;
  } else if (cdio_is_discmode_cdrom(mode)) {
    const track_t first = cdio_get_first_track_num(cdio);
    cdio_iso_analysis_t analysis{};
    const cdio_fs_anal_t type = cdio_guess_cd_type(cdio, 0, first, &analysis);
    if (CDIO_FSTYPE(type) == CDIO_FS_AUDIO) bits = kMediaAudioCd;
    else if (type & CDIO_FS_ANAL_SVCD) bits = kMediaSvcd;
    else if (type & (CDIO_FS_ANAL_VIDEOCD | CDIO_FS_ANAL_CVD)) bits = kMediaVcd;
  }
  cdio_destroy(cdio);
  return bits;
}

std::uint32_t ClassifyFolder(const std::string& folder) {
  const bool onDisc = IsOpticalDevice(MountedDevice(folder));
  std::string videoTs = FindChildNoCase(folder, "VIDEO_TS");
  if (Lower(fs::path(folder).filename().string()) == "video_ts") videoTs = folder;
  if (!videoTs.empty() && !FindChildNoCase(videoTs, "VIDEO_TS.IFO").empty())
    return onDisc ? kMediaDvdDisc : kMediaDvdFolder;
  if (!FindChildNoCase(folder, "DVD_RTAV").empty() || !FindChildNoCase(folder, "VIDEO_RM").empty())
    return kMediaDvdRecording;
  if (!FindChildNoCase(folder, "MPEG2").empty() && !FindChildNoCase(folder, "SVCD").empty())
    return kMediaSvcd;
  if (!FindChildNoCase(folder, "MPEGAV").empty()) return kMediaVcd;
  if (onDisc) return ClassifyDevice(MountedDevice(folder));
  return 0;
}

std::uint32_t ClassifyFile(const std::string& path) {
  const std::string name = Lower(fs::path(path).filename().string());
  if (name == "video_ts.ifo") return kMediaDvdVideoTsIfo;
  const std::string ext = Lower(fs::path(path).extension().string());
  if (ext == ".iso" || ext == ".img") return kMediaDvdImage;
  if (ext == ".mpg" || ext == ".mpeg" || ext == ".vob" || ext == ".mpe" || ext == ".m2v" || ext == ".dat")
    return kMediaVideoFileMpegPs;
  if (ext == ".mp4" || ext == ".m4v" || ext == ".mov") return kMediaVideoFileMp4;
  if (ext == ".mkv" || ext == ".webm") return kMediaVideoFileMkv;
  if (ext == ".avi" || ext == ".divx") return kMediaVideoFileAvi;
  if (ext == ".wmv" || ext == ".asf" || ext == ".ts" || ext == ".m2ts" || ext == ".mts" || ext == ".ogv" ||
      ext == ".flv" || ext == ".3gp")
    return kMediaVideoFileOther;
  return 0;
}

}  // namespace

std::string FindChildNoCase(const std::string& folder, const std::string& name) {
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string child = it->path().filename().string();
    if (strcasecmp(child.c_str(), name.c_str()) == 0) return it->path().string();
  }
  return {};
}

std::optional<std::uint32_t> ClassifyMedia(const std::string& path) {
  struct stat info {};
  if (path.empty() || ::stat(path.c_str(), &info) != 0) return std::nullopt;
  if (S_ISDIR(info.st_mode)) return ClassifyFolder(path);
  if (S_ISBLK(info.st_mode)) return ClassifyDevice(path);
  if (S_ISREG(info.st_mode)) return ClassifyFile(path);
  return 0;
}

}  // namespace tovelax
