#include "outside/coreobject/drive_enumerator.h"

#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/media/audio_inputs.h"

using plat::E_FAIL;
using plat::HRESULT;
using plat::S_OK;
using plat::VolumeInfo;

namespace {

HRESULT CopyText(const std::string& text, char** buffer) {
  if (buffer && *buffer) {
    const size_t n = std::min<size_t>(text.size(), kServiceNameBytes - 1);
    std::memcpy(*buffer, text.data(), n);
    (*buffer)[n] = 0;
  }
  return S_OK;
}

std::string LetterRoot(char letter) { return std::string{letter, ':', '\\'}; }

std::string RootText(const VolumeInfo& v) { return v.root.empty() ? LetterRoot(v.letter) : v.root; }

std::string DisplayName(const VolumeInfo& v) {
  return v.label.empty() ? RootText(v) : v.label + " (" + std::string{v.letter, ':'} + ")";
}

// Opens a CD-ROM device without waiting for a medium.
class CdromDevice {
 public:
  explicit CdromDevice(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)) {}
  ~CdromDevice() {
    if (fd_ >= 0) ::close(fd_);
  }
  CdromDevice(const CdromDevice&) = delete;
  CdromDevice& operator=(const CdromDevice&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

std::string FindVideoTs(const std::string& folder) {
  std::error_code ec;
  std::string own = std::filesystem::path(folder).filename().string();
  std::transform(own.begin(), own.end(), own.begin(), [](unsigned char c) { return std::toupper(c); });
  if (own == "VIDEO_TS") return folder;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    std::string name = entry.path().filename().string();
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::toupper(c); });
    if (name == "VIDEO_TS" && entry.is_directory(ec)) return entry.path().string();
  }
  return {};
}

}  // namespace

std::uint64_t DvdDiscId(const std::string& videoTs) {
  std::vector<std::filesystem::path> files;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(videoTs, ec)) {
    std::string ext = entry.path().extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::toupper(c); });
    if (ext == ".IFO" && entry.is_regular_file(ec)) files.push_back(entry.path());
  }
  if (files.empty()) return 0;
  std::sort(files.begin(), files.end());
  std::uint64_t hash = 0xcbf29ce484222325ull;
  auto mix = [&hash](unsigned char byte) {
    hash ^= byte;
    hash *= 0x100000001b3ull;
  };
  for (const auto& file : files) {
    std::string name = file.filename().string();
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::toupper(c); });
    for (unsigned char c : name) mix(c);
    std::ifstream in(file, std::ios::binary);
    char buffer[4096];
    while (in.read(buffer, sizeof(buffer)) || in.gcount() > 0) {
      for (std::streamsize i = 0; i < in.gcount(); ++i) mix(static_cast<unsigned char>(buffer[i]));
    }
  }
  return hash;
}

CDriveEnumerator::CDriveEnumerator() { Refresh(); }

HRESULT CDriveEnumerator::Refresh() {
  volumes_ = plat::GetVolumes();
  return S_OK;
}

const VolumeInfo* CDriveEnumerator::Find(int drive) const {
  if (drive < 0 || drive > 25) return nullptr;
  const char letter = static_cast<char>('A' + drive);
  for (const auto& v : volumes_) {
    if (v.letter == letter) return &v;
  }
  return nullptr;
}

HRESULT CDriveEnumerator::GetDriveCount(int* count) {
  if (!count) return E_FAIL;
  *count = static_cast<int>(volumes_.size());
  return S_OK;
}

HRESULT CDriveEnumerator::GetDriveLabel(int drive, char** buffer) {
  const VolumeInfo* v = Find(drive);
  return v ? CopyText(v->label, buffer) : E_FAIL;
}

HRESULT CDriveEnumerator::GetDriveNumber(const char* root, int* drive) {
  if (!root || !drive) return E_FAIL;
  const std::string text = root;
  for (const auto& v : volumes_) {
    if (text == RootText(v) || text == LetterRoot(v.letter) || text == std::string{v.letter, ':'} ||
        (!v.root.empty() && text == v.root)) {
      *drive = v.letter - 'A';
      return S_OK;
    }
  }
  return E_FAIL;
}

HRESULT CDriveEnumerator::GetDriveRoot(int index, char** buffer) {
  if (index < 0 || index >= static_cast<int>(volumes_.size())) return E_FAIL;
  return CopyText(RootText(volumes_[index]), buffer);
}

HRESULT CDriveEnumerator::GetDriveMountPath(int drive, char** buffer) {
  const VolumeInfo* v = Find(drive);
  return v && !v->root.empty() ? CopyText(v->root, buffer) : E_FAIL;
}

HRESULT CDriveEnumerator::GetDriveKind(int drive, int* kind) {
  if (!kind) return E_FAIL;
  const VolumeInfo* v = Find(drive);
  if (!v) {
    *kind = DRIVE_KIND_NONE;
    return E_FAIL;
  }
  switch (v->type) {
    case plat::DRIVE_CDROM: *kind = DRIVE_KIND_OPTICAL; break;
    case plat::DRIVE_REMOVABLE: *kind = DRIVE_KIND_REMOVABLE; break;
    default: *kind = v->isVirtual ? DRIVE_KIND_FOLDER : DRIVE_KIND_FIXED; break;
  }
  return S_OK;
}

HRESULT CDriveEnumerator::GetDoorState(int drive, int* state) {
  const VolumeInfo* v = Find(drive);
  if (!state || !v || v->type != plat::DRIVE_CDROM) return E_FAIL;
  if (v->isVirtual) {
    *state = virtualDoors_[v->letter];
    return S_OK;
  }
  CdromDevice device(v->device);
  if (device.fd() < 0) return E_FAIL;
  const int status = ::ioctl(device.fd(), CDROM_DRIVE_STATUS, CDSL_CURRENT);
  if (status < 0) return E_FAIL;
  *state = status == CDS_TRAY_OPEN ? kDoorOpen : kDoorClosed;
  return S_OK;
}

HRESULT CDriveEnumerator::MoveDoor(int drive, int move) {
  const VolumeInfo* v = Find(drive);
  if (!v || v->type != plat::DRIVE_CDROM || (move != kDoorMoveOpen && move != kDoorMoveClose)) return E_FAIL;
  if (v->isVirtual) {
    virtualDoors_[v->letter] = move == kDoorMoveOpen ? kDoorOpen : kDoorClosed;
    return S_OK;
  }
  CdromDevice device(v->device);
  if (device.fd() < 0) return E_FAIL;
  const int result = ::ioctl(device.fd(), move == kDoorMoveOpen ? CDROMEJECT : CDROMCLOSETRAY, 0);
  return result < 0 ? E_FAIL : S_OK;
}

// List 3: removable drives; list 4: optical drives; list 5: fixed drives.
// Each entry gives the name shown, then the root: the system keeps the
// second first, so its entries read root, then name.
HRESULT CDriveEnumerator::ListEntry(int list, int index, char** first, char** second) {
  if (index < 0) return E_FAIL;
  int seen = 0;
  for (const auto& v : volumes_) {
    const bool member = (list == 3 && v.type == plat::DRIVE_REMOVABLE) || (list == 4 && v.type == plat::DRIVE_CDROM) ||
                        (list == 5 && v.type == plat::DRIVE_FIXED);
    if (!member) continue;
    if (seen++ == index) {
      CopyText(DisplayName(v), first);
      return CopyText(RootText(v), second);
    }
  }
  return E_FAIL;
}

HRESULT CDriveEnumerator::GetList3Entry(int index, char** first, char** second) {
  return ListEntry(3, index, first, second);
}
HRESULT CDriveEnumerator::GetList4Entry(int index, char** first, char** second) {
  return ListEntry(4, index, first, second);
}
HRESULT CDriveEnumerator::GetList5Entry(int index, char** first, char** second) {
  return ListEntry(5, index, first, second);
}

HRESULT CDriveEnumerator::GetDriveDevice(int drive, char** buffer) {
  const VolumeInfo* v = Find(drive);
  return v && !v->device.empty() ? CopyText(v->device, buffer) : E_FAIL;
}

HRESULT CDriveEnumerator::IsDriveReady(int drive, int* ready) {
  const VolumeInfo* v = Find(drive);
  if (!v || !ready) return E_FAIL;
  *ready = (!v->root.empty() || !v->image.empty()) ? 1 : 0;
  return S_OK;
}

HRESULT CDriveEnumerator::GetFreeSpace(int drive, std::uint64_t* bytes) {
  const VolumeInfo* v = Find(drive);
  if (!v || v->root.empty() || !bytes) return E_FAIL;
  plat::ULONGLONG available = 0;
  if (!plat::GetDiskFreeSpaceExA(v->root.c_str(), &available, nullptr, nullptr)) return E_FAIL;
  *bytes = available;
  return S_OK;
}

HRESULT CDriveEnumerator::GetTotalSpace(int drive, std::uint64_t* bytes) {
  const VolumeInfo* v = Find(drive);
  if (!v || v->root.empty() || !bytes) return E_FAIL;
  plat::ULONGLONG total = 0;
  if (!plat::GetDiskFreeSpaceExA(v->root.c_str(), nullptr, &total, nullptr)) return E_FAIL;
  *bytes = total;
  return S_OK;
}

namespace {

// The ALSA cards that can capture, by the name the capture devices carry
// ("alsa.card_name"): "<n> [id ]: driver - name" lines of the card list,
// kept when the card has a capture device. Read from the files rather than
// through a device monitor, which starts sound-server clients.
std::vector<std::string> CaptureCards(const std::string& root = "/proc/asound") {
  std::vector<std::string> names;
  std::ifstream cards(root + "/cards");
  std::string line;
  while (std::getline(cards, line)) {
    int number = -1;
    if (std::sscanf(line.c_str(), "%d [", &number) != 1 || number < 0) continue;
    const std::size_t dash = line.find(" - ");
    if (dash == std::string::npos) continue;
    bool capture = false;
    std::error_code ec;
    const std::string card = root + "/card" + std::to_string(number);
    for (std::filesystem::directory_iterator it(card, ec), end; !ec && it != end; it.increment(ec)) {
      const std::string name = it->path().filename().string();
      if (name.rfind("pcm", 0) == 0 && name.back() == 'c') capture = true;
    }
    if (capture) names.push_back(line.substr(dash + 3));
  }
  return names;
}

}  // namespace

// The name of the index-th audio input a recording can read from, as the
// rippers' FindCaptureFilter matches it: the declared virtual inputs and the
// virtual radio first, then the sound cards that capture.
HRESULT CDriveEnumerator::GetCaptureDeviceName(int index, char** buffer) {
  if (index < 0) return E_FAIL;
  std::vector<std::string> names;
  for (const plat::media::AudioInput& input : plat::media::ReadVirtualAudioInputs()) {
    names.push_back(input.description.empty() ? input.friendlyName : input.description);
  }
  for (std::string& card : CaptureCards()) names.push_back(std::move(card));
  if (index >= static_cast<int>(names.size())) return E_FAIL;
  return CopyText(names[index], buffer);
}

HRESULT CDriveEnumerator::GetDriveMask(plat::DWORD* mask) {
  if (!mask) return E_FAIL;
  *mask = 0;
  for (const auto& v : volumes_) *mask |= 1u << (v.letter - 'A');
  return S_OK;
}

HRESULT CDriveEnumerator::SetPhotoNotifySink(IPhotoNotifySink* sink) {
  photoSink_ = sink;
  return S_OK;
}

HRESULT CDriveEnumerator::ReleasePhotoNotifySink() {
  photoSink_ = nullptr;
  return S_OK;
}

HRESULT CDriveEnumerator::GetVolumeSerial(int drive, plat::DWORD* serial) {
  const VolumeInfo* v = Find(drive);
  if (!v || !serial) return E_FAIL;
  plat::DWORD hash = 2166136261u;
  for (unsigned char c : v->label + v->root) hash = (hash ^ c) * 16777619u;
  *serial = hash;
  return S_OK;
}

std::string CDriveEnumerator::MediumFolder(const VolumeInfo& v) const {
  if (v.type == plat::DRIVE_CDROM && v.isVirtual && virtualDoors_.count(v.letter) &&
      virtualDoors_.at(v.letter) == kDoorOpen) {
    return {};  // an open tray holds no disc
  }
  return v.root;
}

HRESULT CDriveEnumerator::GetDiscKind(int drive, int* kind) {
  const VolumeInfo* v = Find(drive);
  if (!v || !kind) return E_FAIL;
  *kind = DISC_NONE;
  if (v->type != plat::DRIVE_CDROM) return S_OK;
  const std::string folder = MediumFolder(*v);
  if (!folder.empty()) {
    *kind = FindVideoTs(folder).empty() ? DISC_DATA : DISC_VIDEO_DVD;
    return S_OK;
  }
  if (!v->image.empty()) {
    *kind = DISC_DATA;
    return S_OK;
  }
  if (v->isVirtual || v->device.empty()) return S_OK;
  CdromDevice device(v->device);
  if (device.fd() < 0) return S_OK;
  const int status = ::ioctl(device.fd(), CDROM_DISC_STATUS, 0);
  if (status == CDS_AUDIO || status == CDS_MIXED) *kind = DISC_AUDIO_CD;
  else if (status == CDS_DATA_1 || status == CDS_DATA_2 || status == CDS_XA_2_1 || status == CDS_XA_2_2) *kind = DISC_DATA;
  return S_OK;
}

HRESULT CDriveEnumerator::GetDiscId(int drive, std::uint64_t* id) {
  const VolumeInfo* v = Find(drive);
  if (!v || !id) return E_FAIL;
  const std::string folder = MediumFolder(*v);
  if (folder.empty()) return E_FAIL;
  const std::string videoTs = FindVideoTs(folder);
  const std::uint64_t disc = videoTs.empty() ? 0 : DvdDiscId(videoTs);
  if (!disc) return E_FAIL;
  *id = disc;
  return S_OK;
}
