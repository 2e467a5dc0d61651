// One authoring job as the worker runs it: a copy of the engine's settings
// taken when the job starts, and the control the worker reports through.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "interfaces/authoring.h"

namespace authoring {

enum class DiscKind { Dvd, Svcd, Vcd, AudioCd, DataCd };

// Where a job writes its disc.
struct Writer {
  std::string name;          // shown in the writer list
  char letter = 0;           // the drive-table letter, 0 when it has none
  bool isVirtual = false;
  std::string imagePath;     // a virtual writer's image file
  std::string device;        // a real writer's device ("/dev/sr0")
  std::int32_t capacityMB = 0;  // 0: the standard size of the job's disc
};

struct Job {
  DiscKind kind = DiscKind::Dvd;
  std::vector<std::string> elements;
  AuthoringFormatRecord format{};
  std::string workFolder;     // the job makes its own folder inside and removes it
  std::string dvdFolder;      // where the authored VIDEO_TS is kept
  std::string sourceFolder;   // a folder holding VIDEO_TS to burn as it is
  bool burnFolderOnly = false;
  std::string volumeLabel;
  Writer writer;
  bool pal = true;
  int photoSeconds = 5;
  bool verify = false;
  bool simulate = false;
  bool eject = false;
};

// The worker's side of a running job: progress out, cancel in.
class JobControl {
 public:
  using ReportFn = std::function<void(std::int32_t stage, std::int32_t percent, std::int64_t done, std::int64_t total)>;
  explicit JobControl(ReportFn report) : report_(std::move(report)) {}

  void Report(std::int32_t stage, std::int32_t percent, std::int64_t done = 0, std::int64_t total = 0) const {
    if (report_) report_(stage, percent, done, total);
  }
  bool Cancelled() const { return cancel_.load(); }
  const std::atomic<bool>* CancelFlag() const { return &cancel_; }
  void Cancel() { cancel_.store(true); }

 private:
  ReportFn report_;
  std::atomic<bool> cancel_{false};
};

// The standard capacity of a disc kind, MiB.
inline std::int32_t StandardCapacityMB(DiscKind kind) {
  return kind == DiscKind::Dvd ? 4489 : 703;
}

}  // namespace authoring
