// A scripted DV component for the camcorder engine's tests. It logs every
// call as "Name(arg,...)", answers from its script (a result per operation
// name, S_OK unless set; device names and kinds; status; timecode) and hands
// out a scripted disc-capture interface. Tests fire component events with
// Fire().
#pragma once

#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "interfaces/dvdevice.h"
#include "platform/com/com_ptr.h"
#include "platform/com/object.h"
#include "platform/com/visibility.h"

namespace dvtest {

using plat::E_FAIL;
using plat::HRESULT;
using plat::S_OK;

class CallLog {
 public:
  std::vector<std::string> calls;
  std::map<std::string, HRESULT> results;
  std::mutex mutex;

  HRESULT Log(const std::string& name, const std::string& args = "") {
    std::lock_guard lock(mutex);
    calls.push_back(name + "(" + args + ")");
    const auto it = results.find(name);
    return it == results.end() ? S_OK : it->second;
  }
  bool Called(const std::string& call) {
    std::lock_guard lock(mutex);
    for (const auto& c : calls) {
      if (c == call) return true;
    }
    return false;
  }
  // The calls, without the frequent polling ones.
  std::vector<std::string> Commands() {
    std::lock_guard lock(mutex);
    std::vector<std::string> out;
    for (const auto& c : calls) {
      if (c.rfind("GetTransportCode", 0) != 0 && c.rfind("GetTimecode", 0) != 0) out.push_back(c);
    }
    return out;
  }
  void Clear() {
    std::lock_guard lock(mutex);
    calls.clear();
  }
};

class PLAT_COM_LOCAL FakeDiscCapture : public IDvDiscCapture, public CallLog {
 public:
  using Interfaces = plat::InterfaceList<IDvDiscCapture>;
  DvMenuTemplate menu{};
  std::vector<DvMenuTitle> titles;
  HRESULT Initialise() override { return Log("Initialise"); }
  HRESULT Uninitialise() override { return Log("Uninitialise"); }
  HRESULT SetProgramFolder(const char* f) override { return Log("SetProgramFolder", f); }
  HRESULT SetChapterMode(int v) override { return Log("SetChapterMode", std::to_string(v)); }
  HRESULT SetMenuTemplate(const DvMenuTemplate* m) override {
    menu = *m;
    titles.assign(m->titles, m->titles + m->titleCount);
    return Log("SetMenuTemplate");
  }
  HRESULT SetDiscTitle(const char* t) override { return Log("SetDiscTitle", t); }
  HRESULT SetFinalise(int v) override { return Log("SetFinalise", std::to_string(v)); }
  HRESULT SetWriter(std::intptr_t w) override { return Log("SetWriter", std::to_string(w)); }
  HRESULT SetEventSink(IDvDeviceEventSink* s) override { return Log("SetEventSink", s ? "sink" : "null"); }
  HRESULT Start() override { return Log("Start"); }
  HRESULT Stop() override { return Log("Stop"); }
};

class PLAT_COM_LOCAL FakeDvDevice : public IDvDevice, public CallLog {
 public:
  using Interfaces = plat::InterfaceList<IDvDevice>;

  struct Device {
    std::string name;
    int kind;
    float rate;
  };
  std::vector<Device> devices{{"GR-D23 DV (victor)", 1, 25.0f}};
  int openIndex = -1;
  int ready = 1;
  int transportCode = 4096;
  std::uint8_t timecode[4] = {0, 0, 0, 0};
  EncoderBlock lastBlock{};
  IDvDeviceEventSink* sink = nullptr;
  plat::ComPtr<plat::ComObject<FakeDiscCapture>> disc = plat::MakeComObject<FakeDiscCapture>();

  int Fire(int code, const char* text = nullptr) { return sink ? sink->OnDvEvent(code, text) : 0; }

  plat::HRESULT FallbackQueryInterface(plat::REFIID iid, void** out) {
    if (iid == IID_IDvDiscCapture && disc) return disc->QueryInterface(iid, out);
    *out = nullptr;
    return plat::E_NOINTERFACE;
  }

  HRESULT Initialise() override { return Log("Initialise"); }
  HRESULT Uninitialise() override { return Log("Uninitialise"); }
  HRESULT GetDeviceNameAt(int index, char* name, int size) override {
    const HRESULT hr = Log("GetDeviceNameAt", std::to_string(index));
    if (index < 0 || index >= static_cast<int>(devices.size())) return E_FAIL;
    std::snprintf(name, static_cast<std::size_t>(size), "%s", devices[static_cast<std::size_t>(index)].name.c_str());
    return hr;
  }
  HRESULT OpenDevice(const char* name) override {
    const HRESULT hr = Log("OpenDevice", name ? name : "null");
    if (plat::FAILED(hr)) return hr;
    openIndex = -1;
    for (std::size_t i = 0; name && i < devices.size(); ++i) {
      if (devices[i].name == name) openIndex = static_cast<int>(i);
    }
    return name && openIndex < 0 ? E_FAIL : S_OK;
  }
  HRESULT Play() override { return Log("Play"); }
  HRESULT Pause() override { return Log("Pause"); }
  HRESULT Stop() override { return Log("Stop"); }
  HRESULT StartCapture() override { return Log("StartCapture"); }
  HRESULT StopCapture() override { return Log("StopCapture"); }
  HRESULT FastForward() override { return Log("FastForward"); }
  HRESULT Rewind() override { return Log("Rewind"); }
  HRESULT ForwardScan() override { return Log("ForwardScan"); }
  HRESULT ReverseScan() override { return Log("ReverseScan"); }
  HRESULT GetDeviceStatus(int* r, int* detail) override {
    *r = ready;
    *detail = transportCode;
    return Log("GetDeviceStatus");
  }
  HRESULT FinishStreamCapture() override { return Log("FinishStreamCapture"); }
  HRESULT GetDeviceKind(int* kind) override {
    if (openIndex < 0) return E_FAIL;
    *kind = devices[static_cast<std::size_t>(openIndex)].kind;
    return Log("GetDeviceKind");
  }
  HRESULT GetTimecode(std::uint8_t tc[4]) override {
    std::lock_guard lock(mutex);
    std::memcpy(tc, timecode, 4);
    calls.push_back("GetTimecode()");
    return S_OK;
  }
  HRESULT SetCaptureFormat(int v) override { return Log("SetCaptureFormat", std::to_string(v)); }
  HRESULT SetVideoWindow(plat::HWND, const plat::RECT* r) override {
    return Log("SetVideoWindow", std::to_string(r->left) + "," + std::to_string(r->top) + "," +
                                     std::to_string(r->right) + "," + std::to_string(r->bottom));
  }
  HRESULT SetEncoderBlock(const EncoderBlock* b) override {
    lastBlock = *b;
    return Log("SetEncoderBlock", b->filePath);
  }
  HRESULT SetEventSink(IDvDeviceEventSink* s) override {
    sink = s;
    return Log("SetEventSink", s ? "sink" : "null");
  }
  HRESULT GetTransportCode(int* code) override {
    std::lock_guard lock(mutex);
    *code = transportCode;
    calls.push_back("GetTransportCode()");
    return S_OK;
  }
  HRESULT GetFrameRate(float* rate) override {
    if (openIndex < 0) return E_FAIL;
    *rate = devices[static_cast<std::size_t>(openIndex)].rate;
    return Log("GetFrameRate");
  }
  HRESULT GetDeviceName(char* name, int size) override {
    std::snprintf(name, static_cast<std::size_t>(size), "%s",
                  openIndex < 0 ? "" : devices[static_cast<std::size_t>(openIndex)].name.c_str());
    return Log("GetDeviceName");
  }
  HRESULT SetOutputMode(int mode) override { return Log("SetOutputMode", std::to_string(mode)); }
  HRESULT SetCaptureFile(const char* path) override { return Log("SetCaptureFile", path); }
};

}  // namespace dvtest
