// Scripted rippers and a drive enumerator with a capture name, for the
// radio's line recordings: each ripper slot the recording uses is logged as
// "<slot> <arguments>" and answers S_OK unless the test makes it fail.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "interfaces/cdtomp3.h"
#include "interfaces/cdtowma.h"
#include "outside/coreobject/drive_enumerator.h"
#include "platform/com/hresult.h"

namespace radio_test {

class RipperLog {
 public:
  std::set<int> failing;
  std::vector<std::string> calls;

 protected:
  plat::HRESULT Log(int slot, const std::string& call) {
    calls.push_back(call);
    return failing.count(slot) ? plat::E_FAIL : plat::S_OK;
  }
};

class FakeMp3LineRipper : public ICdToMp3, public RipperLog {
 public:
  using Interfaces = plat::InterfaceList<ICdToMp3>;
  plat::HRESULT Initialize() override { return Log(3, "3"); }
  plat::HRESULT Uninitialize() override { return Log(4, "4"); }
  plat::HRESULT SetEventSink(IRipperEventSink*) override { return plat::S_OK; }
  plat::HRESULT FindCaptureFilter(const char* name) override { return Log(6, std::string("6 ") + name); }
  plat::HRESULT OpenSourceW(const plat::WCHAR*) override { return plat::E_NOTIMPL; }
  plat::HRESULT OpenSource(const char*) override { return plat::E_NOTIMPL; }
  plat::HRESULT BuildRipGraph(const char* path, int preview) override {
    return Log(9, "9 " + std::string(path) + " " + std::to_string(preview));
  }
  plat::HRESULT GetDuration(std::int64_t*) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetPosition(std::int64_t*) override { return plat::E_NOTIMPL; }
  plat::HRESULT Run() override { return Log(12, "12"); }
  plat::HRESULT Pause() override { return plat::E_NOTIMPL; }
  plat::HRESULT Stop() override { return Log(14, "14"); }
  plat::HRESULT SetVideoOwner(plat::HWND) override { return plat::E_NOTIMPL; }
  plat::HRESULT SetVideoPosition(int, int, int, int) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetVideoPosition(int*, int*, int*, int*) override { return plat::E_NOTIMPL; }
  plat::HRESULT ShowVideo(int show) override { return Log(18, "18 " + std::to_string(show)); }
  int IsEncoderAvailable() override { return 1; }
};

class FakeWmaLineRipper : public ICdToWma, public RipperLog {
 public:
  using Interfaces = plat::InterfaceList<ICdToWma>;
  plat::HRESULT Initialize() override { return Log(3, "3"); }
  plat::HRESULT Uninitialize() override { return Log(4, "4"); }
  plat::HRESULT SetEventSink(IRipperEventSink*) override { return plat::S_OK; }
  plat::HRESULT FindCaptureFilter(const char* name) override { return Log(6, std::string("6 ") + name); }
  plat::HRESULT OpenSourceW(const plat::WCHAR*) override { return plat::E_NOTIMPL; }
  plat::HRESULT OpenSource(const char*) override { return plat::E_NOTIMPL; }
  plat::HRESULT BuildRipGraph(const char* path, int bitRate, int preview) override {
    return Log(9, "9 " + std::string(path) + " " + std::to_string(bitRate) + " " + std::to_string(preview));
  }
  plat::HRESULT GetDuration(std::int64_t*) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetPosition(std::int64_t*) override { return plat::E_NOTIMPL; }
  plat::HRESULT Run() override { return Log(12, "12"); }
  plat::HRESULT Pause() override { return plat::E_NOTIMPL; }
  plat::HRESULT Stop() override { return Log(14, "14"); }
  plat::HRESULT SetVideoOwner(plat::HWND) override { return plat::E_NOTIMPL; }
  plat::HRESULT SetVideoPosition(int, int, int, int) override { return plat::E_NOTIMPL; }
  plat::HRESULT GetVideoPosition(int*, int*, int*, int*) override { return plat::E_NOTIMPL; }
  plat::HRESULT ShowVideo(int show) override { return Log(18, "18 " + std::to_string(show)); }
};

// The real enumerator with one capture source of a known name.
class NamedCaptureEnumerator : public CDriveEnumerator {
 public:
  plat::HRESULT GetCaptureDeviceName(int index, char** buffer) override {
    if (index != 0 || !buffer || !*buffer) return plat::E_FAIL;
    std::snprintf(*buffer, kServiceNameBytes, "%s", "Test Radio");
    return plat::S_OK;
  }
};

}  // namespace radio_test
