// The scripted library (see fake_tovelax.h). FAKE_VERSION and FAKE_NO_RELEASE
// build the variants with a wrong version and with an entry point missing.
#include "tests/engines/playback/discrunner/fake_tovelax.h"

#include <cstring>
#include <memory>

#ifndef FAKE_VERSION
#define FAKE_VERSION 0x05061201
#endif

namespace {

using namespace tovelax;
using faketov::Script;

Script g_scriptObject;
Script* g_script = &g_scriptObject;
std::string Num(std::int64_t v) { return std::to_string(v); }
void Log(std::string call) { g_script->calls.push_back(std::move(call)); }

class Api final : public IMMAPI, IMMSource, IMMTransport, IMMInfo, IMMNavControl, IMMVideoWindow, IMMDecoder,
                  IMMEventQueue, IMMTrackControl {
 public:
  IMMSource* Source() override { return this; }
  IMMTransport* Transport() override { return this; }
  IMMInfo* Info() override { return this; }
  IMMNavControl* NavControl() override { return this; }
  IMMVideoWindow* VideoWindow() override { return this; }
  IMMDecoder* Decoder() override { return this; }
  IMMEventQueue* Events() override { return this; }
  IMMTrackControl* TrackControl() override { return this; }
  void SetNotifyPoster(INotifyPoster* poster) override { g_script->poster = poster; }

  // Source.
  HRESULT Open(const char* path) override { Log(std::string("Open(") + path + ")"); return g_script->openResult; }
  HRESULT OpenEx(const char* path, std::uint32_t flags) override {
    Log(std::string("OpenEx(") + path + "," + Num(flags) + ")");
    return g_script->openResult;
  }
  HRESULT Close() override { Log("Close"); return kOk; }
  HRESULT CloseWithRecord(ResumeRecord*) override { Log("CloseWithRecord"); return kOk; }
  HRESULT SetProperty(std::uint32_t id, const void* value, std::uint32_t size) override {
    if (id == kPropBookmarkFile) g_script->bookmarkFile = static_cast<const char*>(value);
    std::int32_t first = 0;
    if (size >= 4) std::memcpy(&first, value, 4);
    Log("SetProperty(" + Num(id) + "," + Num(size >= 4 ? first : static_cast<const std::uint8_t*>(value)[0]) + ")");
    return kOk;
  }
  HRESULT GetProperty(std::uint32_t id, void* buffer, std::uint32_t* size) override {
    Log("GetProperty(" + Num(id) + ")");
    if (id == kPropFrameDib) {
      if (g_script->frameDib.empty()) return kFail;
      if (!buffer) {
        *size = static_cast<std::uint32_t>(g_script->frameDib.size());
        return kOk;
      }
      if (*size < g_script->frameDib.size()) return kInvalidArg;
      std::memcpy(buffer, g_script->frameDib.data(), g_script->frameDib.size());
      return kOk;
    }
    if ((id == kPropTitleCount || id == kPropChapterCount) && buffer && *size >= 4) {
      const std::int32_t v = id == kPropTitleCount ? 2 : 5;
      std::memcpy(buffer, &v, 4);
      return kOk;
    }
    return kFail;
  }
  HRESULT SetRegistryPath(const char* path) override { g_script->registryPath = path; return kOk; }
  HRESULT GetMediaKind(const char*, std::uint32_t* bits) override {
    *bits = g_script->mediaBits;
    return g_script->mediaResult;
  }
  HRESULT SetKeepDisplayAwake(std::int32_t on) override { Log("SetKeepDisplayAwake(" + Num(on) + ")"); return kOk; }

  // Transport.
  HRESULT Play() override { Log("Play"); return kOk; }
  HRESULT Pause() override { Log("Pause"); return kOk; }
  HRESULT Resume() override { Log("Resume"); return kOk; }
  HRESULT Stop() override { Log("Stop"); return kOk; }
  HRESULT NextChapter() override { Log("NextChapter"); return g_script->chapterResult; }
  HRESULT PrevChapter() override { Log("PrevChapter"); return g_script->chapterResult; }
  HRESULT ForwardScan(std::int32_t speed) override {
    Log("ForwardScan(" + Num(speed) + ")");
    g_script->speed = speed;
    return kOk;
  }
  HRESULT BackwardScan(std::int32_t speed) override {
    Log("BackwardScan(" + Num(speed) + ")");
    g_script->speed = speed;
    return kOk;
  }
  HRESULT GetSpeed(std::int32_t* speed) override { *speed = g_script->speed; return kOk; }
  HRESULT PlayTitle(std::int32_t t) override { Log("PlayTitle(" + Num(t) + ")"); return kOk; }
  HRESULT PlayChapter(std::int32_t c) override { Log("PlayChapter(" + Num(c) + ")"); return kOk; }
  HRESULT SelectByNumber(std::int32_t n) override { Log("SelectByNumber(" + Num(n) + ")"); return kOk; }
  HRESULT GetNumberRange(std::int32_t* lo, std::int32_t* hi) override {
    *lo = g_script->numberLowest;
    *hi = g_script->numberHighest;
    return kOk;
  }
  HRESULT ClearNumberEntry() override { Log("ClearNumberEntry"); return kOk; }
  HRESULT ShowMenu(std::int32_t kind) override { Log("ShowMenu(" + Num(kind) + ")"); return kOk; }
  HRESULT SelectUpperButton() override { Log("Up"); return kOk; }
  HRESULT SelectLowerButton() override { Log("Down"); return kOk; }
  HRESULT SelectLeftButton() override { Log("Left"); return kOk; }
  HRESULT SelectRightButton() override { Log("Right"); return kOk; }
  HRESULT ActivateButton() override { Log("Activate"); return kOk; }
  HRESULT SelectButtonAtPoint(std::int32_t x, std::int32_t y) override {
    Log("SelectButtonAtPoint(" + Num(x) + "," + Num(y) + ")");
    return kOk;
  }
  HRESULT ActivateButtonAtPoint(std::int32_t x, std::int32_t y) override {
    Log("ActivateButtonAtPoint(" + Num(x) + "," + Num(y) + ")");
    return kOk;
  }
  HRESULT SetClosedCaptionMode(std::uint32_t m) override { Log("ClosedCaption(" + Num(m) + ")"); return kOk; }
  HRESULT SelectAngle(std::int32_t a) override { Log("SelectAngle(" + Num(a) + ")"); return kOk; }
  HRESULT AcceptParentalLevelChange(std::uint32_t a) override { Log("AcceptParental(" + Num(a) + ")"); return kOk; }
  HRESULT GetTitleParentalLevels(std::int32_t title, std::uint32_t* mask) override {
    Log("GetTitleParentalLevels(" + Num(title) + ")");
    *mask = g_script->parentalMask;
    return kOk;
  }
  HRESULT SaveBookmark(ResumeRecord*) override { Log("SaveBookmark"); return kOk; }
  HRESULT RestoreBookmark(ResumeRecord*) override { Log("RestoreBookmark"); return kOk; }

  // Information.
  HRESULT GetCurrentAudio(std::int32_t* count, std::int32_t* current) override {
    *count = g_script->audioCount;
    *current = g_script->audioCurrent;
    return kOk;
  }
  HRESULT GetAudioAttributes(std::int32_t, AudioAttributes* a) override { a->language = 0x0C; return kOk; }
  HRESULT GetSubtitleState(std::int32_t* count, std::int32_t* current, std::int32_t* disabled) override {
    *count = g_script->subtitleCount;
    *current = g_script->subtitleCurrent;
    *disabled = g_script->subtitleDisabled;
    return kOk;
  }
  HRESULT IsSubtitleStreamEnabled(std::int32_t s) override {
    Log("IsSubtitleStreamEnabled(" + Num(s) + ")");
    return g_script->enabledSubtitles.count(s) ? kOk : kFalse;
  }
  HRESULT GetSubtitleAttributes(std::int32_t, SubtitleAttributes* a) override { a->language = 0x04; return kOk; }
  HRESULT GetDefaultAudioLanguage(std::uint32_t* l, std::uint32_t* iso) override {
    *l = g_script->defaultAudioLanguage;
    *iso = 0;
    return kOk;
  }
  HRESULT GetDefaultSubtitleLanguage(std::uint32_t* l, std::uint32_t* iso) override {
    *l = g_script->defaultSubtitleLanguage;
    *iso = 0;
    return kOk;
  }
  HRESULT GetVideoAttributes(VideoAttributes* a) override {
    *a = g_script->videoAttributes;
    return g_script->videoAttributesResult;
  }
  HRESULT GetTotalTitleTime(TitleTimeRecord* r) override { r->totalTime = 0x00203001; return kOk; }
  HRESULT GetCurrentTime(std::uint32_t* t) override { *t = g_script->currentTime; return kOk; }
  HRESULT GetResumeInfo(std::uint32_t* a, std::uint32_t* t) override { *a = 1; *t = 77; return kOk; }
  HRESULT GetDomain(std::int32_t* d) override { *d = 4; return kOk; }
  HRESULT GetTitleChapter(std::int32_t* t, std::int32_t* c) override { *t = 1; *c = 1; return kOk; }
  HRESULT GetValidOperations(std::uint32_t* m) override { *m = 0; return kOk; }
  HRESULT GetButtons(std::int32_t* c, std::int32_t* s) override { *c = 0; *s = 0; return kOk; }
  HRESULT GetAngles(std::int32_t* c, std::int32_t* s) override { *c = 1; *s = 1; return kOk; }
  HRESULT GetDiscRegionMask(std::uint32_t* m) override { *m = 0; return kOk; }

  // Navigation control.
  HRESULT SelectAudioStream(std::int32_t s, std::uint32_t f) override {
    Log("SelectAudioStream(" + Num(s) + "," + Num(f) + ")");
    return kOk;
  }
  HRESULT SelectSubtitleStream(std::int32_t s, std::uint32_t f) override {
    Log("SelectSubtitleStream(" + Num(s) + "," + Num(f) + ")");
    return kOk;
  }
  HRESULT SetSubtitleDisplay(std::int32_t on, std::uint32_t f) override {
    Log("SetSubtitleDisplay(" + Num(on) + "," + Num(f) + ")");
    return kOk;
  }
  HRESULT ReturnFromMenu(std::uint32_t f) override { Log("ReturnFromMenu(" + Num(f) + ")"); return kOk; }
  HRESULT SetPreferredLanguage(std::uint32_t l) override { Log("SetPreferredLanguage(" + Num(l) + ")"); return kOk; }

  // Video window.
  HRESULT SetWindowStyle(std::int32_t s) override { Log("SetWindowStyle(" + Num(s) + ")"); style_ = s; return kOk; }
  HRESULT GetWindowStyle(std::int32_t* s) override { *s = style_; return kOk; }
  HRESULT SetWindowStyleEx(std::int32_t s) override { exStyle_ = s; return kOk; }
  HRESULT GetWindowStyleEx(std::int32_t* s) override { *s = exStyle_; return kOk; }
  HRESULT SetOwner(HWND owner) override { g_script->owner = owner; Log("SetOwner"); return kOk; }
  HRESULT GetOwner(HWND* owner) override { *owner = g_script->owner; return kOk; }
  HRESULT SetMessageDrain(HWND) override { return kOk; }
  HRESULT SetVisible(std::int32_t v) override { Log("SetVisible(" + Num(v) + ")"); return kOk; }
  HRESULT GetVisible(std::int32_t* v) override { *v = -1; return kOk; }
  HRESULT SetAutoShow(std::int32_t on) override { Log("SetAutoShow(" + Num(on) + ")"); return kOk; }
  HRESULT SetDestinationPosition(std::int32_t l, std::int32_t t, std::int32_t w, std::int32_t h) override {
    Log("SetDestination(" + Num(l) + "," + Num(t) + "," + Num(w) + "," + Num(h) + ")");
    g_script->dest[0] = l; g_script->dest[1] = t; g_script->dest[2] = w; g_script->dest[3] = h;
    return kOk;
  }
  HRESULT GetDestinationPosition(std::int32_t* l, std::int32_t* t, std::int32_t* w, std::int32_t* h) override {
    *l = g_script->dest[0]; *t = g_script->dest[1]; *w = g_script->dest[2]; *h = g_script->dest[3];
    return kOk;
  }
  HRESULT SetSourcePosition(std::int32_t l, std::int32_t t, std::int32_t w, std::int32_t h) override {
    g_script->src[0] = l; g_script->src[1] = t; g_script->src[2] = w; g_script->src[3] = h;
    Log("SetSource");
    return kOk;
  }
  HRESULT GetSourcePosition(std::int32_t* l, std::int32_t* t, std::int32_t* w, std::int32_t* h) override {
    *l = g_script->src[0]; *t = g_script->src[1]; *w = g_script->src[2]; *h = g_script->src[3];
    return kOk;
  }
  HRESULT GetNativeVideoSize(std::int32_t* w, std::int32_t* h) override {
    *w = g_script->nativeWidth;
    *h = g_script->nativeHeight;
    return kOk;
  }
  HRESULT SetBorderColor(std::uint32_t) override { return kOk; }
  HRESULT GetBorderColor(std::uint32_t* c) override { *c = 0; return kOk; }
  HRESULT SetWindowPosition(std::int32_t, std::int32_t, std::int32_t, std::int32_t) override { return kOk; }
  HRESULT GetWindowPosition(std::int32_t p[4]) override { p[0] = 0; p[1] = 0; p[2] = 640; p[3] = 480; return kOk; }
  HRESULT SetWindowForeground(std::int32_t) override { return kOk; }
  HRESULT SetFullScreenMode(std::int32_t on) override { Log("SetFullScreenMode(" + Num(on) + ")"); return kOk; }
  HRESULT SetFrameSink(IFrameSink* sink) override { g_script->frameSink = sink; return kOk; }
  HRESULT DeliverFrame() override { Log("DeliverFrame"); return kFalse; }

  // Decoder.
  HRESULT SetDecoderProperty(std::uint32_t id, const void* value, std::uint32_t) override {
    std::int32_t v = 0;
    std::memcpy(&v, value, 4);
    Log("DomainHint(" + Num(id) + "," + Num(v) + ")");
    return kOk;
  }
  HRESULT ResetDecoder() override { Log("ResetDecoder"); return kOk; }
  HRESULT SetAudioOutput(std::int32_t c, std::int32_t p) override { Log("SetAudioOutput(" + Num(c) + "," + Num(p) + ")"); return kOk; }
  HRESULT GetAudioOutputCaps(std::uint32_t* c) override { *c = 5; return kOk; }
  HRESULT SetDynamicRange(std::int32_t) override { return kOk; }
  HRESULT SetColorControls(const ColorControls&, std::uint32_t mask) override { Log("SetColorControls(" + Num(mask) + ")"); return kOk; }
  HRESULT GetColorControls(ColorControls*) override { return kOk; }
  HRESULT SetDeinterlace(std::int32_t) override { return kOk; }
  HRESULT ClearDeinterlace() override { return kOk; }
  HRESULT SetOutputSize(std::int32_t w, std::int32_t h, std::int32_t e) override {
    Log("SetOutputSize(" + Num(w) + "," + Num(h) + "," + Num(e) + ")");
    return kOk;
  }
  HRESULT SetScalingMode(std::int32_t) override { return g_script->scalingResult; }
  HRESULT SetOption(std::uint32_t o, std::int32_t a, std::int32_t b, std::int32_t c) override {
    Log("SetOption(" + Num(o) + "," + Num(a) + "," + Num(b) + "," + Num(c) + ")");
    return kOk;
  }
  HRESULT GetOption(std::uint32_t, std::int32_t* a) override { *a = 0; return kOk; }
  HRESULT GrabFrame(std::int32_t w, std::int32_t h, void* buffer, std::size_t size, std::uint32_t format) override {
    Log("GrabFrame(" + Num(w) + "," + Num(h) + "," + Num(static_cast<std::int64_t>(size)) + "," + Num(format) + ")");
    if (FAILED_(g_script->grabResult)) return g_script->grabResult;
    if (g_script->frameDib.size() > size) return kInvalidArg;
    std::memcpy(buffer, g_script->frameDib.data(), g_script->frameDib.size());
    return kOk;
  }

  // Events.
  HRESULT SetNotifyWindow(HWND window, std::uint32_t message, std::intptr_t) override {
    g_script->notifyWindow = window;
    g_script->notifyMessage = message;
    return kOk;
  }
  HRESULT GetEvent(std::int32_t* code, std::intptr_t* v1, std::intptr_t* v2) override {
    if (g_script->events.empty()) return kFail;
    const auto e = g_script->events.front();
    g_script->events.pop_front();
    *code = e.code;
    *v1 = e.value1;
    *v2 = e.value2;
    ++g_script->eventsTaken;
    return kOk;
  }
  HRESULT FreeEvent(std::int32_t, std::intptr_t, std::intptr_t) override {
    ++g_script->eventsFreed;
    return kOk;
  }

  // Track control.
  HRESULT PlayTrack(std::int32_t command, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                    std::int32_t) override {
    Log("PlayTrack(" + Num(command) + ")");
    return g_script->trackResult;
  }

 private:
  static bool FAILED_(HRESULT hr) { return hr < 0; }
  std::int32_t style_ = 0, exStyle_ = 0;
};

std::unique_ptr<Api> g_api;

}  // namespace

extern "C" {
__attribute__((visibility("default"))) std::uint32_t GetMMAPIVersion() { return FAKE_VERSION; }
__attribute__((visibility("default"))) tovelax::IMMAPI* GetMMAPI() {
  if (!g_api) g_api = std::make_unique<Api>();
  return g_api.get();
}
#ifndef FAKE_NO_RELEASE
__attribute__((visibility("default"))) void ReleaseMMAPI() { g_api.reset(); }
#endif
__attribute__((visibility("default"))) faketov::Script* FakeTovelaxScript() {
  return g_script;
}
}
