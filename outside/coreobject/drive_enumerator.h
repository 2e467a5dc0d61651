// The drive enumerator over the platform's drive table: drives and their
// kinds, the drive lists, tray state and moves (CD-ROM ioctls on real
// drives, remembered for virtual ones), disc kinds and disc ids, and the
// registration of the photo notice sink.
//
// Disc id (slot 27): for a DVD (a VIDEO_TS folder on the medium) the 64-bit
// FNV-1a hash over the names and contents of its .IFO files in name order;
// the DVD engine computes the same id from the same files.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "interfaces/core_object.h"
#include "platform/com/object.h"
#include "platform/sys/drive_table.h"

// The disc id of a DVD whose VIDEO_TS folder lies at `videoTs`; 0 when the
// folder holds no .IFO file.
std::uint64_t DvdDiscId(const std::string& videoTs);

class CDriveEnumerator : public IDriveEnumerator {
 public:
  using Interfaces = plat::InterfaceList<IDriveEnumerator>;

  CDriveEnumerator();

  plat::HRESULT Refresh() override;
  plat::HRESULT GetDriveCount(int* count) override;
  plat::HRESULT GetDriveLabel(int drive, char** buffer) override;
  plat::HRESULT GetDriveNumber(const char* root, int* drive) override;
  plat::HRESULT GetDriveRoot(int index, char** buffer) override;
  plat::HRESULT GetDriveMountPath(int drive, char** buffer) override;
  plat::HRESULT GetDriveKind(int drive, int* kind) override;
  plat::HRESULT GetDoorState(int drive, int* state) override;
  plat::HRESULT MoveDoor(int drive, int move) override;
  plat::HRESULT GetList3Entry(int index, char** first, char** second) override;
  plat::HRESULT GetList4Entry(int index, char** first, char** second) override;
  plat::HRESULT GetList5Entry(int index, char** first, char** second) override;
  plat::HRESULT GetDriveDevice(int drive, char** buffer) override;
  plat::HRESULT IsDriveReady(int drive, int* ready) override;
  plat::HRESULT GetFreeSpace(int drive, std::uint64_t* bytes) override;
  plat::HRESULT GetTotalSpace(int drive, std::uint64_t* bytes) override;
  plat::HRESULT GetCaptureDeviceName(int index, char** buffer) override;
  plat::HRESULT GetDriveMask(plat::DWORD* mask) override;
  plat::HRESULT Reserved21() override { return plat::E_NOTIMPL; }
  plat::HRESULT Reserved22() override { return plat::E_NOTIMPL; }
  plat::HRESULT SetPhotoNotifySink(IPhotoNotifySink* sink) override;
  plat::HRESULT ReleasePhotoNotifySink() override;
  plat::HRESULT GetVolumeSerial(int drive, plat::DWORD* serial) override;
  plat::HRESULT GetDiscKind(int drive, int* kind) override;
  plat::HRESULT GetDiscId(int drive, std::uint64_t* id) override;

  IPhotoNotifySink* PhotoSink() const { return photoSink_; }

 private:
  const plat::VolumeInfo* Find(int drive) const;
  plat::HRESULT ListEntry(int list, int index, char** first, char** second);
  // The folder that holds the medium's files, empty without a medium.
  std::string MediumFolder(const plat::VolumeInfo& volume) const;

  std::vector<plat::VolumeInfo> volumes_;
  std::map<char, int> virtualDoors_;  // door state of virtual drives
  IPhotoNotifySink* photoSink_ = nullptr;
};
