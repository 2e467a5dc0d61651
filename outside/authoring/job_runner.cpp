#include "outside/authoring/job_runner.h"

#include <filesystem>
#include <fstream>

#include "outside/authoring/audio_cd.h"
#include "outside/authoring/burn_writer.h"
#include "outside/authoring/cue_bin_writer.h"
#include "outside/authoring/data_disc.h"
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
  outcome.result = WriteDataTrack(image.get(), job.writer, job.kind, job.simulate, false, control);
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
  outcome.result = WriteCueBin(
      bin, layout.sectors, [&](const std::string& name) { return AudioCueSheet(name, layout); }, job, control);
  return outcome;
}

}  // namespace

JobOutcome RunJob(const Job& job, const JobControl& control) {
  JobOutcome outcome;
  switch (job.kind) {
    case DiscKind::DataCd: outcome = RunDataDisc(job, control); break;
    case DiscKind::AudioCd: outcome = RunAudioCd(job, control); break;
    default: outcome.result = plat::E_NOTIMPL; break;
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
