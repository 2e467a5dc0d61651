// A DVD engine that answers every operation with E_NOTIMPL but the
// start-up preparation (operation 102), which it counts.
#pragma once

#include "interfaces/discrunner.h"
#include "platform/com/com.h"

namespace bridge_test {

class FakeDiscRunner : public IDiscRunner {
 public:
  using Interfaces = plat::InterfaceList<IDiscRunner>;

  plat::HRESULT DvdOp102() override {
    ++op102Calls;
    return plat::S_OK;
  }
  int op102Calls = 0;

  plat::HRESULT Open(const char* path) override { return plat::E_NOTIMPL; }
  plat::HRESULT Close() override { return plat::E_NOTIMPL; }
  plat::HRESULT SetOwnerWindow(plat::HWND owner) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetVideoWindow(plat::HWND* window) override { return plat::E_NOTIMPL; }
  plat::HRESULT ShowVideo(plat::BOOL show) override { return plat::E_NOTIMPL; }
  plat::HRESULT UpdateVideoPosition(int x, int y, int width, int height, float zoom) override { return plat::E_NOTIMPL; }
  plat::HRESULT Reserved9(int a, int b, int c, int d) override { return plat::E_NOTIMPL; }
  plat::HRESULT Play() override { return plat::E_NOTIMPL; }
  plat::HRESULT Pause() override { return plat::E_NOTIMPL; }
  plat::HRESULT Stop() override { return plat::E_NOTIMPL; }
  plat::HRESULT DvdOp13() override { return plat::E_NOTIMPL; }
  plat::HRESULT ShowMenu(int kind) override { return plat::E_NOTIMPL; }
  plat::HRESULT MenuNavigate(int code) override { return plat::E_NOTIMPL; }
  plat::HRESULT NotImplemented16(int) override { return plat::E_NOTIMPL; }
  plat::HRESULT NotImplemented17(int) override { return plat::E_NOTIMPL; }
  plat::HRESULT NotImplemented18(int) override { return plat::E_NOTIMPL; }
  plat::HRESULT NotImplemented19(int) override { return plat::E_NOTIMPL; }
  plat::HRESULT NotImplemented20(int) override { return plat::E_NOTIMPL; }
  plat::HRESULT NotImplemented21(int) override { return plat::E_NOTIMPL; }
  plat::HRESULT NextChapter() override { return plat::E_NOTIMPL; }
  plat::HRESULT PrevChapter() override { return plat::E_NOTIMPL; }
  plat::HRESULT DvdOp24() override { return plat::E_NOTIMPL; }
  plat::HRESULT FastForward(int speed) override { return plat::E_NOTIMPL; }
  plat::HRESULT Rewind(int speed) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetDefaultLanguageName(char* text) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetSubtitleCount(int* count) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetSubtitleState(int* current, int* on) override { return plat::E_NOTIMPL; }
  plat::HRESULT SelectSubtitleStream(int index) override { return plat::E_NOTIMPL; }
  plat::HRESULT SetSubtitleOn(plat::BOOL on) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetSubtitleLanguageText(int index, char* text) override { return plat::E_NOTIMPL; }
  plat::HRESULT SetClosedCaptionMode(int mode) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetAngleCount(int* count) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetAngle(int* angle) override { return plat::E_NOTIMPL; }
  plat::HRESULT SetAngle(int angle) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetDefaultLanguageNameLocal(char* text) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetAudioCount(int* count) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetCurrentAudioStream(int* stream) override { return plat::E_NOTIMPL; }
  plat::HRESULT SelectAudioStream(int index) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetAudioStreamLanguageText(int index, char* text) override { return plat::E_NOTIMPL; }
  plat::HRESULT NotImplemented42(int) override { return plat::E_NOTIMPL; }
  plat::HRESULT NotImplemented43(int, int) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetTotalTime(int* total) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetCurrentTime(std::uint32_t* time) override { return plat::E_NOTIMPL; }
  plat::HRESULT NotImplemented46(int) override { return plat::E_NOTIMPL; }
  plat::HRESULT NotImplemented47(int) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetResumeInfo(std::uint32_t* available, std::uint32_t* time) override { return plat::E_NOTIMPL; }
  plat::HRESULT DvdOp49() override { return plat::E_NOTIMPL; }
  plat::HRESULT DvdOp50() override { return plat::E_NOTIMPL; }
  plat::HRESULT DvdOp51(const char* path) override { return plat::E_NOTIMPL; }
  plat::HRESULT CloseWithRecord() override { return plat::E_NOTIMPL; }
  plat::HRESULT CaptureFrame(const char* bmpPath) override { return plat::E_NOTIMPL; }
  plat::HRESULT Reserved54() override { return plat::E_NOTIMPL; }
  plat::HRESULT DvdOp55(int a, int b) override { return plat::E_NOTIMPL; }
  plat::HRESULT NotImplemented56(int) override { return plat::E_NOTIMPL; }
  plat::HRESULT NotImplemented57(int) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetAudioOutputCaps(std::uint32_t* caps) override { return plat::E_NOTIMPL; }
  plat::HRESULT NotImplemented59(int) override { return plat::E_NOTIMPL; }
  plat::HRESULT DvdOp60(int value) override { return plat::E_NOTIMPL; }
  plat::HRESULT NotImplemented61(int) override { return plat::E_NOTIMPL; }
  plat::HRESULT NotImplemented62(int) override { return plat::E_NOTIMPL; }
  plat::HRESULT DvdOp63(int brightness, int contrast, int hue, int saturation, int gamma) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetPlayState(int* state) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetPlaySpeed(int* speed) override { return plat::E_NOTIMPL; }
  plat::HRESULT SetNotifyTarget(IDvdEventSink* sink) override { return plat::E_NOTIMPL; }
  plat::HRESULT SetVideoMode(int value, int aspectMode) override { return plat::E_NOTIMPL; }
  plat::HRESULT NotImplemented68(int) override { return plat::E_NOTIMPL; }
  plat::HRESULT DvdOp69(plat::BOOL on, int value) override { return plat::E_NOTIMPL; }
  plat::HRESULT SetVideoRect(plat::BOOL on) override { return plat::E_NOTIMPL; }
  plat::HRESULT DvdOp71(int a, int b) override { return plat::E_NOTIMPL; }
  plat::HRESULT DvdOp72(int value) override { return plat::E_NOTIMPL; }
  plat::HRESULT DvdOp73(int value) override { return plat::E_NOTIMPL; }
  plat::HRESULT DvdOp74(int value) override { return plat::E_NOTIMPL; }
  plat::HRESULT DvdOp75(int a, int b, int c) override { return plat::E_NOTIMPL; }
  plat::HRESULT DvdOp76(int value) override { return plat::E_NOTIMPL; }
  plat::HRESULT DvdOp77(int value) override { return plat::E_NOTIMPL; }
  plat::HRESULT DvdOp78(int value) override { return plat::E_NOTIMPL; }
  plat::HRESULT DvdOp79(int value) override { return plat::E_NOTIMPL; }
  plat::HRESULT DvdOp80(int value) override { return plat::E_NOTIMPL; }
  plat::HRESULT DvdOp81(int value) override { return plat::E_NOTIMPL; }
  plat::HRESULT AcceptParentalLevelChange(int answer) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetTitleParentalLevel(int* level) override { return plat::E_NOTIMPL; }
  plat::HRESULT DvdOp84() override { return plat::E_NOTIMPL; }
  plat::HRESULT EnterDigit(int digit) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetMediaKind(const char* path, std::uint32_t* bits) override { return plat::E_NOTIMPL; }
  plat::HRESULT DvdOp87(int* value) override { return plat::E_NOTIMPL; }
  plat::HRESULT DvdOp88(int* value) override { return plat::E_NOTIMPL; }
  plat::HRESULT DvdOp89(int* first, int* second) override { return plat::E_NOTIMPL; }
  plat::HRESULT DvdOp90(int number, int* value) override { return plat::E_NOTIMPL; }
  plat::HRESULT DvdOp91(int ignored) override { return plat::E_NOTIMPL; }
  plat::HRESULT SetRegionCode(const std::uint8_t* record) override { return plat::E_NOTIMPL; }
  plat::HRESULT DvdOp93(int value) override { return plat::E_NOTIMPL; }
  plat::HRESULT CanCaptureFrame() override { return plat::E_NOTIMPL; }
  plat::HRESULT DvdOp95(int value) override { return plat::E_NOTIMPL; }
  plat::HRESULT DvdOp96(int a, int b) override { return plat::E_NOTIMPL; }
  plat::HRESULT DvdOp97(int value) override { return plat::E_NOTIMPL; }
  plat::HRESULT DvdOp98(int value) override { return plat::E_NOTIMPL; }
  plat::HRESULT SetFullScreen() override { return plat::E_NOTIMPL; }
  plat::HRESULT RestoreWindow() override { return plat::E_NOTIMPL; }
  plat::HRESULT DvdOp101(int value) override { return plat::E_NOTIMPL; }
};

}  // namespace bridge_test
