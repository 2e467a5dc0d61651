// IDiscRunnerQueries of the DVD engine, and how drive roots reach the
// library: a letter root names a volume of the drive table, whose mount
// point (or disc image) the library opens, and whose region it is given
// before each open.
#include <cctype>

#include "engines/playback/discrunner/disc_runner.h"
#include "engines/playback/discrunner/drive_region.h"
#include "platform/com/hresult.h"
#include "platform/sys/drive_table.h"

using plat::E_FAIL;
using plat::E_INVALIDARG;
using plat::E_POINTER;
using plat::HRESULT;
using plat::S_FALSE;
using plat::S_OK;

namespace {

constexpr int kSpeakerTwo = 8;
constexpr int kSpeakerSpdif = 4;
constexpr int kSpeakerFour = 0x10;
constexpr int kSpeakerSix = 0x20;
constexpr int kSpeakerHeadphones = 0x20000;
constexpr std::uint32_t kProfileStereoDownmix = 2;

bool IsLetterRoot(const char* path) {
  return path && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
         (path[2] == 0 || (path[2] == '\\' && path[3] == 0));
}

std::optional<plat::VolumeInfo> VolumeOf(const char* root) {
  if (!root || !*root) return std::nullopt;
  return plat::FindVolume(root);
}

}  // namespace

std::string CDiscRunner::SourcePath(const char* path) {
  if (!path) return {};
  if (!IsLetterRoot(path)) return path;
  const auto volume = plat::FindVolume(path);
  if (!volume) return {};
  return volume->root.empty() ? volume->image : volume->root;
}

void CDiscRunner::ClassifyOpen(const char* path, const std::string& source) {
  Classify(path ? source.c_str() : nullptr);
  constexpr int kDvdDisc = 1, kDvdFile = 18;
  if (discKind_ != kDvdFile || discSubKind_ < 1 || discSubKind_ > 3 || !IsLetterRoot(path)) return;
  if (const auto volume = plat::FindVolume(path); volume && volume->type == plat::DRIVE_CDROM) {
    discKind_ = kDvdDisc;
    discSubKind_ = 0;
  }
}

void CDiscRunner::ApplyDriveRegion(const char* path) {
  auto* s = source();
  if (!s || !IsLetterRoot(path)) return;
  const auto volume = plat::FindVolume(path);
  if (!volume) return;
  const auto region = discrunner::ReadDriveRegion(*volume);
  if (!region || region->region < 1 || region->region > 8) return;
  const tovelax::RegionRecord record{static_cast<std::uint8_t>(region->region),
                                     static_cast<std::uint8_t>(~(1u << (region->region - 1)) & 0xFF)};
  s->SetProperty(tovelax::kPropRegion, &record, sizeof record);
}

HRESULT CDiscRunner::GetChapter(int* chapter) {
  auto* i = info();
  if (!i) return E_FAIL;
  if (!chapter) return E_POINTER;
  std::int32_t title = 0, current = 0;
  const HRESULT hr = i->GetTitleChapter(&title, &current);
  if (plat::SUCCEEDED(hr)) *chapter = current;
  return plat::SUCCEEDED(hr) ? S_OK : hr;
}

HRESULT CDiscRunner::GetResumeApplied() { return resumeApplied_ ? S_OK : S_FALSE; }

HRESULT CDiscRunner::GetDriveRegion(const char* root, int* region, int* changesLeft) {
  if (!region || !changesLeft) return E_POINTER;
  const auto volume = VolumeOf(root);
  if (!volume) return E_INVALIDARG;
  const auto state = discrunner::ReadDriveRegion(*volume);
  if (!state) return E_FAIL;
  *region = state->region;
  *changesLeft = state->changesLeft;
  return S_OK;
}

HRESULT CDiscRunner::SetDriveRegion(const char* root, int region) {
  const auto volume = VolumeOf(root);
  if (!volume) return E_INVALIDARG;
  return discrunner::WriteDriveRegion(*volume, region) ? S_OK : E_FAIL;
}

HRESULT CDiscRunner::GetAudioProfileCaps(int speaker, std::uint32_t* bits) {
  if (!bits) return E_POINTER;
  switch (speaker) {
    case kSpeakerTwo:
    case kSpeakerHeadphones:
      *bits = kProfileStereoDownmix;
      return S_OK;
    case kSpeakerSpdif:
    case kSpeakerFour:
    case kSpeakerSix:
      *bits = 0;
      return S_OK;
    default:
      return E_INVALIDARG;
  }
}

HRESULT CDiscRunner::SetSpeakerMode(int speaker) {
  auto* d = decoder();
  if (!d) return E_FAIL;
  switch (speaker) {
    case kSpeakerTwo:
    case kSpeakerHeadphones: return d->SetAudioOutput(2, 0);
    case kSpeakerSpdif: return d->SetAudioOutput(2, 1);
    case kSpeakerFour: return d->SetAudioOutput(4, 0);
    case kSpeakerSix: return d->SetAudioOutput(6, 0);
    default: return E_INVALIDARG;
  }
}

HRESULT CDiscRunner::SetHardwareDecoding(int on) {
  auto* s = source();
  if (!s) return E_FAIL;
  const std::int32_t value = on ? 1 : 0;
  return s->SetProperty(tovelax::kPropHardwareDecoding, &value, sizeof value);
}
