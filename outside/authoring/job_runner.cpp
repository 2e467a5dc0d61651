#include "outside/authoring/job_runner.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "outside/authoring/audio_cd.h"
#include "outside/authoring/burn_writer.h"
#include "outside/authoring/cue_bin_writer.h"
#include "outside/authoring/data_disc.h"
#include "outside/authoring/disc_authoring.h"
#include "outside/authoring/image_files.h"
#include "outside/authoring/mpeg_writer.h"
#include "outside/authoring/transcode.h"
#include "outside/authoring/work_folder.h"

namespace authoring {
namespace {

// Size of an element (a folder with everything in it, links not followed);
// -1 when it cannot be read.
std::int64_t ElementBytes(const std::string& element) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const auto status = fs::symlink_status(element, ec);
  if (ec) return -1;
  if (fs::is_regular_file(status)) {
    std::ifstream probe(element, std::ios::binary);
    if (!probe) return -1;
    const auto size = fs::file_size(element, ec);
    return ec ? -1 : static_cast<std::int64_t>(size);
  }
  if (!fs::is_directory(status)) return -1;
  std::int64_t total = 0;
  for (fs::recursive_directory_iterator it(element, fs::directory_options::none, ec), end; !ec && it != end;
       it.increment(ec)) {
    if (it->is_regular_file(ec) && !it->is_symlink(ec)) total += static_cast<std::int64_t>(it->file_size(ec));
  }
  return ec ? -1 : total;
}

JobOutcome Check(const Job& job, const JobControl& control, std::int64_t* total) {
  JobOutcome outcome;
  *total = 0;
  control.Report(kAuthoringStageChecking, 0);
  for (std::size_t i = 0; i < job.elements.size(); ++i) {
    const std::int64_t bytes = ElementBytes(job.elements[i]);
    if (bytes < 0) {
      outcome.result = plat::HRESULT_FROM_WIN32(2);  // ERROR_FILE_NOT_FOUND
      outcome.element = static_cast<std::int32_t>(i);
      return outcome;
    }
    *total += bytes;
  }
  control.Report(kAuthoringStageChecking, 100, 0, *total);
  return outcome;
}

JobOutcome RunDataDisc(const Job& job, const JobControl& control) {
  std::int64_t total = 0;
  JobOutcome outcome = Check(job, control, &total);
  if (plat::FAILED(outcome.result)) return outcome;
  control.Report(kAuthoringStageAuthoring, 0, 0, total);
  TrackSource image;
  int failed = -1;
  outcome.result = BuildDataDisc(job.elements, job.volumeLabel, &image, &failed);
  outcome.element = failed;
  if (plat::FAILED(outcome.result)) return outcome;
  outcome.imageBytes = TrackSourceSize(image.get());
  if (control.Cancelled()) {
    outcome.result = plat::E_ABORT;
    return outcome;
  }
  ImageCheck verify;
  if (job.verify) verify = [&](const std::string& written) { return VerifyDataDisc(written, job.elements); };
  outcome.result = WriteDataTrack(image.get(), job.writer, job.kind, job.simulate, job.eject, control, verify);
  return outcome;
}

// The work folder must hold what the job makes before anything is made.
bool EnoughWorkSpace(const JobFolder& folder, std::int64_t needed) {
  const std::int64_t free = folder.FreeBytes();
  return free < 0 || free >= needed;
}

JobOutcome RunAudioCd(const Job& job, const JobControl& control) {
  std::int64_t total = 0;
  JobOutcome outcome = Check(job, control, &total);
  if (plat::FAILED(outcome.result)) return outcome;
  JobFolder folder(job.workFolder);
  if (!folder.ok()) {
    outcome.result = plat::E_FAIL;
    return outcome;
  }
  // Sound decodes to at most a disc's worth of CD-DA sectors.
  const std::int64_t discBytes =
      static_cast<std::int64_t>(job.writer.capacityMB ? job.writer.capacityMB : 703) * 512 * kCdSectorBytes;
  if (!EnoughWorkSpace(folder, std::min(discBytes, total * 16))) {
    outcome.result = plat::HRESULT_FROM_WIN32(112);
    return outcome;
  }
  const std::string bin = folder.path() + "/audio.bin";
  CdLayout layout;
  int failed = -1;
  outcome.result = DecodeToCdAudio(job.elements, bin, control, &layout, &failed);
  outcome.element = failed;
  if (plat::FAILED(outcome.result)) return outcome;
  control.Report(kAuthoringStageAuthoring, 100, 0, layout.sectors * kCdSectorBytes);
  outcome.imageBytes = layout.sectors * kCdSectorBytes;
  if (!job.writer.isVirtual) {
    // A real writer takes the tracks from libburn in one pass.
    outcome.result = WriteAudioTracks(bin, layout.trackStarts, layout.sectors, job.writer, job.simulate, job.eject, control);
    return outcome;
  }
  outcome.result = WriteCueBin(
      bin, layout.sectors, [&](const std::string& name) { return AudioCueSheet(name, layout); }, job, control);
  return outcome;
}

constexpr plat::HRESULT kWorkFolderFull = plat::HRESULT_FROM_WIN32(39);  // ERROR_HANDLE_DISK_FULL

std::string Absolute(const std::string& path) {
  std::error_code ec;
  const auto p = std::filesystem::absolute(path, ec);
  return ec ? path : p.lexically_normal().string();
}

// Replaces `dest` by the folder `from`, renaming when it can and copying
// when it must; the old one goes only once the new one is complete.
bool ReplaceFolder(const std::string& from, const std::string& dest) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::create_directories(fs::path(dest).parent_path(), ec);
  const std::string fresh = dest + ".new";
  fs::remove_all(fresh, ec);
  fs::rename(from, fresh, ec);
  if (ec) {
    ec.clear();
    fs::copy(from, fresh, fs::copy_options::recursive, ec);
    if (ec) {
      fs::remove_all(fresh, ec);
      return false;
    }
  }
  fs::remove_all(dest, ec);
  fs::rename(fresh, dest, ec);
  return !ec;
}

// The MPEG files of a video disc, made in the job folder from the elements
// in their order. For a DVD, every video is its own title and the photos
// together one title, a chapter each, where the first photo stands.
struct VideoPlan {
  std::vector<DvdTitle> titles;
  std::vector<std::string> tracks;  // all MPEG files in order
};

JobOutcome Transcode(const Job& job, const JobControl& control, const std::string& folder, VideoPlan* plan) {
  JobOutcome outcome;
  const MpegTarget target = TargetFor(job.kind, job.pal, job.format);
  int photoTitle = -1;
  const double count = static_cast<double>(job.elements.size());
  std::int64_t bytes = 0;
  for (std::size_t i = 0; i < job.elements.size(); ++i) {
    const std::string& element = job.elements[i];
    const std::string mpg = folder + "/element" + std::to_string(i) + ".mpg";
    auto report = [&](double fraction) {
      control.Report(kAuthoringStageTranscoding, static_cast<int>(std::min(99.0, 100 * (static_cast<double>(i) + fraction) / count)), bytes);
    };
    report(0);
    MpegWriter writer(target);
    std::string error;
    if (!writer.Open(mpg, &error)) {
      outcome.result = plat::E_FAIL;
      return outcome;
    }
    const bool still = IsStillFile(element);
    plat::HRESULT hr = still ? AppendStill(element, job.photoSeconds, writer, control)
                             : AppendVideo(element, writer, control, report);
    if (plat::SUCCEEDED(hr) && !writer.Finish()) hr = plat::E_FAIL;
    if (plat::FAILED(hr)) {
      outcome.result = control.Cancelled() ? plat::E_ABORT : hr;
      outcome.element = static_cast<std::int32_t>(i);
      return outcome;
    }
    std::error_code ec;
    bytes += static_cast<std::int64_t>(std::filesystem::file_size(mpg, ec));
    plan->tracks.push_back(mpg);
    if (still && job.kind == DiscKind::Dvd) {
      if (photoTitle < 0) {
        photoTitle = static_cast<int>(plan->titles.size());
        plan->titles.emplace_back();
      }
      plan->titles[static_cast<std::size_t>(photoTitle)].push_back(mpg);
    } else {
      plan->titles.push_back({mpg});
    }
  }
  control.Report(kAuthoringStageTranscoding, 100, bytes);
  return outcome;
}

// What the MPEG files and images of a video disc take in the work folder.
std::int64_t VideoWorkBytes(const Job& job) {
  const MpegTarget target = TargetFor(job.kind, job.pal, job.format);
  const double bytesPerSecond = static_cast<double>(std::max(target.videoBitRate, target.maxBitRate) + target.audioBitRate) / 8;
  double seconds = 0;
  for (const std::string& element : job.elements) {
    seconds += IsStillFile(element) ? job.photoSeconds : VideoSeconds(element);
  }
  // The MPEG files, the authored disc and its image.
  return static_cast<std::int64_t>(seconds * bytesPerSecond * 3.2) + (16 << 20);
}

JobOutcome WriteDvdFolder(const Job& job, const JobControl& control, const JobFolder& folder, const std::string& dvd) {
  JobOutcome outcome;
  const std::string iso = folder.path() + "/disc.iso";
  control.Report(kAuthoringStageAuthoring, 50);
  outcome.result = MakeDvdIso(Absolute(dvd), job.volumeLabel, iso, control);
  if (plat::FAILED(outcome.result)) return outcome;
  TrackSource image = FileTrackSource(iso);
  if (!image) {
    outcome.result = plat::E_FAIL;
    return outcome;
  }
  outcome.imageBytes = TrackSourceSize(image.get());
  ImageCheck verify;
  if (job.verify) verify = [&](const std::string& written) { return SameBytes(iso, written); };
  outcome.result = WriteDataTrack(image.get(), job.writer, DiscKind::Dvd, job.simulate, job.eject, control, verify);
  return outcome;
}

JobOutcome RunVideoDisc(const Job& job, const JobControl& control) {
  std::int64_t total = 0;
  JobOutcome outcome = Check(job, control, &total);
  if (plat::FAILED(outcome.result)) return outcome;
  JobFolder folder(Absolute(job.workFolder));
  if (!folder.ok()) {
    outcome.result = plat::E_FAIL;
    return outcome;
  }
  if (!EnoughWorkSpace(folder, VideoWorkBytes(job))) {
    outcome.result = kWorkFolderFull;
    return outcome;
  }
  VideoPlan plan;
  outcome = Transcode(job, control, folder.path(), &plan);
  if (plat::FAILED(outcome.result)) return outcome;
  control.Report(kAuthoringStageAuthoring, 0);
  if (job.kind == DiscKind::Dvd) {
    const std::string dvd = folder.path() + "/dvd";
    outcome.result = AuthorDvd(dvd, plan.titles, job.pal, folder.path(), control);
    if (plat::FAILED(outcome.result)) return outcome;
    // The last authored VIDEO_TS stays in the DVD folder to be burnt again.
    std::string written = dvd;
    if (!job.dvdFolder.empty() && ReplaceFolder(dvd + "/VIDEO_TS", job.dvdFolder + "/VIDEO_TS")) written = job.dvdFolder;
    return WriteDvdFolder(job, control, folder, written);
  }
  const std::string bin = folder.path() + "/vcd.bin";
  const std::string cue = folder.path() + "/vcd.cue";
  outcome.result = MakeVcdImage(plan.tracks, job.kind == DiscKind::Svcd, job.volumeLabel, bin, cue, control);
  if (plat::FAILED(outcome.result)) return outcome;
  std::error_code ec;
  const std::int64_t size = static_cast<std::int64_t>(std::filesystem::file_size(bin, ec));
  std::ifstream sheetIn(cue, std::ios::binary);
  const std::string sheet((std::istreambuf_iterator<char>(sheetIn)), std::istreambuf_iterator<char>());
  if (ec || size % kCdSectorBytes || sheet.empty()) {
    outcome.result = plat::E_FAIL;
    return outcome;
  }
  outcome.imageBytes = size;
  outcome.result = WriteCueBin(
      bin, size / kCdSectorBytes, [&](const std::string& name) { return RenameCueFile(sheet, name); }, job, control);
  return outcome;
}

JobOutcome RunBurnFolder(const Job& job, const JobControl& control) {
  JobOutcome outcome;
  control.Report(kAuthoringStageChecking, 0);
  JobFolder folder(Absolute(job.workFolder));
  if (!folder.ok()) {
    outcome.result = plat::E_FAIL;
    return outcome;
  }
  return WriteDvdFolder(job, control, folder, job.sourceFolder);
}

}  // namespace

JobOutcome RunJob(const Job& job, const JobControl& control) {
  JobOutcome outcome;
  switch (job.kind) {
    case DiscKind::DataCd: outcome = RunDataDisc(job, control); break;
    case DiscKind::AudioCd: outcome = RunAudioCd(job, control); break;
    case DiscKind::Dvd:
    case DiscKind::Svcd:
    case DiscKind::Vcd: outcome = job.burnFolderOnly ? RunBurnFolder(job, control) : RunVideoDisc(job, control); break;
  }
  if (plat::SUCCEEDED(outcome.result)) {
    const DiscState disc = InspectDisc(job.writer, job.kind);
    outcome.discRemainMB = std::max<std::int32_t>(0, disc.capacityMB - static_cast<std::int32_t>(outcome.imageBytes / (1024 * 1024)));
  } else if (control.Cancelled()) {
    outcome.result = plat::E_ABORT;
  }
  return outcome;
}

}  // namespace authoring
