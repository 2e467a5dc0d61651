// A scripted TV engine for the TV controller's tests: every IGrabber slot
// is logged as "<slot> <arguments>" and answers S_OK (or 0) unless the test
// makes it fail; channels, names, profiles and teletext come from fields.
#pragma once

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "interfaces/grabber.h"
#include "platform/com/hresult.h"
#include "platform/com/object.h"

namespace tv_test {

using plat::SUCCEEDED;

class FakeGrabber : public IGrabber {
 public:
  using Interfaces = plat::InterfaceList<IGrabber>;
  using HRESULT = plat::HRESULT;

  // --- Script -------------------------------------------------------------
  std::set<int> failing;                                 // slots that answer E_FAIL
  std::vector<std::pair<int, int>> stored{{5, 1}, {7, 1}, {21, 1}};  // slot 90: channel, enabled
  std::map<int, std::string> names{{5, "Alpha"}, {7, "Bravo"}, {21, "Charlie"}};
  std::vector<std::string> profiles{"DVD SP", "DVD LP", "Burn DVD"};
  std::set<int> unnamed;                                 // countries slot 86 cannot name
  std::string profile = "DVD SP";
  int tuned = 5;
  int country = 129;
  int family = 2;
  int ready = 1;
  int teletext = 1;
  int teletextPage = 100;
  float remaining = 42.7f;
  plat::COLORREF keyColour = 0x00102030;
  GrabberInitRecord init{};
  IGrabberEventSink* sink = nullptr;
  std::vector<std::string> calls;

  bool Saw(const std::string& call) const {
    for (const auto& c : calls)
      if (c == call) return true;
    return false;
  }
  bool SawSlot(int slot) const {
    const std::string prefix = std::to_string(slot);
    for (const auto& c : calls)
      if (c == prefix || c.rfind(prefix + " ", 0) == 0) return true;
    return false;
  }

  plat::HRESULT Init(GrabberInitRecord record) override {
    init = record;
    return Result(3, "3 " + std::string(record.profileName) + " " + std::to_string(record.country));
  }
  plat::HRESULT SetNotifyTarget(IGrabberEventSink* sink) override {
    this->sink = sink;
    return Result(4, sink ? "4 sink" : "4 null");
  }
  plat::HRESULT SetVideoOwner(plat::HWND owner) override {
    return Result(5, std::string("5"));
  }
  plat::HRESULT SetVideoOrigin(int left, int top) override {
    return Result(6, std::string("6") + " " + std::to_string(left) + " " + std::to_string(top));
  }
  plat::HRESULT SetVideoSize(int width, int height) override {
    return Result(7, std::string("7") + " " + std::to_string(width) + " " + std::to_string(height));
  }
  plat::HRESULT ShowVideo(int show) override {
    return Result(8, std::string("8") + " " + std::to_string(show));
  }
  plat::HRESULT GetChannelName(char* name, int channel) override {
    std::snprintf(name, kGrabberTextChars, "%s", NameOf(channel ? channel : tuned).c_str());
    return Result(9, "9 " + std::to_string(channel));
  }
  plat::HRESULT GetChannelStatus(int channel, char* name) override {
    return Result(10, std::string("10") + " " + std::to_string(channel));
  }
  plat::HRESULT GetChannelRange(int* first, int* last) override {
    *first = 1;
    *last = 69;
    return Result(11, "11");
  }
  plat::HRESULT SetChannelParam(int value, int channel) override {
    return Result(12, std::string("12") + " " + std::to_string(value) + " " + std::to_string(channel));
  }
  plat::HRESULT GetTunedChannel(int* channel) override {
    *channel = tuned;
    return Result(13, "13");
  }
  plat::HRESULT TuneChannel(int channel) override {
    const HRESULT hr = Result(14, "14 " + std::to_string(channel));
    if (SUCCEEDED(hr)) tuned = channel;
    return hr;
  }
  plat::HRESULT ChannelStep1() override {
    return Result(15, std::string("15"));
  }
  plat::HRESULT ChannelStep2() override {
    return Result(16, std::string("16"));
  }
  plat::HRESULT ChannelStep3() override {
    return Result(17, std::string("17"));
  }
  plat::HRESULT AutoScan(int on) override {
    return Result(18, std::string("18") + " " + std::to_string(on));
  }
  plat::HRESULT AutoScanAlternate(int on) override {
    return Result(19, std::string("19") + " " + std::to_string(on));
  }
  plat::HRESULT GetChannelSignal(int channel, int* value, int* status) override {
    *value = 0;
    *status = 0;
    for (const auto& entry : stored)
      if (entry.first == channel) *value = 80, *status = 1;
    return Result(20, "20 " + std::to_string(channel));
  }
  plat::HRESULT SetChannelStored(int channel, int value) override {
    const HRESULT hr = Result(21, "21 " + std::to_string(channel) + " " + std::to_string(value));
    for (auto& entry : stored)
      if (SUCCEEDED(hr) && entry.first == channel) entry.second = value;
    return hr;
  }
  plat::HRESULT Preview(int on) override {
    return Result(22, std::string("22") + " " + std::to_string(on));
  }
  plat::HRESULT WatchWhileRecording(int on) override {
    return Result(23, std::string("23") + " " + std::to_string(on));
  }
  plat::HRESULT TakeSnapshot(const char* path) override {
    return Result(24, std::string("24") + " " + std::string(path ? path : ""));
  }
  plat::HRESULT Record(int on) override {
    return Result(25, std::string("25") + " " + std::to_string(on));
  }
  plat::HRESULT RecordNamed(RecordNameBlock name) override {
    return Result(26, std::string("26"));
  }
  plat::HRESULT TimeShift(int on) override {
    return Result(27, std::string("27") + " " + std::to_string(on));
  }
  plat::HRESULT RecordToDisc(int on) override {
    return Result(28, std::string("28") + " " + std::to_string(on));
  }
  plat::HRESULT PrepareDisc(int driveLetter) override {
    return Result(29, std::string("29") + " " + std::to_string(driveLetter));
  }
  plat::HRESULT StartChannelScan(int first, int last, const unsigned* channels) override {
    return Result(30, std::string("30") + " " + std::to_string(first) + " " + std::to_string(last));
  }
  plat::HRESULT StopChannelScan() override {
    return Result(31, std::string("31"));
  }
  plat::HRESULT ScanControl(int a, int b, int c, int d, int e) override {
    return Result(32, std::string("32") + " " + std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(c) + " " + std::to_string(d) + " " + std::to_string(e));
  }
  plat::HRESULT StartMultiChannelPreview(int count, const unsigned* channels) override {
    return Result(33, std::string("33") + " " + std::to_string(count));
  }
  plat::HRESULT StopMultiChannelPreview() override {
    return Result(34, std::string("34"));
  }
  plat::HRESULT NextPreviewChannel() override {
    return Result(35, std::string("35"));
  }
  plat::HRESULT PrevPreviewChannel() override {
    return Result(36, std::string("36"));
  }
  plat::HRESULT TimeShiftOp122() override {
    return Result(37, std::string("37"));
  }
  plat::HRESULT TimeShiftOp126() override {
    return Result(38, std::string("38"));
  }
  plat::HRESULT SeekBackward(int steps) override {
    return Result(39, std::string("39") + " " + std::to_string(steps));
  }
  plat::HRESULT SeekForward(int steps) override {
    return Result(40, std::string("40") + " " + std::to_string(steps));
  }
  plat::HRESULT GetElapsedTime(int* hours, int* minutes, int* seconds) override {
    return Result(41, std::string("41"));
  }
  plat::HRESULT GetPlaybackPosition(int* hour, int* minute, int* second) override {
    return Result(42, std::string("42"));
  }
  plat::HRESULT GetRemainingRecordTime(const char* folder, int profileIndex, float* minutes) override {
    *minutes = remaining;
    return Result(43, "43");
  }
  plat::HRESULT SelectRecordProfile(const char* name) override {
    const HRESULT hr = Result(44, "44 " + std::string(name ? name : ""));
    if (SUCCEEDED(hr) && name && *name) profile = name;
    return hr;
  }
  plat::HRESULT SetTimeShiftFolder(const char* folder) override {
    return Result(45, std::string("45") + " " + std::string(folder ? folder : ""));
  }
  plat::HRESULT SetCountry(int index) override {
    const HRESULT hr = Result(46, "46 " + std::to_string(index));
    if (SUCCEEDED(hr)) country = index;
    return hr;
  }
  plat::HRESULT SetVideoInput(int input) override {
    return Result(47, std::string("47") + " " + std::to_string(input));
  }
  plat::HRESULT SetTunerInput(int antenna) override {
    return Result(48, std::string("48") + " " + std::to_string(antenna));
  }
  plat::HRESULT SetVideoDeviceName(const char* name) override {
    return Result(49, std::string("49") + " " + std::string(name ? name : ""));
  }
  plat::HRESULT SetAudioDeviceName(const char* name) override {
    return Result(50, std::string("50") + " " + std::string(name ? name : ""));
  }
  plat::HRESULT SetPictureLevel1(int level) override {
    return Result(51, std::string("51") + " " + std::to_string(level));
  }
  plat::HRESULT SetPictureLevel2(int level) override {
    return Result(52, std::string("52") + " " + std::to_string(level));
  }
  plat::HRESULT SetPictureLevel3(int level) override {
    return Result(53, std::string("53") + " " + std::to_string(level));
  }
  plat::HRESULT SetPictureLevel4(int level) override {
    return Result(54, std::string("54") + " " + std::to_string(level));
  }
  plat::HRESULT SetCaptureOption(int value) override {
    return Result(55, std::string("55") + " " + std::to_string(value));
  }
  plat::HRESULT SetTimeShiftLength(int minutes) override {
    return Result(56, std::string("56") + " " + std::to_string(minutes));
  }
  plat::HRESULT ResetVideoSettings() override {
    return Result(57, std::string("57"));
  }
  plat::HRESULT SetTvAudioMode(int mode) override {
    return Result(58, std::string("58") + " " + std::to_string(mode));
  }
  plat::HRESULT SetAudioChannelMode(int mode) override {
    return Result(59, std::string("59") + " " + std::to_string(mode));
  }
  plat::HRESULT RecorderOp60(int value) override {
    return Result(60, std::string("60") + " " + std::to_string(value));
  }
  plat::HRESULT ApplyCountrySettings() override {
    return Result(61, std::string("61"));
  }
  plat::HRESULT GetSelectedProfileName(char* name) override {
    std::snprintf(name, kGrabberProfileNameChars, "%s", profile.c_str());
    return Result(62, "62");
  }
  plat::HRESULT GetRecordProfile(EncoderBlock* block) override {
    return Result(63, std::string("63"));
  }
  plat::HRESULT GetOutputFolder(char* folder) override {
    return Result(64, std::string("64"));
  }
  int GetCountry() override {
    Log("65");
    return country;
  }
  int GetInputKind() override {
    return Value(66, std::string("66"));
  }
  plat::HRESULT RecorderOp67(int value) override {
    return Result(67, std::string("67") + " " + std::to_string(value));
  }
  int GetTunerInput() override {
    return Value(68, std::string("68"));
  }
  plat::HRESULT GetVideoDeviceName(char* name) override {
    return Result(69, std::string("69"));
  }
  plat::HRESULT GetAudioDeviceName(char* name) override {
    return Result(70, std::string("70"));
  }
  int GetPictureLevel1() override {
    return Value(71, std::string("71"));
  }
  int GetPictureLevel2() override {
    return Value(72, std::string("72"));
  }
  int GetPictureLevel3() override {
    return Value(73, std::string("73"));
  }
  int GetPictureLevel4() override {
    return Value(74, std::string("74"));
  }
  plat::HRESULT GetPictureRange1(int* minimum, int* maximum, int* byDefault) override {
    return Result(75, std::string("75"));
  }
  plat::HRESULT GetPictureRange2(int* minimum, int* maximum, int* byDefault) override {
    return Result(76, std::string("76"));
  }
  plat::HRESULT GetPictureRange3(int* minimum, int* maximum, int* byDefault) override {
    return Result(77, std::string("77"));
  }
  plat::HRESULT GetPictureRange4(int* minimum, int* maximum, int* byDefault) override {
    return Result(78, std::string("78"));
  }
  int GetCaptureOption() override {
    return Value(79, std::string("79"));
  }
  int GetTimeShiftLength() override {
    return Value(80, std::string("80"));
  }
  int GetAudioChannelMode() override {
    return Value(81, std::string("81"));
  }
  int GetTvAudioMode() override {
    return Value(82, std::string("82"));
  }
  int GetReportedInputType() override {
    return Value(83, std::string("83"));
  }
  int GetProfileFamily() override {
    Log("84");
    return family;
  }
  plat::HRESULT GetProfileNameAt(int index, char* name) override {
    if (index < 0 || index >= static_cast<int>(profiles.size())) return Result(85, "85 " + std::to_string(index), plat::E_FAIL);
    std::snprintf(name, 128, "%s", profiles[static_cast<std::size_t>(index)].c_str());
    return Result(85, "85 " + std::to_string(index));
  }
  plat::HRESULT GetCountryName(int index, char* name) override {
    if (index < 0 || index >= kCountryCount || unnamed.count(index)) return plat::E_FAIL;
    std::snprintf(name, kGrabberTextChars, "Country %d", index);
    return plat::S_OK;
  }
  plat::HRESULT RecorderOp87(int value) override {
    return Result(87, std::string("87") + " " + std::to_string(value));
  }
  plat::HRESULT RecorderOp88(int index, char* name) override {
    return Result(88, std::string("88") + " " + std::to_string(index));
  }
  plat::HRESULT RecorderOp89(int index, char* name) override {
    return Result(89, std::string("89") + " " + std::to_string(index));
  }
  plat::HRESULT GetStoredChannel(int index, int* value, int* status) override {
    Log("90 " + std::to_string(index));
    if (index < 0 || index >= static_cast<int>(stored.size())) return plat::E_FAIL;
    *value = stored[static_cast<std::size_t>(index)].first;
    *status = stored[static_cast<std::size_t>(index)].second;
    return plat::S_OK;
  }
  plat::HRESULT EnableDivXSettings(int on) override {
    return Result(91, std::string("91") + " " + std::to_string(on));
  }
  plat::HRESULT SetVideoFlag190(int value) override {
    return Result(92, std::string("92") + " " + std::to_string(value));
  }
  int IsSignalPresent() override {
    return Value(93, std::string("93"));
  }
  int IsDeviceReady() override {
    Log("94");
    return ready;
  }
  plat::HRESULT GetTeletextKeyColour(plat::COLORREF* colour) override {
    *colour = keyColour;
    return Result(95, "95");
  }
  plat::HRESULT GetTeletextAvailable() override {
    return Result(96, "96", teletext ? plat::S_OK : plat::E_FAIL);
  }
  plat::HRESULT RecorderOp97(plat::HWND owner) override {
    return Result(97, std::string("97"));
  }
  plat::HRESULT RecorderOp98(int left, int top, int width, int height) override {
    return Result(98, std::string("98") + " " + std::to_string(left) + " " + std::to_string(top) + " " + std::to_string(width) + " " + std::to_string(height));
  }
  plat::HRESULT ShowTeletext(int show) override {
    return Result(99, std::string("99") + " " + std::to_string(show));
  }
  plat::HRESULT RecorderOp100(int on) override {
    return Result(100, std::string("100") + " " + std::to_string(on));
  }
  int GetTeletextPage() override {
    Log("101");
    return teletextPage;
  }
  plat::HRESULT SetTeletextPage(int page) override {
    return Result(102, std::string("102") + " " + std::to_string(page));
  }
  plat::HRESULT PrevTeletextPage() override {
    return Result(103, std::string("103"));
  }
  plat::HRESULT NextTeletextPage() override {
    return Result(104, std::string("104"));
  }
  plat::HRESULT PrevTeletextSubPage() override {
    return Result(105, std::string("105"));
  }
  plat::HRESULT NextTeletextSubPage() override {
    return Result(106, std::string("106"));
  }
  plat::HRESULT TeletextKeyRed() override {
    return Result(107, std::string("107"));
  }
  plat::HRESULT TeletextKeyGreen() override {
    return Result(108, std::string("108"));
  }
  plat::HRESULT TeletextKeyBlue() override {
    return Result(109, std::string("109"));
  }
  plat::HRESULT TeletextKeyYellow() override {
    return Result(110, std::string("110"));
  }
  plat::HRESULT SetBurnSource(const char* path, int format) override {
    return Result(111, std::string("111") + " " + std::to_string(format) + " " + std::string(path ? path : ""));
  }
  plat::HRESULT RecorderOp112(int value) override {
    return Result(112, std::string("112") + " " + std::to_string(value));
  }
  plat::HRESULT EnableBurnProgress(int on) override {
    return Result(113, std::string("113") + " " + std::to_string(on));
  }
  plat::HRESULT RecorderOp114(int value) override {
    return Result(114, std::string("114") + " " + std::to_string(value));
  }
  plat::HRESULT RecorderOp115(int value) override {
    return Result(115, std::string("115") + " " + std::to_string(value));
  }
  plat::HRESULT SetGuideRange(int a, int b) override {
    return Result(116, std::string("116") + " " + std::to_string(a) + " " + std::to_string(b));
  }
  plat::HRESULT GuideStep(int value) override {
    return Result(117, std::string("117") + " " + std::to_string(value));
  }
  plat::HRESULT RecorderOp118(int value) override {
    return Result(118, std::string("118") + " " + std::to_string(value));
  }
  plat::HRESULT RecorderOp119(int value) override {
    return Result(119, std::string("119") + " " + std::to_string(value));
  }
  plat::HRESULT RecorderOp120(int value) override {
    return Result(120, std::string("120") + " " + std::to_string(value));
  }
  plat::HRESULT RecorderOp121(int value) override {
    return Result(121, std::string("121") + " " + std::to_string(value));
  }
  plat::HRESULT HasWebCamera() override {
    return Result(122, std::string("122"));
  }
  plat::HRESULT SelectWebCamera() override {
    return Result(123, std::string("123"));
  }
  plat::HRESULT SelectCompositeInput() override {
    return Result(124, std::string("124"));
  }
  plat::HRESULT SelectSVideoInput() override {
    return Result(125, std::string("125"));
  }
  plat::HRESULT OpenTimeShiftSource(const char* open) override {
    return Result(126, std::string("126") + " " + std::string(open ? open : ""));
  }
  plat::HRESULT RecordSource() override {
    return Result(127, std::string("127"));
  }
  plat::HRESULT PauseSource(int value) override {
    return Result(128, std::string("128") + " " + std::to_string(value));
  }
  plat::HRESULT ResumeSource() override {
    return Result(129, std::string("129"));
  }
  plat::HRESULT RecordSourceNamed(RecordNameBlock name) override {
    return Result(130, std::string("130"));
  }
  plat::HRESULT SeekTo(int step, double value) override {
    return Result(131, std::string("131") + " " + std::to_string(step));
  }
  plat::HRESULT SeekTo2(int step, double value) override {
    return Result(132, std::string("132") + " " + std::to_string(step));
  }
  plat::HRESULT RecorderOp133(int value) override {
    return Result(133, std::string("133") + " " + std::to_string(value));
  }
  plat::HRESULT RecorderOp134() override {
    return Result(134, std::string("134"));
  }
  plat::HRESULT RecorderOp135(int mode, double rate) override {
    return Result(135, std::string("135") + " " + std::to_string(mode));
  }
  plat::HRESULT ResetPlaybackRate() override {
    return Result(136, std::string("136"));
  }
  plat::HRESULT RecorderOp137(int value) override {
    return Result(137, std::string("137") + " " + std::to_string(value));
  }
  plat::HRESULT RecorderOp138(int value) override {
    return Result(138, std::string("138") + " " + std::to_string(value));
  }
  plat::HRESULT RecorderOp139(int value) override {
    return Result(139, std::string("139") + " " + std::to_string(value));
  }
  plat::HRESULT RecorderOp140(int value) override {
    return Result(140, std::string("140") + " " + std::to_string(value));
  }

 private:
  std::string NameOf(int channel) const {
    const auto it = names.find(channel);
    return it == names.end() ? std::string() : it->second;
  }
  void Log(const std::string& call) { calls.push_back(call); }
  HRESULT Result(int slot, const std::string& call, HRESULT otherwise = plat::S_OK) {
    Log(call);
    return failing.count(slot) ? plat::E_FAIL : otherwise;
  }
  int Value(int slot, const std::string& call) {
    Log(call);
    return failing.count(slot) ? -1 : 0;
  }
};

}  // namespace tv_test
