// The Photo controller's editing: the picture engines' start, rotation and
// the five colour adjustments of the current photo, working copies of photos
// that cannot be changed in place, and writing an edit to the file.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "corebridge/core/config.h"
#include "corebridge/core/ui_system_object.h"
#include "corebridge/modules/photo_controller.h"
#include "interfaces/imagefx.h"
#include "interfaces/slidedraw.h"

using namespace photo;
namespace fs = std::filesystem;

namespace {

// Whether the file or folder may be changed: the caller may write it, its
// mode bits allow writing (the super-user passes the permission check even
// for a file marked read-only), and its file system is not mounted read-only.
bool Writable(const std::string& path) {
  struct stat info {};
  struct statvfs volume {};
  if (::access(path.c_str(), W_OK) != 0 || ::stat(path.c_str(), &info) != 0) return false;
  if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;
  return ::statvfs(path.c_str(), &volume) == 0 && (volume.f_flag & ST_RDONLY) == 0;
}

// Whether the photo must be edited in a copy: it lies on a removable,
// optical or network volume, or the user cannot write it (or its folder,
// where the saved picture replaces it).
bool NeedsWorkingCopy(const std::string& path) {
  if (const auto volume = VolumeOf(path)) {
    if (volume->type == plat::DRIVE_REMOVABLE || volume->type == plat::DRIVE_CDROM ||
        volume->type == plat::DRIVE_REMOTE) {
      return true;
    }
  }
  const std::string folder = fs::path(path).parent_path().string();
  return !Writable(path) || !Writable(folder.empty() ? "." : folder);
}

// Copies `from` into a new file `to`, created exclusively with mode 0644;
// false (and nothing left behind) when it exists or the copy fails.
// `exists` tells the caller to try the next name.
bool CopyExclusive(const std::string& from, const std::string& to, bool& exists) {
  exists = false;
  const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (out < 0) {
    exists = errno == EEXIST;
    ::close(in);
    return false;
  }
  bool ok = true;
  char buffer[1 << 16];
  for (;;) {
    const ssize_t got = ::read(in, buffer, sizeof(buffer));
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    for (ssize_t done = 0; done < got;) {
      const ssize_t wrote = ::write(out, buffer + done, static_cast<std::size_t>(got - done));
      if (wrote < 0 && errno == EINTR) continue;
      if (wrote <= 0) {
        ok = false;
        break;
      }
      done += wrote;
    }
    if (!ok) break;
  }
  if (ok && ::fsync(out) != 0) ok = false;
  ::close(out);
  ::close(in);
  if (!ok) ::unlink(to.c_str());
  return ok;
}

}  // namespace

int CUISystem::InitPhotoEngines() {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  if (photo.m_bEnginesReady) return 1;
  auto show = CoreService<ISlideDraw>();
  auto props = CoreService<IImageFxProps>();
  auto fx = CoreService<IImageFx>();
  auto acquire = CoreService<IImageAcquire>();
  if (!props || !fx || !acquire) return 0;
  bool ok = plat::SUCCEEDED(props->ResetAdjustments());
  ok = plat::SUCCEEDED(fx->Initialize()) && ok;
  if (AppFlags() & 0x40) {
    ok = plat::SUCCEEDED(acquire->Initialize()) && ok;
    LoadAcquireDevices();
  }
  photo.m_bEnginesReady = ok ? 1 : 0;
  return photo.m_bEnginesReady;
}

// Names are built by joining strings, never through a format: a file name is
// text from the disc, not a pattern.
std::string CUISystem::MakeEditableCopy(const std::string& path) {
  if (!m_pConfig || !m_pConfig->m_pPhoto || path.empty() || !NeedsWorkingCopy(path)) return path;
  CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  if (const auto known = photo.m_mapEditedCopies.find(path); known != photo.m_mapEditedCopies.end()) {
    std::error_code ec;
    if (fs::is_regular_file(known->second, ec)) return known->second;
    photo.m_mapEditedCopies.erase(known);
  }
  const fs::path source(path);
  const std::string folder = m_pConfig->m_strSettingsFolder;
  if (folder.empty()) return path;
  const std::string stem = source.stem().string();
  const std::string extension = source.extension().string();
  for (int n = 1; n < 10000; ++n) {
    const std::string copy = (fs::path(folder) / (stem + std::to_string(n) + extension)).string();
    bool exists = false;
    if (CopyExclusive(path, copy, exists)) {
      photo.m_mapEditedCopies[path] = copy;
      return copy;
    }
    if (!exists) break;
  }
  return path;
}

int CUISystem::ApplyPhotoEdit(int index) {
  if (!m_pConfig || !m_pConfig->m_pPhoto) return 0;
  CPhotoConfig& photo = *m_pConfig->m_pPhoto;
  if (!ValidIndex(photo.m_vecPhotos, index)) return 0;
  PhotoRecord& record = photo.m_vecPhotos[static_cast<std::size_t>(index)];
  const int rotation = ((record.nRotation % 360) + 360) % 360;
  if (!record.bModified && rotation == 0) return 1;
  auto props = CoreService<IImageFxProps>();
  auto fx = CoreService<IImageFx>();
  if (!props || !fx) return 0;
  const std::string path = MakeEditableCopy(RecordPath(record));
  DestroyPhotoCaches();
  plat::HRESULT hr = plat::S_OK;
  if (record.bModified) {
    std::int32_t values[5] = {record.nBrightness, record.nHue, record.nSaturation, record.nContrast,
                              record.nSharpness};
    props->SetAdjustments(&values[0], &values[1], &values[2], &values[3], &values[4]);
    fx->EnableEffects(1);
    hr = fx->LoadImage(path.c_str());
    if (plat::SUCCEEDED(hr)) {
      if (rotation != 0) fx->Rotate(rotation);
      props->ApplyToImage();
      hr = fx->Save();
      fx->CloseImage();
    }
    fx->EnableEffects(0);
  } else {
    hr = fx->RotateFile(path.c_str(), rotation);
  }
  record.nBrightness = record.nHue = record.nSaturation = record.nContrast = record.nSharpness = kNeutral;
  record.nRotation = 0;
  record.bModified = 0;
  return plat::SUCCEEDED(hr) ? 1 : 0;
}

// --- Rotation and adjustments ----------------------------------------------------

namespace {

PhotoRecord* CurrentRecord(CConfig* config) {
  if (!config || !config->m_pPhoto) return nullptr;
  CPhotoConfig& photo = *config->m_pPhoto;
  if (!ValidIndex(photo.m_vecPhotos, photo.m_nCurrentPhoto)) return nullptr;
  return &photo.m_vecPhotos[static_cast<std::size_t>(photo.m_nCurrentPhoto)];
}

}  // namespace

int CUISystem::OnPhotoRotateLeft(std::intptr_t, std::intptr_t) {
  RunStep("OnPhotoRotateLeft");
  PhotoRecord* record = CurrentRecord(m_pConfig.get());
  if (!record) return 0;
  const int step = m_pConfig->m_pPhoto->m_nRotationStep;
  record->nRotation = ((record->nRotation - step) % 360 + 360) % 360;
  PhotoRedraw(0);
  PhotoNotifyMode(kModeRotateLeft);
  return 1;
}

int CUISystem::OnPhotoRotateRight(std::intptr_t, std::intptr_t) {
  RunStep("OnPhotoRotateRight");
  PhotoRecord* record = CurrentRecord(m_pConfig.get());
  if (!record) return 0;
  const int step = m_pConfig->m_pPhoto->m_nRotationStep;
  record->nRotation = ((record->nRotation + step) % 360 + 360) % 360;
  PhotoRedraw(0);
  PhotoNotifyMode(kModeRotateRight);
  return 1;
}

namespace {

// One step of an adjustment; refused past the section's limits.
int Adjust(CConfig* config, int PhotoRecord::*value, int direction) {
  PhotoRecord* record = CurrentRecord(config);
  if (!record) return 0;
  const CPhotoConfig& photo = *config->m_pPhoto;
  int& v = record->*value;
  if (direction < 0 ? v < photo.m_nAdjustLowerLimit : v > photo.m_nAdjustUpperLimit) return 0;
  v += direction * photo.m_nAdjustStep;
  record->bModified = AdjustedAny(*record) ? 1 : 0;
  return 1;
}

}  // namespace

#define PHOTO_ADJUST_HANDLER(Name, Field, Direction)              \
  int CUISystem::Name(std::intptr_t, std::intptr_t) {             \
    if (!Adjust(m_pConfig.get(), &PhotoRecord::Field, Direction)) \
      return 0;                                                   \
    PhotoRedraw(0);                                               \
    return 1;                                                     \
  }

PHOTO_ADJUST_HANDLER(OnPhotoBrightnessLeft, nBrightness, -1)
PHOTO_ADJUST_HANDLER(OnPhotoBrightnessRight, nBrightness, 1)
PHOTO_ADJUST_HANDLER(OnPhotoHueLeft, nHue, -1)
PHOTO_ADJUST_HANDLER(OnPhotoHueRight, nHue, 1)
PHOTO_ADJUST_HANDLER(OnPhotoSaturationLeft, nSaturation, -1)
PHOTO_ADJUST_HANDLER(OnPhotoSaturationRight, nSaturation, 1)
PHOTO_ADJUST_HANDLER(OnPhotoContrastLeft, nContrast, -1)
PHOTO_ADJUST_HANDLER(OnPhotoContrastRight, nContrast, 1)
PHOTO_ADJUST_HANDLER(OnPhotoSharpnessLeft, nSharpness, -1)
PHOTO_ADJUST_HANDLER(OnPhotoSharpnessRight, nSharpness, 1)

#undef PHOTO_ADJUST_HANDLER
