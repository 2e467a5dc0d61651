// A burning library for the camcorder engine's tests. Its answers come from
// the environment, so one build serves every case: FAKE_SCORCH_DRIVES (drive
// count, default 1), FAKE_SCORCH_CAPS (writer capability word),
// FAKE_SCORCH_KIND (disc kind byte), FAKE_SCORCH_INUSE. FAKE_NO_DESTROY
// builds a variant without the create entry.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "interfaces/scorchmgr.h"

namespace {

int Env(const char* name, int fallback) {
  const char* v = std::getenv(name);
  return v ? static_cast<int>(std::strtol(v, nullptr, 0)) : fallback;
}

class Writer final : public scorch::IDiscWriter {
 public:
  int selected = -1;
  int GetDriveCount() override { return Env("FAKE_SCORCH_DRIVES", 1); }
  int SelectDrive(int index) override {
    selected = index;
    return 0;
  }
  int GetDriveName(int, int size, char* name) override {
    std::snprintf(name, static_cast<std::size_t>(size), "Writer %d", selected);
    return 0;
  }
  std::intptr_t GetWriter(int) override { return 4242; }
  int GetDriveInfo(int, scorch::DriveInfo* info) override {
    *info = {};
    info->capabilities = static_cast<std::uint32_t>(Env("FAKE_SCORCH_CAPS", 0x400));
    return 0;
  }
  int GetDiscInfo(int, scorch::DiscInfo* info) override {
    *info = {};
    info->kind = static_cast<std::uint8_t>(Env("FAKE_SCORCH_KIND", 0x1));
    info->inUse = Env("FAKE_SCORCH_INUSE", 0);
    return 0;
  }
};

}  // namespace

extern "C" {
__attribute__((visibility("default"))) int BMGetErrText(int, char* text, int size) {
  std::snprintf(text, static_cast<std::size_t>(size), "fake");
  return 0;
}
#ifndef FAKE_NO_CREATE
__attribute__((visibility("default"))) int CreateDiscWriterInstance(scorch::IDiscWriter** out) {
  *out = new Writer;
  return 0;
}
#endif
__attribute__((visibility("default"))) int DestroyDiscWriterInstance(scorch::IDiscWriter* writer) {
  delete static_cast<Writer*>(writer);
  return 0;
}
}
