// The two ripper classes: CCdToWma ("Kestrovia WMA Ripper", ICdToWma) and
// CCdToMp3 ("Kestrovia MP3 Ripper", ICdToMp3), each a COM object over one
// rip engine of its variant.
#pragma once

#include "engines/rip/rip_engine.h"
#include "interfaces/cdtomp3.h"
#include "interfaces/cdtowma.h"
#include "platform/com/object.h"

class CCdToWma : public ICdToWma {
 public:
  using Interfaces = plat::InterfaceList<ICdToWma>;

  plat::HRESULT Initialize() override { return engine_.Initialize(); }
  plat::HRESULT Uninitialize() override { return engine_.Uninitialize(); }
  plat::HRESULT SetEventSink(IRipperEventSink* sink) override { return engine_.SetEventSink(sink); }
  plat::HRESULT FindCaptureFilter(const char* name) override { return engine_.FindCaptureFilter(name); }
  plat::HRESULT OpenSourceW(const plat::WCHAR* path) override;
  plat::HRESULT OpenSource(const char* path) override;
  plat::HRESULT BuildRipGraph(const char* path, int bitRate, int preview) override {
    return engine_.BuildWmaGraph(path, bitRate, preview);
  }
  plat::HRESULT GetDuration(std::int64_t* duration) override { return engine_.GetDuration(duration); }
  plat::HRESULT GetPosition(std::int64_t* position) override { return engine_.GetPosition(position); }
  plat::HRESULT Run() override { return engine_.Run(); }
  plat::HRESULT Pause() override { return engine_.Pause(); }
  plat::HRESULT Stop() override { return engine_.Stop(); }
  plat::HRESULT SetVideoOwner(plat::HWND owner) override { return engine_.SetVideoOwner(owner); }
  plat::HRESULT SetVideoPosition(int l, int t, int w, int h) override { return engine_.SetVideoPosition(l, t, w, h); }
  plat::HRESULT GetVideoPosition(int* l, int* t, int* w, int* h) override {
    return engine_.GetVideoPosition(l, t, w, h);
  }
  plat::HRESULT ShowVideo(int show) override { return engine_.ShowVideo(show); }

 private:
  rip::RipEngine engine_{rip::Variant::Wma};
};

class CCdToMp3 : public ICdToMp3 {
 public:
  using Interfaces = plat::InterfaceList<ICdToMp3>;

  plat::HRESULT Initialize() override { return engine_.Initialize(); }
  plat::HRESULT Uninitialize() override { return engine_.Uninitialize(); }
  plat::HRESULT SetEventSink(IRipperEventSink* sink) override { return engine_.SetEventSink(sink); }
  plat::HRESULT FindCaptureFilter(const char* name) override { return engine_.FindCaptureFilter(name); }
  plat::HRESULT OpenSourceW(const plat::WCHAR* path) override;
  plat::HRESULT OpenSource(const char* path) override;
  plat::HRESULT BuildRipGraph(const char* path, int preview) override { return engine_.BuildMp3Graph(path, preview); }
  plat::HRESULT GetDuration(std::int64_t* duration) override { return engine_.GetDuration(duration); }
  plat::HRESULT GetPosition(std::int64_t* position) override { return engine_.GetPosition(position); }
  plat::HRESULT Run() override { return engine_.Run(); }
  plat::HRESULT Pause() override { return engine_.Pause(); }
  plat::HRESULT Stop() override { return engine_.Stop(); }
  plat::HRESULT SetVideoOwner(plat::HWND owner) override { return engine_.SetVideoOwner(owner); }
  plat::HRESULT SetVideoPosition(int l, int t, int w, int h) override { return engine_.SetVideoPosition(l, t, w, h); }
  plat::HRESULT GetVideoPosition(int* l, int* t, int* w, int* h) override {
    return engine_.GetVideoPosition(l, t, w, h);
  }
  plat::HRESULT ShowVideo(int show) override { return engine_.ShowVideo(show); }
  int IsEncoderAvailable() override { return engine_.IsEncoderAvailable(); }

 private:
  rip::RipEngine engine_{rip::Variant::Mp3};
};
