// A scripted DVD engine for the Movie controller's tests: IDiscRunner and
// IDiscRunnerQueries on one object, logging each call that changes
// something as text and answering from fields the test sets.
#pragma once

#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "interfaces/discrunner.h"
#include "platform/com/hresult.h"
#include "platform/com/object.h"

namespace bridge_test {

class FakeDiscRunner : public IDiscRunner, public IDiscRunnerQueries {
 public:
  using Interfaces = plat::InterfaceList<IDiscRunner, IDiscRunnerQueries>;
  using HRESULT = plat::HRESULT;

  // --- Script -------------------------------------------------------------
  std::map<std::string, std::uint32_t> mediaBits;  // by letter root
  // Times the engine reports (packed hour, minute, second bytes); unknown by default.
  bool timesKnown = false;
  std::uint32_t currentTime = 0;
  std::uint32_t totalTime = 0;
  HRESULT openResult = plat::S_OK;
  HRESULT placeResult = plat::S_OK;
  HRESULT showResult = plat::S_OK;
  HRESULT nextChapterResult = plat::S_OK;
  HRESULT prevChapterResult = plat::S_OK;
  HRESULT regionCodeResult = plat::S_OK;
  HRESULT setDriveRegionResult = plat::S_OK;
  HRESULT captureResult = plat::S_OK;
  HRESULT resumeApplied = plat::S_FALSE;
  int chapter = 1;
  std::vector<std::string> audioNames, subtitleNames;
  int audioStream = 0, subtitleIndex = 0, subtitleOn = 0, angle = 1;
  std::uint32_t outputCaps = 1 | 2;
  int driveRegion = 1, changesLeft = 5;
  int titleLevel = 0;
  std::string defaultAudio = "English", defaultSubtitle = "English";

  // --- State ------------------------------------------------------------------
  std::vector<std::string> log;
  IDvdEventSink* sink = nullptr;
  int state = kDiscClosed;
  int speed = 10000;
  int op102Calls = 0;  // start-up preparations

  bool Logged(const std::string& entry) const {
    for (const auto& e : log)
      if (e == entry) return true;
    return false;
  }
  int Count(const std::string& entry) const {
    int n = 0;
    for (const auto& e : log) n += e == entry;
    return n;
  }

  // --- IDiscRunner ----------------------------------------------------------------
  HRESULT Open(const char* path) override { return Opened("Open", path); }
  HRESULT Close() override { return Closed("Close"); }
  HRESULT SetOwnerWindow(plat::HWND) override { return plat::S_OK; }
  HRESULT GetVideoWindow(plat::HWND*) override { return plat::E_FAIL; }
  HRESULT ShowVideo(plat::BOOL show) override {
    log.push_back(show ? "ShowVideo 1" : "ShowVideo 0");
    return state > kDiscClosed ? showResult : plat::E_FAIL;
  }
  HRESULT UpdateVideoPosition(int x, int y, int w, int h, float) override {
    log.push_back("Place " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(w) + " " +
                  std::to_string(h));
    return placeResult;
  }
  HRESULT Reserved9(int, int, int, int) override { return plat::E_FAIL; }
  HRESULT Play() override {
    log.push_back("Play");
    state = kDiscPlaying;
    speed = 10000;
    return plat::S_OK;
  }
  HRESULT Pause() override {
    log.push_back("Pause");
    state = state == kDiscPaused ? kDiscPlaying : kDiscPaused;
    return plat::S_OK;
  }
  HRESULT Stop() override {
    log.push_back("Stop");
    state = kDiscStopped;
    return plat::S_OK;
  }
  HRESULT DvdOp13() override { return plat::S_OK; }
  HRESULT ShowMenu(int kind) override { return Logs("ShowMenu " + std::to_string(kind)); }
  HRESULT MenuNavigate(int code) override { return Logs("MenuNavigate " + std::to_string(code)); }
  HRESULT NotImplemented16(int) override { return plat::E_NOTIMPL; }
  HRESULT NotImplemented17(int) override { return plat::E_NOTIMPL; }
  HRESULT NotImplemented18(int) override { return plat::E_NOTIMPL; }
  HRESULT NotImplemented19(int) override { return plat::E_NOTIMPL; }
  HRESULT NotImplemented20(int) override { return plat::E_NOTIMPL; }
  HRESULT NotImplemented21(int) override { return plat::E_NOTIMPL; }
  HRESULT NextChapter() override {
    log.push_back("NextChapter");
    if (nextChapterResult == plat::S_OK) ++chapter;
    return nextChapterResult;
  }
  HRESULT PrevChapter() override {
    log.push_back("PrevChapter");
    if (prevChapterResult == plat::S_OK && chapter > 1) --chapter;
    return prevChapterResult;
  }
  HRESULT DvdOp24() override { return plat::S_OK; }
  HRESULT FastForward(int s) override {
    log.push_back("FastForward " + std::to_string(s));
    speed = s;
    state = s == 10000 ? kDiscPlaying : kDiscScanning;
    return plat::S_OK;
  }
  HRESULT Rewind(int s) override {
    log.push_back("Rewind " + std::to_string(s));
    speed = -s;
    state = kDiscScanning;
    return plat::S_OK;
  }
  HRESULT GetDefaultLanguageName(char* text) override { return Text(defaultAudio, text); }
  HRESULT GetSubtitleCount(int* count) override {
    *count = static_cast<int>(subtitleNames.size());
    return plat::S_OK;
  }
  HRESULT GetSubtitleState(int* current, int* on) override {
    *current = subtitleIndex;
    *on = subtitleOn;
    return plat::S_OK;
  }
  HRESULT SelectSubtitleStream(int index) override {
    subtitleIndex = index;
    subtitleOn = 1;
    return Logs("SelectSubtitle " + std::to_string(index));
  }
  HRESULT SetSubtitleOn(plat::BOOL on) override {
    subtitleOn = on ? 1 : 0;
    return Logs("SubtitleOn " + std::to_string(subtitleOn));
  }
  HRESULT GetSubtitleLanguageText(int index, char* text) override {
    if (index < 0 || index >= static_cast<int>(subtitleNames.size())) return plat::E_FAIL;
    return Text(subtitleNames[static_cast<std::size_t>(index)], text);
  }
  HRESULT SetClosedCaptionMode(int mode) override { return Logs("ClosedCaption " + std::to_string(mode)); }
  HRESULT GetAngleCount(int* count) override {
    *count = 2;
    return plat::S_OK;
  }
  HRESULT GetAngle(int* a) override {
    *a = angle;
    return plat::S_OK;
  }
  HRESULT SetAngle(int a) override {
    angle = a;
    return Logs("SetAngle " + std::to_string(a));
  }
  HRESULT GetDefaultLanguageNameLocal(char* text) override { return Text(defaultSubtitle, text); }
  HRESULT GetAudioCount(int* count) override {
    *count = static_cast<int>(audioNames.size());
    return plat::S_OK;
  }
  HRESULT GetCurrentAudioStream(int* stream) override {
    *stream = audioStream;
    return plat::S_OK;
  }
  HRESULT SelectAudioStream(int index) override {
    audioStream = index;
    return Logs("SelectAudio " + std::to_string(index));
  }
  HRESULT GetAudioStreamLanguageText(int index, char* text) override {
    if (index < 0 || index >= static_cast<int>(audioNames.size())) return plat::E_FAIL;
    return Text(audioNames[static_cast<std::size_t>(index)], text);
  }
  HRESULT NotImplemented42(int) override { return plat::E_NOTIMPL; }
  HRESULT NotImplemented43(int, int) override { return plat::E_NOTIMPL; }
  HRESULT GetTotalTime(int* out) override {
    if (!timesKnown) return plat::E_FAIL;
    *out = static_cast<int>(totalTime);
    return plat::S_OK;
  }
  HRESULT GetCurrentTime(std::uint32_t* out) override {
    if (!timesKnown) return plat::E_FAIL;
    *out = currentTime;
    return plat::S_OK;
  }
  HRESULT NotImplemented46(int) override { return plat::E_NOTIMPL; }
  HRESULT NotImplemented47(int) override { return plat::E_NOTIMPL; }
  HRESULT GetResumeInfo(std::uint32_t*, std::uint32_t*) override { return plat::E_FAIL; }
  // Saving a bookmark is never what the controller wants of slot 49.
  HRESULT DvdOp49() override { return Logs("DvdOp49"); }
  HRESULT DvdOp50() override { return plat::S_OK; }
  HRESULT DvdOp51(const char* path) override { return Opened("OpenResume", path); }
  HRESULT CloseWithRecord() override { return Closed("CloseWithRecord"); }
  HRESULT CaptureFrame(const char* bmpPath) override {
    log.push_back(std::string("Capture ") + bmpPath);
    if (plat::FAILED(captureResult)) return captureResult;
    WriteTinyBmp(bmpPath);
    return plat::S_OK;
  }
  HRESULT Reserved54() override { return plat::S_OK; }
  HRESULT DvdOp55(int, int) override { return Logs("DvdOp55"); }
  HRESULT NotImplemented56(int) override { return plat::E_NOTIMPL; }
  HRESULT NotImplemented57(int) override { return plat::E_NOTIMPL; }
  HRESULT GetAudioOutputCaps(std::uint32_t* caps) override {
    *caps = outputCaps;
    return plat::S_OK;
  }
  HRESULT NotImplemented59(int) override { return plat::E_NOTIMPL; }
  HRESULT DvdOp60(int) override { return Logs("DvdOp60"); }
  HRESULT NotImplemented61(int) override { return plat::E_NOTIMPL; }
  HRESULT NotImplemented62(int) override { return plat::E_NOTIMPL; }
  HRESULT DvdOp63(int b, int c, int h, int s, int g) override {
    return Logs("Color " + std::to_string(b) + " " + std::to_string(c) + " " + std::to_string(h) + " " +
                std::to_string(s) + " " + std::to_string(g));
  }
  HRESULT GetPlayState(int* s) override {
    *s = state;
    return plat::S_OK;
  }
  HRESULT GetPlaySpeed(int* s) override {
    *s = speed;
    return plat::S_OK;
  }
  HRESULT SetNotifyTarget(IDvdEventSink* s) override {
    sink = s;
    return plat::S_OK;
  }
  HRESULT SetVideoMode(int value, int aspect) override {
    return Logs("VideoMode " + std::to_string(value) + " " + std::to_string(aspect));
  }
  HRESULT NotImplemented68(int) override { return plat::E_NOTIMPL; }
  HRESULT DvdOp69(plat::BOOL, int) override { return Logs("DvdOp69"); }
  HRESULT SetVideoRect(plat::BOOL on) override { return Logs(on ? "VideoRect 1" : "VideoRect 0"); }
  HRESULT DvdOp71(int, int) override { return plat::S_OK; }
  HRESULT DvdOp72(int) override { return plat::S_OK; }
  HRESULT DvdOp73(int v) override { return Logs("Op73 " + std::to_string(v)); }
  HRESULT DvdOp74(int v) override { return Logs("Op74 " + std::to_string(v)); }
  HRESULT DvdOp75(int a, int b, int c) override {
    return Logs("Op75 " + std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(c));
  }
  HRESULT DvdOp76(int) override { return Logs("Op76"); }
  HRESULT DvdOp77(int) override { return plat::S_OK; }
  HRESULT DvdOp78(int v) override { return Logs("Op78 " + std::to_string(v)); }
  HRESULT DvdOp79(int) override { return plat::S_OK; }
  HRESULT DvdOp80(int v) override { return Logs("Op80 " + std::to_string(v)); }
  HRESULT DvdOp81(int) override { return plat::S_OK; }
  HRESULT AcceptParentalLevelChange(int answer) override { return Logs("AcceptLevel " + std::to_string(answer)); }
  HRESULT GetTitleParentalLevel(int* level) override {
    *level = titleLevel;
    return plat::S_OK;
  }
  HRESULT DvdOp84() override { return Logs("DvdOp84"); }
  HRESULT EnterDigit(int digit) override { return Logs("Digit " + std::to_string(digit)); }
  HRESULT GetMediaKind(const char* path, std::uint32_t* bits) override {
    const auto it = mediaBits.find(path);
    *bits = it == mediaBits.end() ? 0 : it->second;
    return it == mediaBits.end() ? plat::E_FAIL : plat::S_OK;
  }
  HRESULT DvdOp87(int*) override { return plat::S_OK; }
  HRESULT DvdOp88(int* value) override {
    *value = 640;
    return plat::S_OK;
  }
  HRESULT DvdOp89(int*, int*) override { return plat::S_OK; }
  HRESULT DvdOp90(int, int*) override { return plat::S_OK; }
  HRESULT DvdOp91(int) override { return plat::S_OK; }
  HRESULT SetRegionCode(const std::uint8_t* record) override {
    return Logs("RegionCode " + std::to_string(record[0]) + " " + std::to_string(record[1]), regionCodeResult);
  }
  HRESULT DvdOp93(int) override { return Logs("DvdOp93"); }
  HRESULT CanCaptureFrame() override { return 1; }
  HRESULT DvdOp95(int) override { return Logs("DvdOp95"); }
  HRESULT DvdOp96(int, int) override { return plat::S_OK; }
  HRESULT DvdOp97(int) override { return plat::S_OK; }
  HRESULT DvdOp98(int) override { return Logs("DvdOp98"); }
  HRESULT SetFullScreen() override { return Logs("FullScreen"); }
  HRESULT RestoreWindow() override { return Logs("RestoreWindow"); }
  HRESULT DvdOp101(int) override { return Logs("DvdOp101"); }
  HRESULT DvdOp102() override {
    ++op102Calls;
    return plat::S_OK;
  }

  // --- IDiscRunnerQueries -----------------------------------------------------------
  HRESULT GetChapter(int* c) override {
    *c = chapter;
    return state > kDiscClosed ? plat::S_OK : plat::E_FAIL;
  }
  HRESULT GetResumeApplied() override { return resumeApplied; }
  HRESULT GetDriveRegion(const char* root, int* region, int* changes) override {
    log.push_back(std::string("GetDriveRegion ") + root);
    *region = driveRegion;
    *changes = changesLeft;
    return plat::S_OK;
  }
  HRESULT SetDriveRegion(const char* root, int region) override {
    if (plat::SUCCEEDED(setDriveRegionResult)) driveRegion = region;
    return Logs(std::string("SetDriveRegion ") + root + " " + std::to_string(region), setDriveRegionResult);
  }
  HRESULT GetAudioProfileCaps(int speaker, std::uint32_t* bits) override {
    *bits = speaker == 8 || speaker == 0x20000 ? 2 : 0;
    return plat::S_OK;
  }
  HRESULT SetSpeakerMode(int speaker) override { return Logs("Speaker " + std::to_string(speaker)); }
  HRESULT SetHardwareDecoding(int on) override { return Logs("HardwareDecoding " + std::to_string(on)); }

 private:
  HRESULT Logs(const std::string& entry, HRESULT result = plat::S_OK) {
    log.push_back(entry);
    return result;
  }
  HRESULT Opened(const char* what, const char* path) {
    log.push_back(std::string(what) + " " + path);
    if (plat::SUCCEEDED(openResult)) state = kDiscOpened;
    return openResult;
  }
  HRESULT Closed(const char* what) {
    log.push_back(what);
    state = kDiscClosed;
    return plat::S_OK;
  }
  static HRESULT Text(const std::string& value, char* text) {
    std::snprintf(text, kDiscRunnerTextChars, "%s", value.c_str());
    return value.empty() ? plat::E_FAIL : plat::S_OK;
  }
  // A 2 x 2 24-bit bitmap, as the engine writes a captured frame.
  static void WriteTinyBmp(const char* path) {
    const unsigned char file[] = {
        'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,                                  // file header
        40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 16, 0, 0, 0,         // info header
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
        0, 0, 255, 0, 255, 0, 0, 0,  // two pixels and padding
        255, 0, 0, 255, 255, 255, 0, 0};
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file), sizeof file);
  }
};

}  // namespace bridge_test
