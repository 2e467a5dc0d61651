#include "outside/authoring/burn_writer.h"

#include <libburn/libburn.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <mutex>
#include <thread>

#include "outside/authoring/image_files.h"

// libburn declares its C API inside a C++ namespace; its `burn_source`
// has the same layout as the global one libisofs hands out.
using namespace burn;

namespace authoring {
namespace {

burn::burn_source* AsBurn(::burn_source* source) { return reinterpret_cast<burn::burn_source*>(source); }

// libburn keeps process-wide state: one user at a time.
std::mutex g_libburn;

class BurnSession {
 public:
  BurnSession() : lock_(g_libburn) {
    ok_ = burn_initialize() == 1;
    if (ok_) burn_msgs_set_severities(const_cast<char*>("NEVER"), const_cast<char*>("FATAL"), const_cast<char*>("marivel: "));
  }
  ~BurnSession() {
    if (ok_) burn_finish();
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
  explicit GrabbedDrive(const std::string& address) {
    char adr[BURN_DRIVE_ADR_LEN] = {};
    std::string resolved = address;
    if (address.rfind("stdio:", 0) != 0 &&
        burn_drive_convert_fs_adr(const_cast<char*>(address.c_str()), adr) > 0) {
      resolved = adr;
    }
    if (burn_drive_scan_and_grab(&infos_, const_cast<char*>(resolved.c_str()), 1) == 1 && infos_) {
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

plat::HRESULT BurnTrack(burn_drive* drive, ::burn_source* track, bool simulate, const JobControl& control,
                        std::int64_t size) {
  burn_write_opts* opts = burn_write_opts_new(drive);
  if (!opts) return plat::E_OUTOFMEMORY;
  burn_write_opts_set_perform_opc(opts, 0);
  burn_write_opts_set_underrun_proof(opts, 1);
  burn_write_opts_set_simulate(opts, simulate ? 1 : 0);
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
  if (plat::SUCCEEDED(hr)) {
    burn_disc_write(opts, disc);
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
      const std::int64_t done = static_cast<std::int64_t>(progress.sector) * 2048;
      const int percent = progress.sectors > 0 ? static_cast<int>(100LL * progress.sector / progress.sectors) : 0;
      control.Report(kAuthoringStageWriting, std::min(percent, 99), done, size);
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (control.Cancelled()) {
      hr = plat::E_ABORT;
    } else if (!burn_drive_wrote_well(drive)) {
      hr = plat::E_FAIL;
    }
  }
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
  GrabbedDrive drive(writer.device);
  if (!drive.get()) return plat::E_FAIL;
  const DiscState disc = StateOf(drive.get());
  if (disc.kind == kAuthoringMediaNone) return plat::E_FAIL;
  if (static_cast<std::int64_t>(disc.freeMB) * 1024 * 1024 < size) return kDiscFull;
  drive.EjectOnRelease(eject);
  return BurnTrack(drive.get(), track, simulate, control, size);
}

}  // namespace authoring
