// A scripted recorder and profile store for the TV engine's tests. The
// recorder logs every call as "Name(arg,...)" and answers from its script:
// a result per operation name (S_OK unless set), devices, channels, picture
// ranges and positions. Tests fire recorder events through Fire().
#pragma once

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "interfaces/tvrecorder.h"
#include "platform/com/object.h"

namespace grabtest {

using plat::E_FAIL;
using plat::FAILED;
using plat::SUCCEEDED;
using plat::HRESULT;
using plat::S_OK;

inline std::string ArgText(int v) { return std::to_string(v); }
inline std::string ArgText(std::int64_t v) { return std::to_string(v); }
inline std::string ArgText(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", v);
  return text;
}
inline std::string ArgText(const char* v) { return v ? v : "null"; }
inline std::string ArgText(char* v) { return "buf"; }
template <class T>
std::string ArgText(T* v) {
  return v ? "ptr" : "null";
}

inline void Put(char* out, const std::string& text) {
  if (out) std::snprintf(out, kTvNameChars, "%s", text.c_str());
}

class FakeRecorder : public ISysRecorder {
 public:
  using Interfaces = plat::InterfaceList<ISysRecorder>;

  // The log and the script.
  std::vector<std::string> calls;
  std::map<std::string, HRESULT> results;
  std::vector<std::string> videoDevices{"Tuner Card"};
  std::vector<std::string> audioDevices{"Tuner Audio"};
  std::vector<std::string> tunerDevices{"Tuner Card"};  // those with a tuner
  std::string selectedVideo;
  std::string selectedAudio;
  int input = 0;
  int antenna = 1;
  int tuned = 5;
  int firstChannel = 1;
  int lastChannel = 125;
  // Channels the band query answers; others answer with nothing stored.
  std::map<int, TvChannelInfo> channels;
  int bandEnd = 500;  // queries at or past this channel fail
  int range[4][3] = {{0, 255, 128}, {-100, 100, 0}, {0, 200, 100}, {0, 255, 128}};
  int picture[4] = {0, 0, 0, 0};
  std::int64_t recordedKB = 4096;
  std::int64_t recordStart = 0;
  std::int64_t recordElapsed = 0;
  std::int64_t replayMs = 0;
  int tvAudio = 1;
  int webCameras = 0;
  int reportedInput = 1;
  std::string foundName;
  std::vector<EncoderBlock> startedBlocks;
  std::vector<std::string> startedFiles;
  std::vector<int> timeShiftArgs;
  ISysRecorderEventSink* sink = nullptr;
  ISysRecorderProgressSink* progress = nullptr;

  int Fire(int code, int a = 0, int b = 0, const TvPicture* pic = nullptr, const char* source = kSysRecorderSource) {
    return sink ? sink->OnRecorderEvent(source, code, a, b, pic) : 0;
  }
  bool Called(const std::string& call) const {
    for (const auto& c : calls) {
      if (c == call) return true;
    }
    return false;
  }
  int Count(const std::string& prefix) const {
    int n = 0;
    for (const auto& c : calls) n += c.rfind(prefix, 0) == 0 ? 1 : 0;
    return n;
  }
  // The calls whose names are among `names`, in order.
  std::vector<std::string> Only(std::initializer_list<const char*> names) const {
    std::vector<std::string> out;
    for (const auto& c : calls) {
      for (const char* n : names) {
        if (c.rfind(std::string(n) + "(", 0) == 0) out.push_back(c);
      }
    }
    return out;
  }
  void SetStation(int channel, const char* name, int stored = 1, int value = 80, int status = 1) {
    TvChannelInfo info{};
    std::snprintf(info.name, sizeof info.name, "%s", name);
    info.stored = stored;
    info.value = value;
    info.status = status;
    channels[channel] = info;
  }

  template <class... A>
  HRESULT Log(const char* name, A... args) {
    std::string text = std::string(name) + "(";
    bool first = true;
    ((text += (first ? "" : ","), text += ArgText(args), first = false), ...);
    calls.push_back(text + ")");
    const auto it = results.find(name);
    return it == results.end() ? S_OK : it->second;
  }

  HRESULT SetEventSink(ISysRecorderEventSink* s) override {
    sink = s;
    return Log("SetEventSink", s);
  }
  HRESULT GetDeviceName(int index, char* name) override {
    const HRESULT hr = Log("GetDeviceName", index);
    if (FAILED(hr) || index < 0 || index >= static_cast<int>(videoDevices.size())) return E_FAIL;
    Put(name, videoDevices[static_cast<std::size_t>(index)]);
    return S_OK;
  }
  HRESULT GetVideoDeviceName(int index, char* name) override {
    const HRESULT hr = Log("GetVideoDeviceName", index);
    if (FAILED(hr) || index < 0 || index >= static_cast<int>(videoDevices.size())) return E_FAIL;
    Put(name, videoDevices[static_cast<std::size_t>(index)]);
    return S_OK;
  }
  HRESULT GetAudioDeviceName(int index, char* name) override {
    const HRESULT hr = Log("GetAudioDeviceName", index);
    if (FAILED(hr) || index < 0 || index >= static_cast<int>(audioDevices.size())) return E_FAIL;
    Put(name, audioDevices[static_cast<std::size_t>(index)]);
    return S_OK;
  }
  HRESULT SelectDevices(const char* video, const char* audio) override {
    selectedVideo = video;
    selectedAudio = audio;
    return Log("SelectDevices", video, audio);
  }
  HRESULT GetSelectedDevices(char* video, char* audio) override {
    Put(video, selectedVideo);
    Put(audio, selectedAudio);
    return Log("GetSelectedDevices");
  }
  HRESULT HasTuner() override {
    Log("HasTuner");
    for (const auto& t : tunerDevices) {
      if (t == selectedVideo) return S_OK;
    }
    return E_FAIL;
  }
  HRESULT GetVideoInput(int* out) override {
    *out = input;
    return Log("GetVideoInput");
  }
  HRESULT SetVideoInput(int value) override {
    const HRESULT hr = Log("SetVideoInput", value);
    if (SUCCEEDED(hr)) input = value;
    return hr;
  }
  HRESULT GetRecordedSize(std::int64_t* kb) override {
    *kb = recordedKB;
    return Log("GetRecordedSize");
  }
  HRESULT GetRecordTimes(std::int64_t* start, std::int64_t* elapsed) override {
    *start = recordStart;
    *elapsed = recordElapsed;
    return Log("GetRecordTimes");
  }
  HRESULT Query(const char* which, int channel, TvChannelInfo* info) {
    const HRESULT hr = Log(which, channel);
    if (FAILED(hr) || channel < 0 || channel >= bandEnd) return E_FAIL;
    const auto it = channels.find(channel);
    if (it != channels.end()) {
      *info = it->second;
    } else {
      *info = TvChannelInfo{};
      std::snprintf(info->name, sizeof info->name, "%d", channel);
    }
    return S_OK;
  }
  HRESULT QueryCableChannel(int channel, TvChannelInfo* info) override { return Query("QueryCableChannel", channel, info); }
  HRESULT QueryAntennaChannel(int channel, TvChannelInfo* info) override {
    return Query("QueryAntennaChannel", channel, info);
  }
  HRESULT GetTunerInput(int* out) override {
    *out = antenna;
    return Log("GetTunerInput");
  }
  HRESULT SetTunerInput(int value) override {
    const HRESULT hr = Log("SetTunerInput", value);
    if (SUCCEEDED(hr)) antenna = value;
    return hr;
  }
  HRESULT GetChannelRange(int* first, int* last) override {
    *first = firstChannel;
    *last = lastChannel;
    return Log("GetChannelRange");
  }
  HRESULT Tune(int channel) override {
    const HRESULT hr = Log("Tune", channel);
    if (SUCCEEDED(hr)) tuned = channel;
    return hr;
  }
  HRESULT GetTunedChannel(int* channel) override {
    *channel = tuned;
    return Log("GetTunedChannel");
  }
  HRESULT PictureRange(const char* name, int i, int* mn, int* mx, int* def) {
    *mn = range[i][0];
    *mx = range[i][1];
    *def = range[i][2];
    return Log(name);
  }
  HRESULT PictureGet(const char* name, int i, int* v) {
    *v = picture[i];
    return Log(name);
  }
  HRESULT PictureSet(const char* name, int i, int v) {
    const HRESULT hr = Log(name, v);
    if (SUCCEEDED(hr)) picture[i] = v;
    return hr;
  }
  HRESULT GetBrightnessRange(int* a, int* b, int* c) override { return PictureRange("GetBrightnessRange", 0, a, b, c); }
  HRESULT GetBrightness(int* v) override { return PictureGet("GetBrightness", 0, v); }
  HRESULT SetBrightness(int v) override { return PictureSet("SetBrightness", 0, v); }
  HRESULT GetSaturationRange(int* a, int* b, int* c) override { return PictureRange("GetSaturationRange", 1, a, b, c); }
  HRESULT GetSaturation(int* v) override { return PictureGet("GetSaturation", 1, v); }
  HRESULT SetSaturation(int v) override { return PictureSet("SetSaturation", 1, v); }
  HRESULT GetContrastRange(int* a, int* b, int* c) override { return PictureRange("GetContrastRange", 2, a, b, c); }
  HRESULT GetContrast(int* v) override { return PictureGet("GetContrast", 2, v); }
  HRESULT SetContrast(int v) override { return PictureSet("SetContrast", 2, v); }
  HRESULT GetHueRange(int* a, int* b, int* c) override { return PictureRange("GetHueRange", 3, a, b, c); }
  HRESULT GetHue(int* v) override { return PictureGet("GetHue", 3, v); }
  HRESULT SetHue(int v) override { return PictureSet("SetHue", 3, v); }
  HRESULT GetReplayPosition(std::int64_t* ms) override {
    *ms = replayMs;
    return Log("GetReplayPosition");
  }
  HRESULT SetReplayPosition(std::int64_t ms) override {
    replayMs = ms;
    return Log("SetReplayPosition", ms);
  }
  HRESULT GetReplayClock(int* h, int* m, int* s) override {
    *h = 1;
    *m = 2;
    *s = 3;
    return Log("GetReplayClock");
  }
  HRESULT GetTvAudio(int* mode) override {
    *mode = tvAudio;
    return Log("GetTvAudio");
  }
  HRESULT SetTvAudio(int mode) override {
    const HRESULT hr = Log("SetTvAudio", mode);
    if (SUCCEEDED(hr)) tvAudio = mode;
    return hr;
  }
  HRESULT GetWebCamera(int which, int* device) override {
    *device = 1;
    return Log("GetWebCamera", which);
  }
  HRESULT GetWebCameraCount(int* count) override {
    *count = webCameras;
    return Log("GetWebCameraCount");
  }
  HRESULT ApplyCountry(int code, int* type) override {
    *type = reportedInput;
    return Log("ApplyCountry", code);
  }
  HRESULT GetTeletextKeyColour(plat::COLORREF* colour) override {
    *colour = 0xff00ff;
    return Log("GetTeletextKeyColour");
  }
  HRESULT GetFoundChannelName(int channel, char* name) override {
    const HRESULT hr = Log("GetFoundChannelName", channel);
    if (FAILED(hr) || foundName.empty()) return E_FAIL;
    Put(name, foundName);
    return S_OK;
  }
  HRESULT GetTeletextPage(int* page) override {
    *page = 100;
    return Log("GetTeletextPage");
  }
  HRESULT SetProgressSink(ISysRecorderProgressSink* s) override {
    progress = s;
    return Log("SetProgressSink", s);
  }
  HRESULT ClearProgressSink() override {
    progress = nullptr;
    return Log("ClearProgressSink");
  }
  HRESULT StartRecording(const char* file, int start, const EncoderBlock* block, int flag) override {
    const HRESULT hr = Log("StartRecording", file, start, flag);
    startedFiles.push_back(file);
    startedBlocks.push_back(*block);
    return hr;
  }
  HRESULT SetCodecSettings(int kind, const DivXSettings* settings, int size) override {
    return Log("SetCodecSettings", kind, size);
  }
  HRESULT StartTimeShift(int on, const EncoderBlock* block, int segmentMB, int segmentCount, int neededMB,
                         int value) override {
    timeShiftArgs = {on, segmentMB, segmentCount, neededMB, value};
    return Log("StartTimeShift", on, segmentMB, segmentCount, neededMB, value);
  }
  HRESULT ApplySourceBlock(const EncoderBlock* block) override { return Log("ApplySourceBlock", block); }
  plat::HRESULT Initialize(int value) override { return Log("Initialize", value); }
  plat::HRESULT FinishDisc() override { return Log("FinishDisc"); }
  plat::HRESULT SetValue(int value) override { return Log("SetValue", value); }
  plat::HRESULT SetValue12(int value) override { return Log("SetValue12", value); }
  plat::HRESULT SetValue13(int value) override { return Log("SetValue13", value); }
  plat::HRESULT SetOwnerWindow(plat::HWND owner, int a, int b) override { return Log("SetOwnerWindow", owner, a, b); }
  plat::HRESULT SetVideoOrigin(int left, int top) override { return Log("SetVideoOrigin", left, top); }
  plat::HRESULT SetVideoSize(int width, int height) override { return Log("SetVideoSize", width, height); }
  plat::HRESULT ShowVideo(int show) override { return Log("ShowVideo", show); }
  plat::HRESULT SetFrameSize(int width, int height) override { return Log("SetFrameSize", width, height); }
  plat::HRESULT IsSignalPresent() override { return Log("IsSignalPresent"); }
  plat::HRESULT Preview(int on) override { return Log("Preview", on); }
  plat::HRESULT EnableVideo(int on) override { return Log("EnableVideo", on); }
  plat::HRESULT OpenTimeShiftSource(int open) override { return Log("OpenTimeShiftSource", open); }
  plat::HRESULT RecordSource(const char* file) override { return Log("RecordSource", file); }
  plat::HRESULT PauseSource(int value) override { return Log("PauseSource", value); }
  plat::HRESULT ResumeSource() override { return Log("ResumeSource"); }
  plat::HRESULT RecordSourceNamed(const char* file, int start) override { return Log("RecordSourceNamed", file, start); }
  plat::HRESULT SetTimeShiftFolder(const char* folder) override { return Log("SetTimeShiftFolder", folder); }
  plat::HRESULT SourceSeek(int mode, double step) override { return Log("SourceSeek", mode, step); }
  plat::HRESULT SourceSeek2(int mode, double step) override { return Log("SourceSeek2", mode, step); }
  plat::HRESULT SourceOp43(int value) override { return Log("SourceOp43", value); }
  plat::HRESULT SourceOp44() override { return Log("SourceOp44"); }
  plat::HRESULT SetSourceRate(int mode, double rate) override { return Log("SetSourceRate", mode, rate); }
  plat::HRESULT ChannelChanged() override { return Log("ChannelChanged"); }
  plat::HRESULT SourceOp47(int value) override { return Log("SourceOp47", value); }
  plat::HRESULT SourceOp48(int value) override { return Log("SourceOp48", value); }
  plat::HRESULT SourceOp49(int value) override { return Log("SourceOp49", value); }
  plat::HRESULT SourceOp50(int value) override { return Log("SourceOp50", value); }
  plat::HRESULT SetCaptureOption(int value) override { return Log("SetCaptureOption", value); }
  plat::HRESULT StopRecording(int value) override { return Log("StopRecording", value); }
  plat::HRESULT SetCableKey(const char* key) override { return Log("SetCableKey", key); }
  plat::HRESULT SetAntennaKey(const char* key) override { return Log("SetAntennaKey", key); }
  plat::HRESULT IsDeviceReady() override { return Log("IsDeviceReady"); }
  plat::HRESULT StartSearch() override { return Log("StartSearch"); }
  plat::HRESULT StopSearch() override { return Log("StopSearch"); }
  plat::HRESULT ChannelUp() override { return Log("ChannelUp"); }
  plat::HRESULT ChannelDown() override { return Log("ChannelDown"); }
  plat::HRESULT ChannelPrevious() override { return Log("ChannelPrevious"); }
  plat::HRESULT EnableDevice(int on) override { return Log("EnableDevice", on); }
  plat::HRESULT SaveSnapshot(const char* path) override { return Log("SaveSnapshot", path); }
  plat::HRESULT WatchRecording(int on) override { return Log("WatchRecording", on); }
  plat::HRESULT ReplayPlay() override { return Log("ReplayPlay"); }
  plat::HRESULT ReplayPause() override { return Log("ReplayPause"); }
  plat::HRESULT ReplayHold(int hold) override { return Log("ReplayHold", hold); }
  plat::HRESULT SetReplayRate(int mode, double rate) override { return Log("SetReplayRate", mode, rate); }
  plat::HRESULT ResetReplay() override { return Log("ResetReplay"); }
  plat::HRESULT SetCountryCode(int code) override { return Log("SetCountryCode", code); }
  plat::HRESULT SetVideoStandard(int standard) override { return Log("SetVideoStandard", standard); }
  plat::HRESULT CanTimeShift() override { return Log("CanTimeShift"); }
  plat::HRESULT HasTvAudio() override { return Log("HasTvAudio"); }
  plat::HRESULT AcknowledgeDisc(int value) override { return Log("AcknowledgeDisc", value); }
  plat::HRESULT SetChannelStored(int antenna, int channel, int value) override { return Log("SetChannelStored", antenna, channel, value); }
  plat::HRESULT SetChannelValue(int antenna, int channel, int value) override { return Log("SetChannelValue", antenna, channel, value); }
  plat::HRESULT SetChannelParam(int antenna, int channel, int value) override { return Log("SetChannelParam", antenna, channel, value); }
  plat::HRESULT ScanStart(int first, int last) override { return Log("ScanStart", first, last); }
  plat::HRESULT ScanStop() override { return Log("ScanStop"); }
  plat::HRESULT ScanStep(int position, int channel) override { return Log("ScanStep", position, channel); }
  plat::HRESULT ScanControl(int a, int b, int c, int d, int e) override { return Log("ScanControl", a, b, c, d, e); }
  plat::HRESULT RequestWallPicture() override { return Log("RequestWallPicture"); }
  plat::HRESULT SetAudioChannelMode(int mode) override { return Log("SetAudioChannelMode", mode); }
  plat::HRESULT SetPreviewOption(int value) override { return Log("SetPreviewOption", value); }
  plat::HRESULT IsTeletextAvailable() override { return Log("IsTeletextAvailable"); }
  plat::HRESULT SetTeletextOwner(plat::HWND owner) override { return Log("SetTeletextOwner", owner); }
  plat::HRESULT SetTeletextRect(int left, int top, int width, int height) override { return Log("SetTeletextRect", left, top, width, height); }
  plat::HRESULT ShowTeletext(int show) override { return Log("ShowTeletext", show); }
  plat::HRESULT SetTeletextOverVideo(int on) override { return Log("SetTeletextOverVideo", on); }
  plat::HRESULT SetProfileFamily(int value) override { return Log("SetProfileFamily", value); }
  plat::HRESULT SetPreviewFamily(int value) override { return Log("SetPreviewFamily", value); }
  plat::HRESULT SetTeletextPage(int page) override { return Log("SetTeletextPage", page); }
  plat::HRESULT PrevTeletextPage() override { return Log("PrevTeletextPage"); }
  plat::HRESULT NextTeletextPage() override { return Log("NextTeletextPage"); }
  plat::HRESULT PrevTeletextSubPage() override { return Log("PrevTeletextSubPage"); }
  plat::HRESULT NextTeletextSubPage() override { return Log("NextTeletextSubPage"); }
  plat::HRESULT TeletextKeyRed() override { return Log("TeletextKeyRed"); }
  plat::HRESULT TeletextKeyGreen() override { return Log("TeletextKeyGreen"); }
  plat::HRESULT TeletextKeyBlue() override { return Log("TeletextKeyBlue"); }
  plat::HRESULT TeletextKeyYellow() override { return Log("TeletextKeyYellow"); }
  plat::HRESULT SaveTeletextPage(const char* path, int format) override { return Log("SaveTeletextPage", path, format); }
  plat::HRESULT TeletextOp210(int value) override { return Log("TeletextOp210", value); }
  plat::HRESULT TeletextOp213(int value) override { return Log("TeletextOp213", value); }
  plat::HRESULT TeletextOp214(int value) override { return Log("TeletextOp214", value); }
  plat::HRESULT SetGuideRange(int a, int b) override { return Log("SetGuideRange", a, b); }
  plat::HRESULT GuideStep(int value) override { return Log("GuideStep", value); }
  plat::HRESULT GuideOp217(int value) override { return Log("GuideOp217", value); }
  plat::HRESULT GuideOp218(int value) override { return Log("GuideOp218", value); }
  plat::HRESULT GuideOp219(int value) override { return Log("GuideOp219", value); }
  plat::HRESULT GuideOp220(int value) override { return Log("GuideOp220", value); }
  plat::HRESULT StartSearchAlternate() override { return Log("StartSearchAlternate"); }
  plat::HRESULT StopSearchAlternate() override { return Log("StopSearchAlternate"); }

 protected:
  ~FakeRecorder() = default;
};

inline ProfileEntry MakeEntry(const char* kind, const char* name, int format = 2, int videoBitRate = 6000000,
                              int audioBitRate = 224) {
  ProfileEntry e{};
  std::snprintf(e.kind, sizeof e.kind, "%s", kind);
  std::snprintf(e.name, sizeof e.name, "%s", name);
  e.block.format = format;
  e.block.videoBitRate = videoBitRate;
  e.block.audioBitRate = audioBitRate;
  e.block.width = 720;
  e.block.height = 576;
  e.block.field368 = 7;
  e.block.field388 = 9;
  return e;
}

// A profile store whose files are scripted: LoadFile adds the entries
// listed under the file's name (the part after the last '/').
class FakeProfileStore : public IProfileStore {
 public:
  using Interfaces = plat::InterfaceList<IProfileStore>;

  std::vector<ProfileEntry> entries;
  std::map<std::string, std::vector<ProfileEntry>> files;
  std::vector<std::string> calls;
  int selected = -1;

  HRESULT Open(const char* key) override {
    calls.push_back(std::string("Open(") + key + ")");
    return S_OK;
  }
  HRESULT LoadFile(const char* file) override {
    calls.push_back(std::string("LoadFile(") + file + ")");
    std::string name = file;
    name = name.substr(name.find_last_of('/') + 1);
    const auto it = files.find(name);
    if (it == files.end()) return E_FAIL;
    entries.insert(entries.end(), it->second.begin(), it->second.end());
    return S_OK;
  }
  HRESULT GetCount(int* count) override {
    *count = static_cast<int>(entries.size());
    return S_OK;
  }
  HRESULT GetEntry(int index, ProfileEntry* entry) override {
    if (index < 0 || index >= static_cast<int>(entries.size())) return E_FAIL;
    *entry = entries[static_cast<std::size_t>(index)];
    return S_OK;
  }
  int Find(const char* kind, const char* name) const {
    for (std::size_t i = 0; i < entries.size(); ++i) {
      if (std::strcmp(entries[i].kind, kind) == 0 && std::strcmp(entries[i].name, name) == 0) {
        return static_cast<int>(i);
      }
    }
    return -1;
  }
  HRESULT ReadBlock(const char* kind, const char* name, EncoderBlock* block) override {
    const int i = Find(kind, name);
    if (i < 0) return E_FAIL;
    *block = entries[static_cast<std::size_t>(i)].block;
    return S_OK;
  }
  HRESULT DeleteEntry(const char* kind, const char* name) override {
    calls.push_back(std::string("DeleteEntry(") + kind + "," + name + ")");
    const int i = Find(kind, name);
    if (i < 0) return E_FAIL;
    entries.erase(entries.begin() + i);
    return S_OK;
  }
  HRESULT Select(const char* kind, const char* name) override {
    calls.push_back(std::string("Select(") + kind + "," + name + ")");
    selected = Find(kind, name);
    return selected < 0 ? E_FAIL : S_OK;
  }
  HRESULT GetSelected(ProfileEntry* entry) override {
    if (selected < 0 || selected >= static_cast<int>(entries.size())) return E_FAIL;
    *entry = entries[static_cast<std::size_t>(selected)];
    return S_OK;
  }

 protected:
  ~FakeProfileStore() = default;
};

}  // namespace grabtest
