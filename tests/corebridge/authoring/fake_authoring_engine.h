// A scripted authoring engine for the authoring controller's tests: every
// slot the controller uses is logged as "<slot> <arguments>" and answers S_OK
// unless the test makes it fail; the answers of the query slots and the
// status come from fields.
#pragma once

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "interfaces/authoring.h"
#include "platform/com/hresult.h"
#include "platform/com/object.h"

namespace authoring_test {

class FakeAuthoringEngine : public IAuthoringEngine {
 public:
  using Interfaces = plat::InterfaceList<IAuthoringEngine>;
  using HRESULT = plat::HRESULT;

  // --- Script -------------------------------------------------------------
  std::set<int> failing;  // slots that answer E_FAIL
  int previewPlaying = 0;
  int previewShown = 0;
  int stageDone = 0;
  int currentWriter = 0;
  int elementCount = -1;  // -1: the number of added elements
  AuthoringStatus status;

  // --- What happened ---------------------------------------------------------
  std::vector<std::string> calls;
  std::vector<std::string> elements;
  IAuthoringEventSink* sink = nullptr;
  AuthoringFormatRecord format{};

  HRESULT Initialize() override {
    elements.clear();
    return Log(3, "");
  }
  HRESULT SetEventSink(IAuthoringEventSink* s) override {
    const HRESULT hr = Log(5, s ? "sink" : "null");
    if (hr == plat::S_OK) sink = s;
    return hr;
  }
  HRESULT SetPreviewWindow(plat::HWND, int l, int t, int r, int b) override {
    return Log(7, Join({l, t, r, b}));
  }
  HRESULT SetPreviewElement(int index, int position, int show, int fit) override {
    return Log(9, Join({index, position, show, fit}));
  }
  HRESULT ShowPreview(int show) override { return Log(11, Join({show})); }
  HRESULT IsPreviewShown(int* shown) override {
    *shown = previewShown;
    return Log(12, "");
  }
  HRESULT SetVideoFlavour(int flavour) override { return Log(40, Join({flavour})); }
  HRESULT SetVideoFormat(const AuthoringFormatRecord* f, int element) override {
    format = *f;
    return Log(45, Join({element}));
  }
  HRESULT IsStageDone(int stage, int* done) override {
    *done = stageDone;
    return Log(48, Join({stage}));
  }
  HRESULT StartStage(int stage) override { return Log(49, Join({stage})); }
  HRESULT WaitStage(int stage, int* running) override {
    *running = 0;
    return Log(50, Join({stage}));
  }
  HRESULT FinishStage(int stage) override { return Log(51, Join({stage})); }
  HRESULT SetWorkFolder(const char* folder) override { return Log(53, folder); }
  HRESULT AddElement(const char* path) override {
    const HRESULT hr = Log(54, path);
    if (hr == plat::S_OK) elements.emplace_back(path);
    return hr;
  }
  HRESULT SetStillSeconds(int seconds) override { return Log(57, Join({seconds})); }
  HRESULT GetElementCount(int kind, int* count) override {
    *count = elementCount >= 0 ? elementCount : static_cast<int>(elements.size());
    return Log(56, Join({kind}));
  }
  HRESULT PlayPreview() override { return Log(64, ""); }
  HRESULT StartBurning(const char* folder) override { return Log(84, folder); }
  HRESULT Cancel(HRESULT reason) override { return Log(85, reason == plat::E_FAIL ? "E_FAIL" : "other"); }
  HRESULT SetVerify(int on) override { return Log(88, Join({on})); }
  HRESULT SetSimulate(int on) override { return Log(91, Join({on})); }
  HRESULT SetEjectAfter(int on) override { return Log(99, Join({on})); }
  HRESULT PublishStatus(AuthoringStatus* s) override {
    *s = status;
    return Log(100, "");
  }
  HRESULT StopPreview(int value) override { return Log(104, Join({value})); }
  HRESULT IsPreviewPlaying(int* playing) override {
    *playing = previewPlaying;
    return Log(106, "");
  }
  HRESULT SelectWriter(int index, int select) override { return Log(121, Join({index, select})); }
  HRESULT GetWriterCount(int* count) override {
    *count = 1;
    return Log(136, "");
  }
  HRESULT GetWriterName(int index, char* name) override {
    std::strcpy(name, "D: virtual writer");
    return Log(137, Join({index}));
  }
  HRESULT GetDiscCount(int* count) override {
    *count = 1;
    return Log(140, "");
  }
  HRESULT GetDiscInfo(int index, AuthoringDiscInfo* info) override {
    *info = AuthoringDiscInfo{};
    return Log(141, Join({index}));
  }
  HRESULT SetDiscType(int type) override { return Log(142, Join({type})); }
  HRESULT GetVolumeLabelCount(int* count) override {
    *count = 1;
    return Log(144, "");
  }
  HRESULT GetVolumeLabel(int index, char* label) override {
    std::strcpy(label, "LABEL");
    return Log(145, Join({index}));
  }
  HRESULT GetCurrentWriter(int* index) override {
    *index = currentWriter;
    return Log(146, "");
  }
  HRESULT RefreshWriterDisc(int index) override { return Log(147, Join({index})); }
  HRESULT SetVolumeLabel(const char* label) override { return Log(150, label); }
  HRESULT SetSourceFolder(const char* folder) override { return Log(151, folder); }
  HRESULT SetFileSystem(int kind) override { return Log(152, Join({kind})); }
  HRESULT SetTarget(const char* folder) override { return Log(153, folder); }
  HRESULT BurnFolder() override { return Log(155, ""); }

  // The slots called, without their arguments.
  std::vector<int> Slots() const {
    std::vector<int> slots;
    for (const std::string& c : calls) slots.push_back(std::stoi(c));
    return slots;
  }

 private:
  static std::string Join(std::initializer_list<int> values) {
    std::string text;
    for (int v : values) text += (text.empty() ? "" : " ") + std::to_string(v);
    return text;
  }
  HRESULT Log(int slot, const std::string& args) {
    calls.push_back(args.empty() ? std::to_string(slot) : std::to_string(slot) + " " + args);
    return failing.count(slot) ? plat::E_FAIL : plat::S_OK;
  }
};

}  // namespace authoring_test
