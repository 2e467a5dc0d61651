#include "outside/authoring/burn_writer.h"

#include <libburn/libburn.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <thread>

#include "outside/authoring/image_files.h"
#include "outside/authoring/module_pin.h"

// libburn declares its C API inside a C++ namespace; its `burn_source`
// has the same layout as the global one libisofs hands out.
using namespace burn;

namespace authoring {
namespace {

burn::burn_source* AsBurn(::burn_source* source) { return reinterpret_cast<burn::burn_source*>(source); }

// libburn keeps process-wide state: one user at a time.
std::mutex g_libburn;

// libburn is initialised once for the process and kept: starting it again
// after a cancelled write leaves the next write without its output.
class BurnSession {
 public:
  BurnSession() : lock_(g_libburn) {
    static const bool ok = [] {
      KeepThisModuleLoaded();
      if (burn_initialize() != 1) return false;
      burn_msgs_set_severities(const_cast<char*>("SORRY"), const_cast<char*>("NEVER"), const_cast<char*>("marivel: "));
      return true;
    }();
    ok_ = ok;
  }
  BurnSession(const BurnSession&) = delete;
  BurnSession& operator=(const BurnSession&) = delete;
  bool ok() const { return ok_; }

 private:
  std::lock_guard<std::mutex> lock_;
  bool ok_ = false;
};

// A grabbed drive, released (and freed) on scope exit.
class GrabbedDrive {
 public:
  // `load` closes an open tray; looking at drives never does.
  explicit GrabbedDrive(const std::string& address, bool load = false) {
    char adr[BURN_DRIVE_ADR_LEN] = {};
    std::string resolved = address;
    if (address.rfind("stdio:", 0) != 0 &&
        burn_drive_convert_fs_adr(const_cast<char*>(address.c_str()), adr) > 0) {
      resolved = adr;
    }
    if (burn_drive_scan_and_grab(&infos_, const_cast<char*>(resolved.c_str()), load ? 1 : 0) == 1 && infos_) {
      drive_ = infos_[0].drive;
    }
  }
  ~GrabbedDrive() {
    if (drive_) burn_drive_release(drive_, eject_ ? 1 : 0);
    if (infos_) burn_drive_info_free(infos_);
  }
  GrabbedDrive(const GrabbedDrive&) = delete;
  GrabbedDrive& operator=(const GrabbedDrive&) = delete;
  burn_drive* get() const { return drive_; }
  const burn_drive_info* info() const { return infos_; }
  void EjectOnRelease(bool eject) { eject_ = eject; }

 private:
  burn_drive_info* infos_ = nullptr;
  burn_drive* drive_ = nullptr;
  bool eject_ = false;
};

DiscState StateOf(burn_drive* drive) {
  DiscState disc;
  const burn_disc_status status = burn_disc_get_status(drive);
  if (status == BURN_DISC_EMPTY || status == BURN_DISC_UNREADY || status == BURN_DISC_UNSUITABLE) return disc;
  int profile = 0;
  char name[80] = {};
  burn_disc_get_profile(drive, &profile, name);
  disc.kind = profile >= 0x10 ? kAuthoringMediaDvd : kAuthoringMediaCd;
  disc.blank = status == BURN_DISC_BLANK;
  burn_write_opts* opts = burn_write_opts_new(drive);
  const off_t free = (status == BURN_DISC_BLANK || status == BURN_DISC_APPENDABLE) ? burn_disc_available_space(drive, opts) : 0;
  burn_write_opts_free(opts);
  disc.freeMB = static_cast<std::int32_t>(free / (1024 * 1024));
  disc.capacityMB = disc.freeMB;
  return disc;
}

// What libburn said about the last start: nothing, that a write it was
// asked for before has not quite ended (its thread outlives the drive's idle
// state after a cancel), or another refusal. Takes the queued messages.
enum class StartAnswer { Quiet, Busy, Refused };
StartAnswer TakeMessages() {
  StartAnswer answer = StartAnswer::Quiet;
  int code = 0;
  int osErrno = 0;
  char text[BURN_MSGS_MESSAGE_LEN] = {};
  char severity[80] = {};
  while (burn_msgs_obtain(const_cast<char*>("SORRY"), &code, text, &osErrno, severity) > 0) {
    if (std::strstr(text, "still going on")) {
      if (answer == StartAnswer::Quiet) answer = StartAnswer::Busy;
    } else {
      answer = StartAnswer::Refused;
    }
  }
  return answer;
}

// Starts the write; waits (bounded) for an earlier write to let go first.
// False when libburn did not take it: a refused write must not pass for a
// written disc.
bool StartWrite(burn_drive* drive, burn_write_opts* opts, burn_disc* disc) {
  TakeMessages();  // old ones
  for (int attempt = 0; attempt < 200; ++attempt) {
    burn_disc_write(opts, disc);
    const bool started = burn_drive_get_status(drive, nullptr) != BURN_DRIVE_IDLE;
    const StartAnswer answer = TakeMessages();
    if (started) return true;
    if (answer == StartAnswer::Quiet) return true;  // already done: wrote_well tells
    if (answer == StartAnswer::Refused) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  return false;
}

// Runs a prepared write to its end, reporting progress; cancels it when
// the job is cancelled.
plat::HRESULT RunWrite(burn_drive* drive, burn_write_opts* opts, burn_disc* disc, const JobControl& control,
                       std::int64_t size, int sectorBytes) {
  if (!StartWrite(drive, opts, disc)) return plat::E_FAIL;
  burn_progress progress{};
  while (burn_drive_get_status(drive, nullptr) == BURN_DRIVE_SPAWNING) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  bool cancelled = false;
  while (burn_drive_get_status(drive, &progress) != BURN_DRIVE_IDLE) {
    if (control.Cancelled() && !cancelled) {
      burn_drive_cancel(drive);
      cancelled = true;
    }
    const std::int64_t done = static_cast<std::int64_t>(progress.sector) * sectorBytes;
    const int percent = progress.sectors > 0 ? static_cast<int>(100LL * progress.sector / progress.sectors) : 0;
    control.Report(kAuthoringStageWriting, std::min(percent, 99), done, size);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (control.Cancelled()) return plat::E_ABORT;
  return burn_drive_wrote_well(drive) ? plat::S_OK : plat::E_FAIL;
}

burn_write_opts* NewOptions(burn_drive* drive, bool simulate) {
  burn_write_opts* opts = burn_write_opts_new(drive);
  if (!opts) return nullptr;
  burn_write_opts_set_perform_opc(opts, 0);
  burn_write_opts_set_underrun_proof(opts, 1);
  burn_write_opts_set_simulate(opts, simulate ? 1 : 0);
  return opts;
}

plat::HRESULT BurnTrack(burn_drive* drive, ::burn_source* track, bool simulate, const JobControl& control,
                        std::int64_t size) {
  burn_write_opts* opts = NewOptions(drive, simulate);
  if (!opts) return plat::E_OUTOFMEMORY;
  burn_disc* disc = burn_disc_create();
  burn_session* session = burn_session_create();
  burn_disc_add_session(disc, session, BURN_POS_END);
  burn_track* t = burn_track_create();
  burn_track_define_data(t, 0, 0, 1, BURN_MODE1);
  plat::HRESULT hr = plat::S_OK;
  if (burn_track_set_source(t, AsBurn(track)) != BURN_SOURCE_OK) hr = plat::E_FAIL;
  burn_session_add_track(session, t, BURN_POS_END);
  char reasons[BURN_REASONS_LEN] = {};
  if (plat::SUCCEEDED(hr) && burn_write_opts_auto_write_type(opts, disc, reasons, 0) == BURN_WRITE_NONE) hr = plat::E_FAIL;
  if (plat::SUCCEEDED(hr)) hr = RunWrite(drive, opts, disc, control, size, 2048);
  burn_track_free(t);
  burn_session_free(session);
  burn_disc_free(disc);
  burn_write_opts_free(opts);
  return hr;
}

}  // namespace

void TrackSourceFree::operator()(::burn_source* source) const { burn_source_free(AsBurn(source)); }

TrackSource FileTrackSource(const std::string& path) {
  return TrackSource(reinterpret_cast<::burn_source*>(burn_file_source_new(path.c_str(), nullptr)));
}

std::int64_t TrackSourceSize(::burn_source* source) {
  if (!source) return 0;
  burn::burn_source* s = AsBurn(source);
  return static_cast<std::int64_t>(s->get_size(s));
}

std::vector<Writer> ScanRealWriters(const std::vector<std::string>& devices) {
  std::vector<Writer> writers;
  BurnSession session;
  if (!session.ok()) return writers;
  for (const std::string& device : devices) {
    GrabbedDrive drive(device);
    if (!drive.get()) continue;
    const burn_drive_info* info = drive.info();
    if (!info->write_cdr && !info->write_cdrw && !info->write_dvdr && !info->write_dvdram) continue;
    Writer w;
    w.device = device;
    w.name = std::string(info->vendor) + " " + info->product;
    writers.push_back(std::move(w));
  }
  return writers;
}

DiscState InspectRealDisc(const Writer& writer) {
  BurnSession session;
  if (!session.ok()) return {};
  GrabbedDrive drive(writer.device);
  if (!drive.get()) return {};
  return StateOf(drive.get());
}

plat::HRESULT WriteDataTrack(::burn_source* track, const Writer& writer, DiscKind kind, bool simulate, bool eject,
                             const JobControl& control, const ImageCheck& verify) {
  if (!track) return plat::E_POINTER;
  const std::int64_t size = TrackSourceSize(track);
  control.Report(kAuthoringStageWriting, 0, 0, size);
  if (writer.isVirtual) {
    const std::int64_t capacity = static_cast<std::int64_t>(writer.capacityMB ? writer.capacityMB : StandardCapacityMB(kind)) * 1024 * 1024;
    if (size > capacity) return kDiscFull;
    if (simulate) return plat::S_OK;
    PendingImage pending(writer.imagePath);
    if (!pending.ok()) return plat::E_FAIL;
    plat::HRESULT hr = plat::E_FAIL;
    {
      BurnSession session;
      if (!session.ok()) return plat::E_FAIL;
      GrabbedDrive drive("stdio:" + pending.path());
      if (!drive.get()) return plat::E_FAIL;
      const burn_disc_status status = burn_disc_get_status(drive.get());
      if (status != BURN_DISC_BLANK) return plat::E_FAIL;
      hr = BurnTrack(drive.get(), track, false, control, size);
    }
    if (plat::FAILED(hr)) return hr;
    if (verify && !verify(pending.path())) return plat::HRESULT_FROM_WIN32(23);  // ERROR_CRC
    return pending.Commit() ? plat::S_OK : plat::E_FAIL;
  }
  BurnSession session;
  if (!session.ok()) return plat::E_FAIL;
  GrabbedDrive drive(writer.device, true);
  if (!drive.get()) return plat::E_FAIL;
  const DiscState disc = StateOf(drive.get());
  if (disc.kind == kAuthoringMediaNone) return plat::E_FAIL;
  if (static_cast<std::int64_t>(disc.freeMB) * 1024 * 1024 < size) return kDiscFull;
  drive.EjectOnRelease(eject);
  return BurnTrack(drive.get(), track, simulate, control, size);
}

plat::HRESULT WriteAudioTracks(const std::string& bin, const std::vector<std::int64_t>& trackStarts,
                               std::int64_t sectors, const Writer& writer, bool simulate, bool eject,
                               const JobControl& control) {
  constexpr std::int64_t kSector = 2352;
  if (writer.isVirtual || trackStarts.empty()) return plat::E_INVALIDARG;
  BurnSession session;
  if (!session.ok()) return plat::E_FAIL;
  GrabbedDrive drive(writer.device, true);
  if (!drive.get()) return plat::E_FAIL;
  const DiscState disc = StateOf(drive.get());
  if (disc.kind != kAuthoringMediaCd || !disc.blank) return plat::E_FAIL;
  if (static_cast<std::int64_t>(disc.freeMB) * 512 < sectors) return kDiscFull;
  drive.EjectOnRelease(eject);
  burn_write_opts* opts = NewOptions(drive.get(), simulate);
  if (!opts) return plat::E_OUTOFMEMORY;
  burn::burn_source* input = burn_file_source_new(bin.c_str(), nullptr);
  if (!input) {
    burn_write_opts_free(opts);
    return plat::E_FAIL;
  }
  burn_write_opts_set_write_type(opts, BURN_WRITE_SAO, BURN_BLOCK_SAO);
  burn_disc* d = burn_disc_create();
  burn_session* s = burn_session_create();
  burn_disc_add_session(d, s, BURN_POS_END);
  // One track per file, each read from its place in the one BIN; the
  // offset sources must all live until the write has ended.
  std::vector<burn::burn_source*> sources;
  std::vector<burn_track*> tracks;
  plat::HRESULT hr = plat::S_OK;
  burn::burn_source* previous = nullptr;
  for (std::size_t i = 0; i < trackStarts.size() && plat::SUCCEEDED(hr); ++i) {
    const std::int64_t end = i + 1 < trackStarts.size() ? trackStarts[i + 1] : sectors;
    burn::burn_source* piece = burn_offst_source_new(input, previous, static_cast<off_t>(trackStarts[i] * kSector),
                                               static_cast<off_t>((end - trackStarts[i]) * kSector), 0);
    if (!piece) {
      hr = plat::E_FAIL;
      break;
    }
    sources.push_back(piece);
    previous = piece;
    burn_track* t = burn_track_create();
    tracks.push_back(t);
    burn_track_define_data(t, 0, 0, 1, BURN_AUDIO);
    if (burn_track_set_source(t, piece) != BURN_SOURCE_OK) hr = plat::E_FAIL;
    burn_session_add_track(s, t, BURN_POS_END);
  }
  if (plat::SUCCEEDED(hr)) hr = RunWrite(drive.get(), opts, d, control, sectors * kSector, static_cast<int>(kSector));
  for (burn_track* t : tracks) burn_track_free(t);
  burn_session_free(s);
  burn_disc_free(d);
  burn_write_opts_free(opts);
  for (burn::burn_source* piece : sources) burn_source_free(piece);
  burn_source_free(input);
  return hr;
}

}  // namespace authoring
