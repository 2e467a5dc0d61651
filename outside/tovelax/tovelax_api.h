// The DVD playback library's interface, as loaded with dlopen from
// "<exe dir>/Movie/libtovelax.so".
//
// The library exports three C entry points:
//   uint32_t GetMMAPIVersion();   must equal kMMAPIVersion
//   tovelax::IMMAPI* GetMMAPI();  the process's one API object (null on failure)
//   void ReleaseMMAPI();          destroys it
//
// Every call is made on the client's thread. The library's own threads (disc
// reading, GStreamer streaming) never call the client: they queue events and
// frames and wake the client by posting a message through its INotifyPoster.
// Results are HRESULTs: negative means failure.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

// The window handle is the platform layer's own type, declared here without
// pulling in the platform's headers (the library is built against GLib,
// whose TRUE/FALSE macros clash with them).
namespace plat {
struct HWND__;
}

namespace tovelax {

using HRESULT = std::int32_t;  // the platform's HRESULT
using HWND = plat::HWND__*;    // the platform's HWND

inline constexpr std::uint32_t kMMAPIVersion = 0x05061201;

inline constexpr const char* kVersionEntry = "GetMMAPIVersion";
inline constexpr const char* kApiEntry = "GetMMAPI";
inline constexpr const char* kReleaseEntry = "ReleaseMMAPI";

// Result codes.
inline constexpr HRESULT kOk = 0;
inline constexpr HRESULT kFalse = 1;
inline constexpr HRESULT kNotImplemented = static_cast<HRESULT>(0x80004001);
inline constexpr HRESULT kPointer = static_cast<HRESULT>(0x80004003);
inline constexpr HRESULT kFail = static_cast<HRESULT>(0x80004005);
inline constexpr HRESULT kUnexpected = static_cast<HRESULT>(0x8000FFFF);
inline constexpr HRESULT kInvalidArg = static_cast<HRESULT>(0x80070057);
inline constexpr HRESULT kOutOfMemory = static_cast<HRESULT>(0x8007000E);
// The operation is prohibited by the disc (user-operation mask) or the domain.
inline constexpr HRESULT kProhibited = static_cast<HRESULT>(0x89050001);
// No disc or source is open.
inline constexpr HRESULT kNotOpen = static_cast<HRESULT>(0x89050002);
// Track control: already at the first or last track (the caller treats it as done);
// NextChapter: the title's last chapter plays, there is no next one.
inline constexpr HRESULT kTrackAtEnd = static_cast<HRESULT>(0x89050003);
// The source cannot be played (unknown layout, unreadable disc, missing decoder).
inline constexpr HRESULT kUnplayable = static_cast<HRESULT>(0x89050004);
// Region of the disc and of the player do not match.
inline constexpr HRESULT kWrongRegion = static_cast<HRESULT>(0x89050005);

inline constexpr bool Failed(HRESULT hr) { return hr < 0; }

// Messages posted to the client's windows.
inline constexpr std::uint32_t kDefaultEventMessage = 0x0400 + 1900;  // WM_USER+1900
inline constexpr std::uint32_t kFrameReadyMessage = 0x0400 + 1901;    // to the message drain

// Normal playback speed; scanning speeds are multiples (20000 = twice as fast).
inline constexpr std::int32_t kNormalSpeed = 10000;

// Command flags for stream choices: 1 flush buffered data, 4 block until done.
inline constexpr std::uint32_t kCmdFlush = 1;
inline constexpr std::uint32_t kCmdBlock = 4;

// ---------------------------------------------------------------------------
// Properties of the source object, by number.
enum Property : std::uint32_t {
  kPropBookmarkFile = 1,   // set: NUL-terminated UTF-8 path of the bookmark file ("ar.cbk")
  kPropFrameDib = 2,       // get: current frame as a packed DIB (40-byte header, 24-bit bottom-up);
                           //      a null buffer returns the size needed in *size
  kPropSaveResumeAtClose = 4,  // set: 4 bytes (or a ResumeRecord); first word 1 = keep the
                               //      resume point of this disc when it is closed
  kPropTitleCount = 7,     // get: 4 bytes, number of titles of the open disc
  kPropChapterCount = 8,   // get: 4 bytes, chapters of the current title
  kPropRegion = 14,        // set/get: RegionRecord, the player's region; set while a disc
                           //      is open, it checks that disc again (kWrongRegion: still refused)
  kPropParentalLevel = 15, // set/get: 4 bytes, the player's parental level 1..8 (8 = all)
  kPropAutoPlay = 19,      // set: 4 bytes; 1 plays as soon as a source opens, 0 (default) waits for Play
  kPropAudioOutput = 20,   // set: 4 bytes; 0 the system's audio output (default), 1 discard
  kPropDiscId = 21,        // get: 16 bytes, the open disc's identity (stable across runs)
  kPropHardwareDecoding = 22,  // set/get: 4 bytes; 1 prefers hardware MPEG-2 video decoders from
                               //      the next open on, 0 (default) software decoders
};

// Decoder properties.
enum DecoderProperty : std::uint32_t {
  kDecPropDomainHint = 1,  // set: 4 bytes, the navigation domain (1..5)
};

// Media classification bits (GetMediaKind).
enum MediaBits : std::uint32_t {
  kMediaDvdDisc = 1,          // DVD-Video on an optical drive
  kMediaVideoFileMpegPs = 2,  // MPEG program stream file (.mpg, .mpeg, .vob)
  kMediaVcd = 4,              // Video CD (tracks)
  kMediaSvcd = 8,             // Super Video CD
  kMediaAudioCd = 16,         // audio CD (recognised, not played here)
  kMediaVideoFileMp4 = 32,    // MP4/MOV file
  kMediaVideoFileMkv = 64,    // Matroska/WebM file
  kMediaVideoFileAvi = 128,   // AVI file
  kMediaVideoFileOther = 256, // any other video file
  kMediaDvdFolder = 512,      // VIDEO_TS folder on a hard disk
  kMediaDvdImage = 1024,      // DVD image file (.iso)
  kMediaDvdVideoTsIfo = 2048, // path of a VIDEO_TS.IFO file
  kMediaDvdRecording = 4096,  // DVD-VR recording (recognised, not played)
};

// Navigation domains (event 257 and the decoder's domain hint).
enum Domain : std::int32_t {
  kDomainFirstPlay = 1,
  kDomainDiscMenu = 2,
  kDomainTitleSetMenu = 3,
  kDomainTitle = 4,
  kDomainStopped = 5,
};

// Event codes and their two values.
enum EventCode : std::int32_t {
  kEvComplete = 1,               // playback reached the end
  kEvDomainChange = 257,         // v1 domain
  kEvTitleChange = 258,          // v1 title number
  kEvChapterStart = 259,         // v1 chapter number
  kEvAudioStreamChange = 260,    // v1 current audio stream
  kEvSubtitleStreamChange = 261, // v1 current subtitle stream
  kEvAngleChange = 262,          // v1 number of angles, v2 current angle
  kEvButtonChange = 263,         // v1 number of buttons, v2 selected button
  kEvValidOpsChange = 264,       // v1 user-operation mask (set bit = prohibited)
  kEvError = 268,                // v1 error (DvdError), v2 detail (for regions: the disc's region mask)
  kEvRateChange = 272,           // v1 new speed (10000 normal)
  kEvParentalLevelChange = 273,  // v1 requested level
  kEvStopped = 274,              // playback stopped by the disc or by Stop
  kEvDiscEjected = 280,
  kEvDiscInserted = 281,
  kEvTimeChange = 282,           // v1 pointer to a TimeCode valid until FreeEvent, v2 0
  kEvVideoSizeChange = 0x8001,   // native video size changed
  kEvAudioUndecodable = 0x800A,  // v1 stream: its format has no decoder
  kEvAudioDecodeFailed = 0x800B, // v1 stream: the decoder failed on it
};

enum DvdError : std::int32_t {
  kErrUnexpected = 1,
  kErrCopyProtection = 2,
  kErrInvalidDisc = 3,
  kErrWrongRegion = 4,         // v2: the disc's region mask (set bit = region refused)
  kErrParentalLevelTooLow = 5,
};

// User-operation bits of the valid-operations mask (set bit = prohibited);
// the bit numbers are the disc's own user-operation numbers.
enum UserOperation : std::uint32_t {
  kUopTimePlayOrSearch = 1u << 0,
  kUopChapterPlayOrSearch = 1u << 1,
  kUopTitlePlay = 1u << 2,
  kUopStop = 1u << 3,
  kUopGoUp = 1u << 4,
  kUopTimeOrChapterSearch = 1u << 5,
  kUopPrevOrTopChapter = 1u << 6,
  kUopNextChapter = 1u << 7,
  kUopForwardScan = 1u << 8,
  kUopBackwardScan = 1u << 9,
  kUopTitleMenu = 1u << 10,
  kUopRootMenu = 1u << 11,
  kUopSubtitleMenu = 1u << 12,
  kUopAudioMenu = 1u << 13,
  kUopAngleMenu = 1u << 14,
  kUopChapterMenu = 1u << 15,
  kUopResume = 1u << 16,
  kUopButtonSelectOrActivate = 1u << 17,
  kUopStillOff = 1u << 18,
  kUopPauseOn = 1u << 19,
  kUopAudioStreamChange = 1u << 20,
  kUopSubtitleStreamChange = 1u << 21,
  kUopAngleChange = 1u << 22,
  kUopKaraokeMode = 1u << 23,
  kUopVideoModeChange = 1u << 24,
};

// Menus by kind (ShowMenu).
enum MenuKind : std::int32_t {
  kMenuTitle = 2,
  kMenuRoot = 3,
  kMenuSubtitle = 4,
  kMenuAudio = 5,
  kMenuAngle = 6,
  kMenuChapter = 7,
};

// ---------------------------------------------------------------------------
// Records.

// Playing time: hours, minutes, seconds, frames, packed into 32 bits as
// hours | minutes << 8 | seconds << 16 | frames << 24.
struct TimeCode {
  std::uint8_t hours = 0;
  std::uint8_t minutes = 0;
  std::uint8_t seconds = 0;
  std::uint8_t frames = 0;
};
inline constexpr std::uint32_t PackTime(TimeCode t) {
  return t.hours | (std::uint32_t{t.minutes} << 8) | (std::uint32_t{t.seconds} << 16) |
         (std::uint32_t{t.frames} << 24);
}
inline constexpr TimeCode UnpackTime(std::uint32_t v) {
  return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
          static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
}

// Total time of the current title (16 bytes; the packed time is the third word).
struct TitleTimeRecord {
  std::uint32_t title = 0;
  std::uint32_t chapters = 0;
  std::uint32_t totalTime = 0;   // PackTime
  std::uint32_t framesPerSecond = 0;
};
static_assert(sizeof(TitleTimeRecord) == 16);

// Languages: `language` is the platform language identifier (primary language
// in the low 10 bits, sub-language SUBLANG_DEFAULT), 0 when unknown;
// `isoCode` is the disc's ISO 639-1 code as two characters, high byte first.
struct AudioAttributes {
  std::uint32_t format = 0;       // AudioFormat
  std::uint32_t channels = 0;
  std::uint32_t sampleRate = 0;
  std::uint32_t language = 0;     // fourth word
  std::uint32_t isoCode = 0;
  std::uint32_t physicalStream = 0;
  std::uint32_t decodable = 0;    // 1 when the library has a decoder for it
};
enum AudioFormat : std::uint32_t { kAudioAc3 = 0, kAudioMpeg1 = 2, kAudioMpeg2 = 3, kAudioLpcm = 4, kAudioDts = 6 };

struct SubtitleAttributes {
  std::uint32_t coding = 0;
  std::uint32_t type = 0;
  std::uint32_t language = 0;     // third word
  std::uint32_t isoCode = 0;
  std::uint32_t physicalStream = 0;
};

struct VideoAttributes {
  std::uint32_t compression = 0;  // 1 MPEG-1, 2 MPEG-2, 0 other
  std::uint32_t frameRate = 0;    // frames per second
  std::uint32_t aspectX = 0;      // third word
  std::uint32_t aspectY = 0;      // fourth word
  std::uint32_t lineStandard = 0; // 1 NTSC, 2 PAL, 0 other
  std::uint32_t letterboxed = 0;
  std::uint32_t panScanPermitted = 0;
  std::uint32_t letterboxPermitted = 0;
  std::uint32_t reserved = 0;
  std::uint32_t width = 0;        // tenth word
  std::uint32_t height = 0;       // eleventh word
};
static_assert(offsetof(VideoAttributes, aspectX) == 8);
static_assert(offsetof(VideoAttributes, width) == 36);

// The player's region: region number 1..8 and the mask of regions it plays
// (set bit = region refused, as on discs).
struct RegionRecord {
  std::uint8_t region = 0;
  std::uint8_t mask = 0;
};

// A playing position: what a resume bookmark holds (144 bytes).
struct ResumeRecord {
  std::uint32_t valid = 0;        // 1 when the record holds a position
  std::uint32_t title = 0;
  std::uint32_t chapter = 0;
  std::uint32_t time = 0;         // PackTime, position in the title
  std::uint32_t sector = 0;       // position in the title, 2048-byte blocks
  std::uint32_t audioStream = 0;
  std::uint32_t subtitleStream = 0;
  std::uint32_t subtitleOn = 0;
  std::uint32_t angle = 0;
  std::uint8_t discId[16] = {};
  std::uint8_t reserved[92] = {};
};
static_assert(sizeof(ResumeRecord) == 144);

// Colour settings (SetColorControls): ranges and defaults.
struct ColorControls {
  std::int32_t brightness = 750;   // 0..10000
  std::int32_t contrast = 10000;   // 0..20000
  std::int32_t hue = 0;            // -180..180 degrees
  std::int32_t saturation = 10000; // 0..20000
  std::int32_t gamma = 100;        // 1..500
};
enum ColorControlMask : std::uint32_t {
  kColorBrightness = 1, kColorContrast = 2, kColorHue = 4, kColorSaturation = 8, kColorGamma = 16,
};

// Frame-grab formats.
enum FrameFormat : std::uint32_t {
  kFrameDib24 = 6,  // packed DIB: 40-byte header, 24-bit bottom-up rows padded to 4 bytes
};
// Bytes a packed 24-bit DIB of the given size needs (rows padded to 4 bytes).
inline constexpr std::size_t FrameDibSize(std::uint32_t width, std::uint32_t height) {
  return 40 + ((std::size_t{width} * 3 + 3) & ~std::size_t{3}) * height;
}

// A decoded picture: 32-bit BGRA, top-down.
struct VideoFrame {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint32_t stride = 0;
  std::int64_t timestampNs = -1;
  std::vector<std::uint8_t> pixels;
};

struct Rect {
  std::int32_t left = 0, top = 0, width = 0, height = 0;
};

// ---------------------------------------------------------------------------
// Client-side seams. Plain tables without IUnknown; the library never deletes them.

// Posts a message to a client window. Must be safe to call from any thread and
// must not block: the library calls it from its reading and streaming threads.
class INotifyPoster {
 public:
  virtual void Post(HWND window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) = 0;
  // Called on the client's thread while a call of the client waits for the
  // library's threads (a source being opened): returns within about `ms`.
  // A client with a message loop may run its messages meanwhile, so that its
  // screen stays alive; it must not call the source that is being opened.
  virtual void WaitOnClientThread(unsigned ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
 protected:
  ~INotifyPoster() = default;
};

// Receives pictures on the client's thread (from IMMVideoWindow::DeliverFrame).
class IFrameSink {
 public:
  // `destination` is the video window's destination rectangle, `source` the part
  // of the frame to show; nothing is drawn while `visible` is false.
  virtual void OnFrame(const std::shared_ptr<const VideoFrame>& frame, const Rect& destination,
                       const Rect& source, bool visible) = 0;
 protected:
  ~IFrameSink() = default;
};

// ---------------------------------------------------------------------------
// Sub-objects of the API object.

// Opening, closing and settings of the source. Open plays at once only when
// kPropAutoPlay is 1; otherwise the disc waits at its start for Play.
class IMMSource {
 public:
  virtual HRESULT Open(const char* path) = 0;
  // Second way of opening: `flags` 0 opens paused at the first-play position.
  virtual HRESULT OpenEx(const char* path, std::uint32_t flags) = 0;
  virtual HRESULT Close() = 0;
  // Closes and fills `resume` with the position at closing (null allowed).
  virtual HRESULT CloseWithRecord(ResumeRecord* resume) = 0;
  virtual HRESULT SetProperty(std::uint32_t id, const void* value, std::uint32_t size) = 0;
  // `*size` holds the buffer's size on entry and the bytes written (or needed) on return.
  virtual HRESULT GetProperty(std::uint32_t id, void* buffer, std::uint32_t* size) = 0;
  virtual HRESULT SetRegistryPath(const char* path) = 0;
  virtual HRESULT GetMediaKind(const char* path, std::uint32_t* bits) = 0;
  // 1: let the library keep the screen awake while playing; 0: leave it alone.
  virtual HRESULT SetKeepDisplayAwake(std::int32_t on) = 0;
 protected:
  ~IMMSource() = default;
};

class IMMTransport {
 public:
  virtual HRESULT Play() = 0;
  virtual HRESULT Pause() = 0;
  virtual HRESULT Resume() = 0;
  virtual HRESULT Stop() = 0;
  virtual HRESULT NextChapter() = 0;
  virtual HRESULT PrevChapter() = 0;
  virtual HRESULT ForwardScan(std::int32_t speed) = 0;
  virtual HRESULT BackwardScan(std::int32_t speed) = 0;
  virtual HRESULT GetSpeed(std::int32_t* speed) = 0;
  virtual HRESULT PlayTitle(std::int32_t title) = 0;
  virtual HRESULT PlayChapter(std::int32_t chapter) = 0;
  // Number entry: a chapter in a title, a button in a menu, else a title.
  virtual HRESULT SelectByNumber(std::int32_t number) = 0;
  virtual HRESULT GetNumberRange(std::int32_t* lowest, std::int32_t* highest) = 0;
  virtual HRESULT ClearNumberEntry() = 0;
  virtual HRESULT ShowMenu(std::int32_t kind) = 0;
  virtual HRESULT SelectUpperButton() = 0;
  virtual HRESULT SelectLowerButton() = 0;
  virtual HRESULT SelectLeftButton() = 0;
  virtual HRESULT SelectRightButton() = 0;
  virtual HRESULT ActivateButton() = 0;
  // Points are in the video window's client coordinates; the library maps them
  // through the destination rectangle to picture pixels.
  virtual HRESULT SelectButtonAtPoint(std::int32_t x, std::int32_t y) = 0;
  virtual HRESULT ActivateButtonAtPoint(std::int32_t x, std::int32_t y) = 0;
  virtual HRESULT SetClosedCaptionMode(std::uint32_t mode) = 0;  // 0 off, 1 normal, 0x10001 reverse
  virtual HRESULT SelectAngle(std::int32_t angle) = 0;
  // Answer to a parental-level change request: low byte 1 accept, 0 refuse.
  virtual HRESULT AcceptParentalLevelChange(std::uint32_t answer) = 0;
  // Bits 8..15 stand for levels 1..8 at which `title` may be played.
  virtual HRESULT GetTitleParentalLevels(std::int32_t title, std::uint32_t* mask) = 0;
  // Stores the current position as the disc's resume bookmark (record filled).
  virtual HRESULT SaveBookmark(ResumeRecord* record) = 0;
  // Plays from the disc's resume bookmark (record filled with it).
  virtual HRESULT RestoreBookmark(ResumeRecord* record) = 0;
 protected:
  ~IMMTransport() = default;
};

class IMMInfo {
 public:
  virtual HRESULT GetCurrentAudio(std::int32_t* count, std::int32_t* current) = 0;
  virtual HRESULT GetAudioAttributes(std::int32_t stream, AudioAttributes* attributes) = 0;
  virtual HRESULT GetSubtitleState(std::int32_t* count, std::int32_t* current, std::int32_t* disabled) = 0;
  // kOk when the stream may be chosen now, kFalse when not.
  virtual HRESULT IsSubtitleStreamEnabled(std::int32_t stream) = 0;
  virtual HRESULT GetSubtitleAttributes(std::int32_t stream, SubtitleAttributes* attributes) = 0;
  virtual HRESULT GetDefaultAudioLanguage(std::uint32_t* language, std::uint32_t* isoCode) = 0;
  virtual HRESULT GetDefaultSubtitleLanguage(std::uint32_t* language, std::uint32_t* isoCode) = 0;
  virtual HRESULT GetVideoAttributes(VideoAttributes* attributes) = 0;
  virtual HRESULT GetTotalTitleTime(TitleTimeRecord* record) = 0;
  virtual HRESULT GetCurrentTime(std::uint32_t* time) = 0;  // PackTime
  // Whether a resume bookmark exists for the open disc, and its time (PackTime).
  virtual HRESULT GetResumeInfo(std::uint32_t* available, std::uint32_t* time) = 0;
  virtual HRESULT GetDomain(std::int32_t* domain) = 0;
  virtual HRESULT GetTitleChapter(std::int32_t* title, std::int32_t* chapter) = 0;
  virtual HRESULT GetValidOperations(std::uint32_t* prohibitedMask) = 0;
  virtual HRESULT GetButtons(std::int32_t* count, std::int32_t* selected) = 0;
  virtual HRESULT GetAngles(std::int32_t* count, std::int32_t* current) = 0;
  virtual HRESULT GetDiscRegionMask(std::uint32_t* mask) = 0;
 protected:
  ~IMMInfo() = default;
};

class IMMNavControl {
 public:
  virtual HRESULT SelectAudioStream(std::int32_t stream, std::uint32_t flags) = 0;
  virtual HRESULT SelectSubtitleStream(std::int32_t stream, std::uint32_t flags) = 0;
  virtual HRESULT SetSubtitleDisplay(std::int32_t on, std::uint32_t flags) = 0;
  // Leaves a menu back to where the title was (resume).
  virtual HRESULT ReturnFromMenu(std::uint32_t flags) = 0;
  virtual HRESULT SetPreferredLanguage(std::uint32_t isoCode) = 0;
 protected:
  ~IMMNavControl() = default;
};

class IMMVideoWindow {
 public:
  virtual HRESULT SetWindowStyle(std::int32_t style) = 0;
  virtual HRESULT GetWindowStyle(std::int32_t* style) = 0;
  virtual HRESULT SetWindowStyleEx(std::int32_t style) = 0;
  virtual HRESULT GetWindowStyleEx(std::int32_t* style) = 0;
  virtual HRESULT SetOwner(HWND owner) = 0;
  virtual HRESULT GetOwner(HWND* owner) = 0;
  // Frames-ready messages (kFrameReadyMessage) are posted to the drain window.
  virtual HRESULT SetMessageDrain(HWND drain) = 0;
  virtual HRESULT SetVisible(std::int32_t visible) = 0;  // -1 shown, 0 hidden
  virtual HRESULT GetVisible(std::int32_t* visible) = 0;
  virtual HRESULT SetAutoShow(std::int32_t on) = 0;
  virtual HRESULT SetDestinationPosition(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) = 0;
  virtual HRESULT GetDestinationPosition(std::int32_t* left, std::int32_t* top, std::int32_t* width, std::int32_t* height) = 0;
  virtual HRESULT SetSourcePosition(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) = 0;
  virtual HRESULT GetSourcePosition(std::int32_t* left, std::int32_t* top, std::int32_t* width, std::int32_t* height) = 0;
  virtual HRESULT GetNativeVideoSize(std::int32_t* width, std::int32_t* height) = 0;
  virtual HRESULT SetBorderColor(std::uint32_t colour) = 0;
  virtual HRESULT GetBorderColor(std::uint32_t* colour) = 0;
  // Position of the video window itself: four words left, top, width, height.
  virtual HRESULT SetWindowPosition(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) = 0;
  virtual HRESULT GetWindowPosition(std::int32_t position[4]) = 0;
  virtual HRESULT SetWindowForeground(std::int32_t focus) = 0;
  virtual HRESULT SetFullScreenMode(std::int32_t on) = 0;
  // Frame seam: the sink gets the newest frame, on the caller's thread, each
  // time DeliverFrame is called (after a kFrameReadyMessage). Returns kFalse
  // when no new frame was waiting.
  virtual HRESULT SetFrameSink(IFrameSink* sink) = 0;
  virtual HRESULT DeliverFrame() = 0;
 protected:
  ~IMMVideoWindow() = default;
};

class IMMDecoder {
 public:
  virtual HRESULT SetDecoderProperty(std::uint32_t id, const void* value, std::uint32_t size) = 0;
  virtual HRESULT ResetDecoder() = 0;
  // Speaker layout: channels (2, 4, 6) and 1 for S/PDIF pass-through.
  virtual HRESULT SetAudioOutput(std::int32_t channels, std::int32_t passThrough) = 0;
  // Bits: 1 stereo, 2 multichannel, 4 AC-3 decoding, 8 DTS decoding, 16 LPCM, 32 MPEG audio.
  virtual HRESULT GetAudioOutputCaps(std::uint32_t* caps) = 0;
  virtual HRESULT SetDynamicRange(std::int32_t mode) = 0;
  virtual HRESULT SetColorControls(const ColorControls& controls, std::uint32_t mask) = 0;
  virtual HRESULT GetColorControls(ColorControls* controls) = 0;
  virtual HRESULT SetDeinterlace(std::int32_t mode) = 0;
  virtual HRESULT ClearDeinterlace() = 0;
  // Output picture size for the scaler; enable 0 lets the library choose.
  virtual HRESULT SetOutputSize(std::int32_t width, std::int32_t height, std::int32_t enable) = 0;
  // 0: show the whole source picture.
  virtual HRESULT SetScalingMode(std::int32_t mode) = 0;
  // Generic decoder option by number with up to three values, kept and reported back.
  virtual HRESULT SetOption(std::uint32_t option, std::int32_t a, std::int32_t b, std::int32_t c) = 0;
  virtual HRESULT GetOption(std::uint32_t option, std::int32_t* a) = 0;
  // Copies the newest frame, scaled to width × height, into `buffer` in `format`.
  virtual HRESULT GrabFrame(std::int32_t width, std::int32_t height, void* buffer, std::size_t size,
                            std::uint32_t format) = 0;
 protected:
  ~IMMDecoder() = default;
};

class IMMEventQueue {
 public:
  virtual HRESULT SetNotifyWindow(HWND window, std::uint32_t message, std::intptr_t instance) = 0;
  // Takes the oldest event; kFail when the queue is empty.
  virtual HRESULT GetEvent(std::int32_t* code, std::intptr_t* value1, std::intptr_t* value2) = 0;
  // Releases what an event's values point to; every event taken must be freed.
  virtual HRESULT FreeEvent(std::int32_t code, std::intptr_t value1, std::intptr_t value2) = 0;
 protected:
  ~IMMEventQueue() = default;
};

class IMMTrackControl {
 public:
  // command 7 next track, 6 previous track; the other values are kept for the
  // call's shape (255, 255, 0xFFFF, -1, 0xFFFF). kTrackAtEnd at the first/last track.
  virtual HRESULT PlayTrack(std::int32_t command, std::int32_t a, std::int32_t b, std::int32_t c,
                            std::int32_t d, std::int32_t e) = 0;
 protected:
  ~IMMTrackControl() = default;
};

// The API object. Sub-objects live as long as the API object.
class IMMAPI {
 public:
  virtual IMMSource* Source() = 0;
  virtual IMMTransport* Transport() = 0;
  virtual IMMInfo* Info() = 0;
  virtual IMMNavControl* NavControl() = 0;
  virtual IMMVideoWindow* VideoWindow() = 0;
  virtual IMMDecoder* Decoder() = 0;
  virtual IMMEventQueue* Events() = 0;
  virtual IMMTrackControl* TrackControl() = 0;
  // The poster through which the library wakes the client (events, frames).
  virtual void SetNotifyPoster(INotifyPoster* poster) = 0;
 protected:
  ~IMMAPI() = default;
};

using GetMMAPIVersionFn = std::uint32_t (*)();
using GetMMAPIFn = IMMAPI* (*)();
using ReleaseMMAPIFn = void (*)();

}  // namespace tovelax
