// Both rippers behind one face for the tests: created through the COM
// runtime from the build's registration, driven as corebridge drives them.
#pragma once

#include <cstdint>
#include <string>

#include "interfaces/cdtomp3.h"
#include "interfaces/cdtowma.h"
#include "platform/com/com_ptr.h"
#include "platform/com/runtime.h"
#include "tests/engines/rip/rip_fixtures.h"

namespace rip_test {

enum class Kind { Wma, Mp3 };

inline const char* KindName(Kind kind) { return kind == Kind::Wma ? "wma" : "mp3"; }

class RipperClient {
 public:
  explicit RipperClient(Kind kind) : kind_(kind) {
    if (kind == Kind::Wma) {
      created_ = plat::CoCreateInstance(CLSID_CdToWma, nullptr, plat::CLSCTX_INPROC_SERVER, IID_ICdToWma,
                                        reinterpret_cast<void**>(&wma_));
    } else {
      created_ = plat::CoCreateInstance(CLSID_CdToMp3, nullptr, plat::CLSCTX_INPROC_SERVER, IID_ICdToMp3,
                                        reinterpret_cast<void**>(&mp3_));
    }
  }
  plat::HRESULT created() const { return created_; }
  Kind kind() const { return kind_; }

#define RIP_CALL(call) (wma_ ? wma_->call : mp3_->call)
  plat::HRESULT Initialize() { return RIP_CALL(Initialize()); }
  plat::HRESULT Uninitialize() { return RIP_CALL(Uninitialize()); }
  plat::HRESULT SetEventSink(IRipperEventSink* sink) { return RIP_CALL(SetEventSink(sink)); }
  plat::HRESULT FindCaptureFilter(const char* name) { return RIP_CALL(FindCaptureFilter(name)); }
  plat::HRESULT OpenSource(const std::string& path) { return RIP_CALL(OpenSource(path.c_str())); }
  plat::HRESULT OpenSourceW(const std::u16string& path) { return RIP_CALL(OpenSourceW(path.c_str())); }
  plat::HRESULT BuildRipGraph(const std::string& path, int preview = 0, int bitRate = 128040) {
    return wma_ ? wma_->BuildRipGraph(path.c_str(), bitRate, preview) : mp3_->BuildRipGraph(path.c_str(), preview);
  }
  plat::HRESULT GetDuration(std::int64_t* value) { return RIP_CALL(GetDuration(value)); }
  plat::HRESULT GetPosition(std::int64_t* value) { return RIP_CALL(GetPosition(value)); }
  plat::HRESULT Run() { return RIP_CALL(Run()); }
  plat::HRESULT Pause() { return RIP_CALL(Pause()); }
  plat::HRESULT Stop() { return RIP_CALL(Stop()); }
  plat::HRESULT SetVideoOwner(plat::HWND owner) { return RIP_CALL(SetVideoOwner(owner)); }
  plat::HRESULT ShowVideo(int show) { return RIP_CALL(ShowVideo(show)); }
#undef RIP_CALL

  ICdToWma* wma() { return wma_.Get(); }
  ICdToMp3* mp3() { return mp3_.Get(); }

 private:
  Kind kind_;
  plat::HRESULT created_ = plat::E_FAIL;
  plat::ComPtr<ICdToWma> wma_;
  plat::ComPtr<ICdToMp3> mp3_;
};

// Opens `source`, builds the rip to `output`, runs it and pumps messages
// until the sink hears the end (or 60 s pass). The results of each step.
struct RipOutcome {
  plat::HRESULT open = plat::E_FAIL;
  plat::HRESULT build = plat::E_FAIL;
  plat::HRESULT run = plat::E_FAIL;
  bool ended = false;
  std::int64_t duration = 0;
  std::int64_t position = 0;
};

inline RipOutcome RipToEnd(RipperClient& ripper, RecordingSink& sink, const std::string& source,
                           const std::string& output) {
  RipOutcome outcome;
  ripper.Initialize();
  ripper.SetEventSink(&sink);
  outcome.open = ripper.OpenSource(source);
  if (plat::FAILED(outcome.open)) return outcome;
  outcome.build = ripper.BuildRipGraph(output);
  if (plat::FAILED(outcome.build)) return outcome;
  ripper.GetDuration(&outcome.duration);
  outcome.run = ripper.Run();
  if (plat::FAILED(outcome.run)) return outcome;
  outcome.ended = PumpUntil([&] { return sink.Ended(); }, 60000);
  ripper.GetPosition(&outcome.position);
  ripper.Stop();
  ripper.Uninitialize();
  return outcome;
}

}  // namespace rip_test
