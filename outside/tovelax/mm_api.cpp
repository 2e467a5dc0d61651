#include "outside/tovelax/mm_api.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "outside/tovelax/languages.h"
#include "outside/tovelax/media_kind.h"
#include "outside/tovelax/video_output.h"
#include "platform/sys/atomic_file.h"

namespace tovelax {
namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t kDvdBits = kMediaDvdDisc | kMediaDvdFolder | kMediaDvdImage | kMediaDvdVideoTsIfo;
constexpr std::uint32_t kFileBits =
    kMediaVideoFileMpegPs | kMediaVideoFileMp4 | kMediaVideoFileMkv | kMediaVideoFileAvi | kMediaVideoFileOther;

template <typename T>
bool ReadValue(const void* value, std::uint32_t size, T* out) {
  if (!value || size < sizeof(T)) return false;
  std::memcpy(out, value, sizeof(T));
  return true;
}

template <typename T>
HRESULT WriteValue(const T& value, void* buffer, std::uint32_t* size) {
  if (!size) return kPointer;
  const std::uint32_t needed = sizeof(T);
  if (!buffer) {
    *size = needed;
    return kOk;
  }
  if (*size < needed) {
    *size = needed;
    return kInvalidArg;
  }
  std::memcpy(buffer, &value, sizeof(T));
  *size = needed;
  return kOk;
}

// Track files of a video CD folder, in order (MPEGAV/AVSEQnn.DAT or MPEG2/AVSEQnn.MPG).
std::vector<std::string> VideoCdTracks(const std::string& folder) {
  std::vector<std::string> tracks;
  for (const char* sub : {"MPEGAV", "MPEG2"}) {
    const std::string dir = FindChildNoCase(folder, sub);
    if (dir.empty()) continue;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
      if (it->is_regular_file()) tracks.push_back(it->path().string());
  }
  std::sort(tracks.begin(), tracks.end());
  return tracks;
}

std::string DvdRoot(const std::string& path, std::uint32_t bits) {
  if (bits & kMediaDvdVideoTsIfo) return fs::path(path).parent_path().string();
  return path;
}

}  // namespace

MMApi::MMApi() {
  frames_.SetSizeListener([this](std::uint32_t, std::uint32_t) { events_.Push(kEvVideoSizeChange, 0, 0); });
}

MMApi::~MMApi() {
  Close();
  frames_.SetSizeListener(nullptr);
}

void MMApi::SetNotifyPoster(INotifyPoster* poster) {
  events_.SetPoster(poster);
  frames_.SetPoster(poster);
}

// ---------------------------------------------------------------------------
// Source.

HRESULT MMApi::Open(const char* path) { return OpenSource(path, false); }

HRESULT MMApi::OpenEx(const char* path, std::uint32_t flags) { return OpenSource(path, flags == 0); }

HRESULT MMApi::OpenSource(const char* path, bool startPaused) {
  if (!path) return kPointer;
  Close();
  const auto bits = ClassifyMedia(path);
  if (!bits) return kFail;
  events_.Clear();
  frames_.Reset();
  mediaBits_ = *bits;
  HRESULT hr = kUnplayable;
  if (*bits & kDvdBits) {
    dvd_ = std::make_unique<DvdSession>(events_, frames_, settings_);
    hr = dvd_->Open(DvdRoot(path, *bits), startPaused);
    if (Failed(hr)) dvd_.reset();
  } else if (*bits & (kMediaVcd | kMediaSvcd)) {
    auto tracks = VideoCdTracks(path);
    file_ = std::make_unique<FileSession>(events_, frames_, settings_);
    hr = tracks.empty() ? kUnplayable : file_->Open(std::move(tracks), startPaused);
    if (Failed(hr)) file_.reset();
  } else if (*bits & kFileBits) {
    file_ = std::make_unique<FileSession>(events_, frames_, settings_);
    hr = file_->Open({path}, startPaused);
    if (Failed(hr)) file_.reset();
  }
  if (Failed(hr)) mediaBits_ = 0;
  return hr;
}

void MMApi::SaveResumePoint() {
  if (!dvd_ || !saveResumeAtClose_ || bookmarkPath_.empty()) return;
  const ResumeRecord record = dvd_->Position();
  if (record.valid) BookmarkStore(bookmarkPath_).Put(ToBookmark(record));
}

HRESULT MMApi::Close() { return CloseWithRecord(nullptr); }

HRESULT MMApi::CloseWithRecord(ResumeRecord* resume) {
  if (resume) *resume = dvd_ ? dvd_->Position() : ResumeRecord{};
  const bool wasOpen = Opened();
  SaveResumePoint();
  dvd_.reset();
  file_.reset();
  saveResumeAtClose_ = false;
  mediaBits_ = 0;
  frames_.Reset();
  events_.Clear();  // what the client did not read is released now
  return wasOpen ? kOk : kFalse;
}

HRESULT MMApi::SetProperty(std::uint32_t id, const void* value, std::uint32_t size) {
  std::int32_t number = 0;
  switch (id) {
    case kPropBookmarkFile: {
      if (!value || size == 0) return kPointer;
      const char* text = static_cast<const char*>(value);
      bookmarkPath_.assign(text, strnlen(text, size));
      // The file is named once per session: clear what saves killed in an
      // earlier run left behind.
      plat::RemoveStaleTemporaryFiles(bookmarkPath_);
      return kOk;
    }
    case kPropSaveResumeAtClose:
      if (!ReadValue(value, size, &number)) return kInvalidArg;
      saveResumeAtClose_ = number == 1;
      return kOk;
    case kPropRegion: {
      RegionRecord region;
      if (!ReadValue(value, size, &region)) return kInvalidArg;
      if (region.region < 1 || region.region > 8) return kInvalidArg;
      settings_.region = region;
      return dvd_ ? dvd_->SetRegion(region) : kOk;
    }
    case kPropParentalLevel:
      if (!ReadValue(value, size, &number) || number < 1 || number > 8) return kInvalidArg;
      settings_.parentalLevel = number;
      if (dvd_) dvd_->SetParentalLevel(number);
      return kOk;
    case kPropAutoPlay:
      if (!ReadValue(value, size, &number)) return kInvalidArg;
      settings_.autoPlay = number != 0;
      return kOk;
    case kPropHardwareDecoding:
      if (!ReadValue(value, size, &number)) return kInvalidArg;
      settings_.hardwareDecoding = number != 0;
      return kOk;
    case kPropAudioOutput:
      if (!ReadValue(value, size, &number) || number < 0 || number > 1) return kInvalidArg;
      settings_.discardAudio = number == 1;
      return kOk;
    default:
      return kInvalidArg;
  }
}

HRESULT MMApi::GetProperty(std::uint32_t id, void* buffer, std::uint32_t* size) {
  if (!size) return kPointer;
  switch (id) {
    case kPropFrameDib: {
      const auto frame = frames_.Latest();
      if (!frame) return kFail;
      const std::size_t needed = FrameDibSize(frame->width, frame->height);
      if (!buffer || *size < needed) {
        *size = static_cast<std::uint32_t>(needed);
        return buffer ? kInvalidArg : kOk;
      }
      if (!WriteDib24(*frame, frame->width, frame->height, buffer, *size)) return kFail;
      *size = static_cast<std::uint32_t>(needed);
      return kOk;
    }
    case kPropSaveResumeAtClose: return WriteValue<std::int32_t>(saveResumeAtClose_ ? 1 : 0, buffer, size);
    case kPropTitleCount:
      if (dvd_) return WriteValue<std::int32_t>(dvd_->TitleCount(), buffer, size);
      return WriteValue<std::int32_t>(file_ ? static_cast<std::int32_t>(file_->TrackCount()) : 0, buffer, size);
    case kPropChapterCount:
      return WriteValue<std::int32_t>(dvd_ ? dvd_->ChapterCount() : 0, buffer, size);
    case kPropRegion: return WriteValue(settings_.region, buffer, size);
    case kPropParentalLevel: return WriteValue<std::int32_t>(settings_.parentalLevel, buffer, size);
    case kPropAutoPlay: return WriteValue<std::int32_t>(settings_.autoPlay ? 1 : 0, buffer, size);
    case kPropAudioOutput: return WriteValue<std::int32_t>(settings_.discardAudio ? 1 : 0, buffer, size);
    case kPropHardwareDecoding: return WriteValue<std::int32_t>(settings_.hardwareDecoding ? 1 : 0, buffer, size);
    case kPropDiscId:
      if (!dvd_) return kNotOpen;
      return WriteValue(dvd_->disc().id, buffer, size);
    default:
      return kInvalidArg;
  }
}

HRESULT MMApi::SetRegistryPath(const char* path) {
  if (!path) return kPointer;
  registryPath_ = path;
  return kOk;
}

HRESULT MMApi::GetMediaKind(const char* path, std::uint32_t* bits) {
  if (!path || !bits) return kPointer;
  const auto found = ClassifyMedia(path);
  if (!found) return kFail;
  *bits = *found;
  return kOk;
}

HRESULT MMApi::SetKeepDisplayAwake(std::int32_t on) {
  keepAwake_ = on;
  return kOk;
}

// ---------------------------------------------------------------------------
// Transport.

HRESULT MMApi::Play() {
  if (dvd_) return dvd_->Play();
  if (file_) return file_->Play();
  return kNotOpen;
}

HRESULT MMApi::Pause() {
  if (dvd_) return dvd_->Pause();
  if (file_) return file_->Pause();
  return kNotOpen;
}

HRESULT MMApi::Resume() {
  if (dvd_) return dvd_->Resume();
  if (file_) return file_->Resume();
  return kNotOpen;
}

HRESULT MMApi::Stop() {
  if (dvd_) return dvd_->Stop();
  if (file_) return file_->Stop();
  return kNotOpen;
}

HRESULT MMApi::NextChapter() {
  if (dvd_) return dvd_->NextChapter();
  if (file_) return file_->StepTrack(1);
  return kNotOpen;
}

HRESULT MMApi::PrevChapter() {
  if (dvd_) return dvd_->PrevChapter();
  if (file_) return file_->StepTrack(-1);
  return kNotOpen;
}

HRESULT MMApi::Scan(std::int32_t speed, bool backward) {
  if (dvd_) return dvd_->Scan(speed, backward);
  if (file_) return file_->Scan(speed, backward);
  return kNotOpen;
}

HRESULT MMApi::ForwardScan(std::int32_t speed) { return Scan(speed, false); }
HRESULT MMApi::BackwardScan(std::int32_t speed) { return Scan(speed, true); }

HRESULT MMApi::GetSpeed(std::int32_t* speed) {
  if (!speed) return kPointer;
  if (dvd_) *speed = dvd_->Speed();
  else if (file_) *speed = file_->Speed();
  else return kNotOpen;
  return kOk;
}

HRESULT MMApi::PlayTitle(std::int32_t title) { return dvd_ ? dvd_->PlayTitle(title) : kNotOpen; }

HRESULT MMApi::PlayChapter(std::int32_t chapter) {
  if (dvd_) return dvd_->PlayChapter(chapter);
  if (file_) return file_->StepTrack(chapter - 1 - static_cast<int>(file_->Track()));
  return kNotOpen;
}

HRESULT MMApi::SelectByNumber(std::int32_t number) {
  if (dvd_) return dvd_->SelectByNumber(number);
  return PlayChapter(number);
}

HRESULT MMApi::GetNumberRange(std::int32_t* lowest, std::int32_t* highest) {
  if (!lowest || !highest) return kPointer;
  if (dvd_) return dvd_->NumberRange(lowest, highest);
  if (!file_) return kNotOpen;
  *lowest = 1;
  *highest = static_cast<std::int32_t>(file_->TrackCount());
  return kOk;
}

HRESULT MMApi::ClearNumberEntry() { return Opened() ? kOk : kNotOpen; }

HRESULT MMApi::ShowMenu(std::int32_t kind) { return dvd_ ? dvd_->ShowMenu(kind) : kNotOpen; }
HRESULT MMApi::SelectUpperButton() { return dvd_ ? dvd_->MoveButton(DvdSession::Move::kUp) : kNotOpen; }
HRESULT MMApi::SelectLowerButton() { return dvd_ ? dvd_->MoveButton(DvdSession::Move::kDown) : kNotOpen; }
HRESULT MMApi::SelectLeftButton() { return dvd_ ? dvd_->MoveButton(DvdSession::Move::kLeft) : kNotOpen; }
HRESULT MMApi::SelectRightButton() { return dvd_ ? dvd_->MoveButton(DvdSession::Move::kRight) : kNotOpen; }
HRESULT MMApi::ActivateButton() { return dvd_ ? dvd_->ActivateButton() : kNotOpen; }

// Window coordinates go through the destination rectangle to picture pixels.
bool MMApi::MapToPicture(std::int32_t* x, std::int32_t* y) {
  std::int32_t width = 0, height = 0;
  if (Failed(GetNativeVideoSize(&width, &height))) return false;
  if (destination_.width <= 0 || destination_.height <= 0) return true;
  const std::int64_t dx = *x - destination_.left;
  const std::int64_t dy = *y - destination_.top;
  if (dx < 0 || dy < 0 || dx >= destination_.width || dy >= destination_.height) return false;
  *x = static_cast<std::int32_t>(dx * width / destination_.width);
  *y = static_cast<std::int32_t>(dy * height / destination_.height);
  return true;
}

HRESULT MMApi::SelectButtonAtPoint(std::int32_t x, std::int32_t y) {
  if (!dvd_) return kNotOpen;
  if (!MapToPicture(&x, &y)) return kFail;
  return dvd_->ButtonAtPoint(x, y, false);
}

HRESULT MMApi::ActivateButtonAtPoint(std::int32_t x, std::int32_t y) {
  if (!dvd_) return kNotOpen;
  if (!MapToPicture(&x, &y)) return kFail;
  return dvd_->ButtonAtPoint(x, y, true);
}

HRESULT MMApi::SetClosedCaptionMode(std::uint32_t mode) {
  if (mode != 0 && mode != 1 && mode != 0x10001) return kInvalidArg;
  closedCaptions_ = mode;
  return kOk;
}

HRESULT MMApi::SelectAngle(std::int32_t angle) { return dvd_ ? dvd_->SelectAngle(angle) : kNotOpen; }

HRESULT MMApi::AcceptParentalLevelChange(std::uint32_t answer) {
  return dvd_ ? dvd_->AnswerParentalChange(answer) : kNotOpen;
}

HRESULT MMApi::GetTitleParentalLevels(std::int32_t title, std::uint32_t* mask) {
  if (!mask) return kPointer;
  if (!dvd_) return kNotOpen;
  *mask = dvd_->TitleParentalLevels(title);
  return kOk;
}

HRESULT MMApi::SaveBookmark(ResumeRecord* record) {
  if (!dvd_) return kNotOpen;
  const ResumeRecord position = dvd_->Position();
  if (record) *record = position;
  if (!position.valid) return kProhibited;
  if (bookmarkPath_.empty()) return kFail;
  return BookmarkStore(bookmarkPath_).Put(ToBookmark(position)) ? kOk : kFail;
}

HRESULT MMApi::RestoreBookmark(ResumeRecord* record) {
  if (!dvd_) return kNotOpen;
  if (bookmarkPath_.empty()) return kFail;
  const auto mark = BookmarkStore(bookmarkPath_).Find(dvd_->disc().id);
  if (!mark) return kFalse;
  const ResumeRecord position = ToRecord(*mark);
  if (record) *record = position;
  return dvd_->PlayFrom(position);
}

// ---------------------------------------------------------------------------
// Information.

HRESULT MMApi::GetCurrentAudio(std::int32_t* count, std::int32_t* current) {
  if (!count || !current) return kPointer;
  if (dvd_) return dvd_->CurrentAudio(count, current);
  if (!file_) return kNotOpen;
  *count = 1;
  *current = 0;
  return kOk;
}

HRESULT MMApi::GetAudioAttributes(std::int32_t stream, AudioAttributes* attributes) {
  if (!attributes) return kPointer;
  return dvd_ ? dvd_->AudioAttributesOf(stream, attributes) : kNotOpen;
}

HRESULT MMApi::GetSubtitleState(std::int32_t* count, std::int32_t* current, std::int32_t* disabled) {
  if (!count || !current || !disabled) return kPointer;
  if (dvd_) return dvd_->SubtitleState(count, current, disabled);
  if (!file_) return kNotOpen;
  *count = 0;
  *current = 0;
  *disabled = 1;
  return kOk;
}

HRESULT MMApi::IsSubtitleStreamEnabled(std::int32_t stream) {
  if (!dvd_) return kNotOpen;
  return dvd_->SubtitleEnabled(stream) ? kOk : kFalse;
}

HRESULT MMApi::GetSubtitleAttributes(std::int32_t stream, SubtitleAttributes* attributes) {
  if (!attributes) return kPointer;
  return dvd_ ? dvd_->SubtitleAttributesOf(stream, attributes) : kNotOpen;
}

HRESULT MMApi::GetDefaultAudioLanguage(std::uint32_t* language, std::uint32_t* isoCode) {
  if (!language) return kPointer;
  const std::uint32_t iso = settings_.preferredLanguage ? settings_.preferredLanguage : PreferredIsoCode();
  *language = LanguageIdFromIso(iso);
  if (isoCode) *isoCode = iso;
  return *language ? kOk : kFail;
}

HRESULT MMApi::GetDefaultSubtitleLanguage(std::uint32_t* language, std::uint32_t* isoCode) {
  return GetDefaultAudioLanguage(language, isoCode);
}

HRESULT MMApi::GetVideoAttributes(VideoAttributes* attributes) {
  if (!attributes) return kPointer;
  if (dvd_) return dvd_->VideoAttributesNow(attributes);
  const auto frame = frames_.Latest();
  if (!file_ || !frame) return kNotOpen;
  *attributes = {};
  attributes->width = frame->width;
  attributes->height = frame->height;
  // Square pixels: the ratio is the picture's own, reduced.
  std::uint32_t a = frame->width, b = frame->height;
  while (b) std::tie(a, b) = std::pair(b, a % b);
  attributes->aspectX = a ? frame->width / a : 0;
  attributes->aspectY = a ? frame->height / a : 0;
  return kOk;
}

HRESULT MMApi::GetTotalTitleTime(TitleTimeRecord* record) {
  if (!record) return kPointer;
  if (dvd_) return dvd_->TitleTime(record);
  if (!file_) return kNotOpen;
  *record = {};
  record->title = 1;
  record->chapters = static_cast<std::uint32_t>(file_->TrackCount());
  record->totalTime = file_->TotalTime();
  record->framesPerSecond = 25;
  return kOk;
}

HRESULT MMApi::GetCurrentTime(std::uint32_t* time) {
  if (!time) return kPointer;
  if (dvd_) *time = dvd_->CurrentTime();
  else if (file_) *time = file_->CurrentTime();
  else return kNotOpen;
  return kOk;
}

HRESULT MMApi::GetResumeInfo(std::uint32_t* available, std::uint32_t* time) {
  if (!available || !time) return kPointer;
  if (!dvd_) return kNotOpen;
  *available = 0;
  *time = 0;
  if (bookmarkPath_.empty()) return kOk;
  if (const auto mark = BookmarkStore(bookmarkPath_).Find(dvd_->disc().id)) {
    *available = 1;
    *time = mark->time;
  }
  return kOk;
}

HRESULT MMApi::GetDomain(std::int32_t* domain) {
  if (!domain) return kPointer;
  if (!dvd_) return kNotOpen;
  *domain = dvd_->Domain();
  return kOk;
}

HRESULT MMApi::GetTitleChapter(std::int32_t* title, std::int32_t* chapter) {
  if (!title || !chapter) return kPointer;
  if (dvd_) {
    dvd_->TitleChapter(title, chapter);
  } else if (file_) {
    *title = 1;
    *chapter = static_cast<std::int32_t>(file_->Track()) + 1;
  } else {
    return kNotOpen;
  }
  return kOk;
}

HRESULT MMApi::GetValidOperations(std::uint32_t* prohibitedMask) {
  if (!prohibitedMask) return kPointer;
  if (dvd_) *prohibitedMask = dvd_->ProhibitedOps();
  else if (file_) *prohibitedMask = 0;
  else return kNotOpen;
  return kOk;
}

HRESULT MMApi::GetButtons(std::int32_t* count, std::int32_t* selected) {
  if (!count || !selected) return kPointer;
  if (!dvd_) return kNotOpen;
  dvd_->Buttons(count, selected);
  return kOk;
}

HRESULT MMApi::GetAngles(std::int32_t* count, std::int32_t* current) {
  if (!count || !current) return kPointer;
  if (!dvd_) return kNotOpen;
  dvd_->Angles(count, current);
  return kOk;
}

HRESULT MMApi::GetDiscRegionMask(std::uint32_t* mask) {
  if (!mask) return kPointer;
  if (!dvd_) return kNotOpen;
  *mask = dvd_->disc().refusedRegions;
  return kOk;
}

// ---------------------------------------------------------------------------
// Stream choice.

HRESULT MMApi::SelectAudioStream(std::int32_t stream, std::uint32_t) {
  if (dvd_) return dvd_->SelectAudio(stream);
  return file_ && stream == 0 ? kOk : (file_ ? kInvalidArg : kNotOpen);
}

HRESULT MMApi::SelectSubtitleStream(std::int32_t stream, std::uint32_t) {
  return dvd_ ? dvd_->SelectSubtitle(stream) : kNotOpen;
}

HRESULT MMApi::SetSubtitleDisplay(std::int32_t on, std::uint32_t) {
  return dvd_ ? dvd_->SetSubtitleDisplay(on != 0) : kNotOpen;
}

HRESULT MMApi::ReturnFromMenu(std::uint32_t) { return dvd_ ? dvd_->ReturnFromMenu() : kNotOpen; }

HRESULT MMApi::SetPreferredLanguage(std::uint32_t isoCode) {
  if (isoCode != 0 && LanguageIdFromIso(isoCode) == 0) return kInvalidArg;
  settings_.preferredLanguage = isoCode;
  return kOk;
}

// ---------------------------------------------------------------------------
// Video window.

HRESULT MMApi::SetWindowStyle(std::int32_t style) { style_ = style; return kOk; }
HRESULT MMApi::GetWindowStyle(std::int32_t* style) { if (!style) return kPointer; *style = style_; return kOk; }
HRESULT MMApi::SetWindowStyleEx(std::int32_t style) { styleEx_ = style; return kOk; }
HRESULT MMApi::GetWindowStyleEx(std::int32_t* style) { if (!style) return kPointer; *style = styleEx_; return kOk; }
HRESULT MMApi::SetOwner(HWND owner) { owner_ = owner; return kOk; }
HRESULT MMApi::GetOwner(HWND* owner) { if (!owner) return kPointer; *owner = owner_; return kOk; }

HRESULT MMApi::SetMessageDrain(HWND drain) {
  drain_ = drain;
  frames_.SetDrain(drain);
  return kOk;
}

HRESULT MMApi::SetVisible(std::int32_t visible) { visible_ = visible; return kOk; }
HRESULT MMApi::GetVisible(std::int32_t* visible) { if (!visible) return kPointer; *visible = visible_; return kOk; }
HRESULT MMApi::SetAutoShow(std::int32_t on) { autoShow_ = on; return kOk; }

HRESULT MMApi::SetDestinationPosition(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
  if (width < 0 || height < 0) return kInvalidArg;
  destination_ = {left, top, width, height};
  return kOk;
}

HRESULT MMApi::GetDestinationPosition(std::int32_t* left, std::int32_t* top, std::int32_t* width, std::int32_t* height) {
  if (!left || !top || !width || !height) return kPointer;
  *left = destination_.left;
  *top = destination_.top;
  *width = destination_.width;
  *height = destination_.height;
  return kOk;
}

HRESULT MMApi::SetSourcePosition(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
  if (left < 0 || top < 0 || width <= 0 || height <= 0) return kInvalidArg;
  source_ = {left, top, width, height};
  sourceSet_ = true;
  return kOk;
}

HRESULT MMApi::GetSourcePosition(std::int32_t* left, std::int32_t* top, std::int32_t* width, std::int32_t* height) {
  if (!left || !top || !width || !height) return kPointer;
  Rect source = source_;
  if (!sourceSet_) {
    source = {};
    GetNativeVideoSize(&source.width, &source.height);
  }
  *left = source.left;
  *top = source.top;
  *width = source.width;
  *height = source.height;
  return kOk;
}

HRESULT MMApi::GetNativeVideoSize(std::int32_t* width, std::int32_t* height) {
  if (!width || !height) return kPointer;
  if (const auto frame = frames_.Latest()) {
    *width = static_cast<std::int32_t>(frame->width);
    *height = static_cast<std::int32_t>(frame->height);
    return kOk;
  }
  VideoAttributes attributes;
  if (dvd_ && dvd_->VideoAttributesNow(&attributes) == kOk) {
    *width = static_cast<std::int32_t>(attributes.width);
    *height = static_cast<std::int32_t>(attributes.height);
    return kOk;
  }
  return Opened() ? kFail : kNotOpen;
}

HRESULT MMApi::SetBorderColor(std::uint32_t colour) { borderColour_ = colour; return kOk; }
HRESULT MMApi::GetBorderColor(std::uint32_t* colour) { if (!colour) return kPointer; *colour = borderColour_; return kOk; }

HRESULT MMApi::SetWindowPosition(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
  if (width < 0 || height < 0) return kInvalidArg;
  windowPosition_ = {left, top, width, height};
  return kOk;
}

HRESULT MMApi::GetWindowPosition(std::int32_t position[4]) {
  if (!position) return kPointer;
  position[0] = windowPosition_.left;
  position[1] = windowPosition_.top;
  position[2] = windowPosition_.width;
  position[3] = windowPosition_.height;
  return kOk;
}

HRESULT MMApi::SetWindowForeground(std::int32_t focus) { foreground_ = focus; return kOk; }
HRESULT MMApi::SetFullScreenMode(std::int32_t on) { fullScreen_ = on; return kOk; }
HRESULT MMApi::SetFrameSink(IFrameSink* sink) { frames_.SetSink(sink); return kOk; }

HRESULT MMApi::DeliverFrame() {
  Rect source{};
  GetSourcePosition(&source.left, &source.top, &source.width, &source.height);
  return frames_.Deliver(destination_, source, visible_ != 0) ? kOk : kFalse;
}

// ---------------------------------------------------------------------------
// Decoder.

HRESULT MMApi::SetDecoderProperty(std::uint32_t id, const void* value, std::uint32_t size) {
  if (id != kDecPropDomainHint) return kInvalidArg;
  return ReadValue(value, size, &domainHint_) ? kOk : kInvalidArg;
}

HRESULT MMApi::ResetDecoder() {
  frames_.Reset();
  return kOk;
}

HRESULT MMApi::SetAudioOutput(std::int32_t channels, std::int32_t passThrough) {
  if (channels != 2 && channels != 4 && channels != 6) return kInvalidArg;
  audioChannels_ = channels;
  passThrough_ = passThrough;
  return kOk;
}

HRESULT MMApi::GetAudioOutputCaps(std::uint32_t* caps) {
  if (!caps) return kPointer;
  if (!EnsureGstreamer()) return kFail;
  std::uint32_t bits = 1 | 2;
  auto has = [](std::initializer_list<const char*> names) {
    for (const char* name : names)
      if (MissingElements({name}).empty()) return true;
    return false;
  };
  if (has({"a52dec", "avdec_ac3"})) bits |= 4;
  if (has({"dtsdec", "avdec_dca"})) bits |= 8;
  if (has({"dvdlpcmdec"})) bits |= 16;
  if (has({"mpg123audiodec", "avdec_mp2float"})) bits |= 32;
  *caps = bits;
  return kOk;
}

HRESULT MMApi::SetDynamicRange(std::int32_t mode) { dynamicRange_ = mode; return kOk; }

HRESULT MMApi::SetColorControls(const ColorControls& controls, std::uint32_t mask) {
  if ((mask & kColorBrightness) && (controls.brightness < 0 || controls.brightness > 10000)) return kInvalidArg;
  if ((mask & kColorContrast) && (controls.contrast < 0 || controls.contrast > 20000)) return kInvalidArg;
  if ((mask & kColorHue) && (controls.hue < -180 || controls.hue > 180)) return kInvalidArg;
  if ((mask & kColorSaturation) && (controls.saturation < 0 || controls.saturation > 20000)) return kInvalidArg;
  if ((mask & kColorGamma) && (controls.gamma < 1 || controls.gamma > 500)) return kInvalidArg;
  ColorControls& c = settings_.color;
  if (mask & kColorBrightness) c.brightness = controls.brightness;
  if (mask & kColorContrast) c.contrast = controls.contrast;
  if (mask & kColorHue) c.hue = controls.hue;
  if (mask & kColorSaturation) c.saturation = controls.saturation;
  if (mask & kColorGamma) c.gamma = controls.gamma;
  if (dvd_) dvd_->SetColor(c);
  if (file_) file_->SetColor(c);
  return kOk;
}

HRESULT MMApi::GetColorControls(ColorControls* controls) {
  if (!controls) return kPointer;
  *controls = settings_.color;
  return kOk;
}

HRESULT MMApi::SetDeinterlace(std::int32_t mode) { deinterlace_ = mode; return kOk; }
HRESULT MMApi::ClearDeinterlace() { deinterlace_ = 0; return kOk; }

HRESULT MMApi::SetOutputSize(std::int32_t width, std::int32_t height, std::int32_t enable) {
  if (width < 0 || height < 0) return kInvalidArg;
  outputSize_ = enable ? Rect{0, 0, width, height} : Rect{};
  return kOk;
}

HRESULT MMApi::SetScalingMode(std::int32_t mode) {
  scalingMode_ = mode;
  if (mode == 0) sourceSet_ = false;  // the whole picture
  return kOk;
}

HRESULT MMApi::SetOption(std::uint32_t option, std::int32_t a, std::int32_t, std::int32_t) {
  options_[option] = a;
  return kOk;
}

HRESULT MMApi::GetOption(std::uint32_t option, std::int32_t* a) {
  if (!a) return kPointer;
  const auto it = options_.find(option);
  if (it == options_.end()) return kFalse;
  *a = it->second;
  return kOk;
}

HRESULT MMApi::GrabFrame(std::int32_t width, std::int32_t height, void* buffer, std::size_t size,
                         std::uint32_t format) {
  if (!buffer) return kPointer;
  if (format != kFrameDib24 || width <= 0 || height <= 0) return kInvalidArg;
  const auto frame = frames_.Latest();
  if (!frame) return kFail;
  if (size < FrameDibSize(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height))) return kInvalidArg;
  return WriteDib24(*frame, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), buffer, size)
             ? kOk
             : kFail;
}

// ---------------------------------------------------------------------------
// Events.

HRESULT MMApi::SetNotifyWindow(HWND window, std::uint32_t message, std::intptr_t instance) {
  events_.SetTarget(window, message, instance);
  return kOk;
}

HRESULT MMApi::GetEvent(std::int32_t* code, std::intptr_t* value1, std::intptr_t* value2) {
  if (!code || !value1 || !value2) return kPointer;
  return events_.Take(code, value1, value2) ? kOk : kFail;
}

HRESULT MMApi::FreeEvent(std::int32_t code, std::intptr_t value1, std::intptr_t value2) {
  EventQueue::Free(code, value1, value2);
  return kOk;
}

// ---------------------------------------------------------------------------
// Tracks of video CDs.

HRESULT MMApi::PlayTrack(std::int32_t command, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t) {
  if (!file_) return dvd_ ? kProhibited : kNotOpen;
  if (command == 7) return file_->StepTrack(1);
  if (command == 6) return file_->StepTrack(-1);
  return kInvalidArg;
}

}  // namespace tovelax
