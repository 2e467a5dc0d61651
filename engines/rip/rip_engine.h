// The rip engine behind both ripper classes: one GStreamer rip graph, a
// hidden "Event Window" on the creating thread that takes the graph's
// events and owns the 3 s progress timer, and the reports to the caller's
// IRipperEventSink. The WMA and MP3 variants differ only where their
// classes always differed (output branch, report rules).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engines/rip/rip_graph.h"
#include "interfaces/event_sinks.h"
#include "platform/com/hresult.h"
#include "platform/win/win_types.h"

namespace rip {

enum class Variant { Wma, Mp3 };

inline constexpr plat::UINT kGraphNotifyMessage = plat::WM_USER + 14;
inline constexpr plat::UINT kCompleteMessage = plat::WM_USER + 16;
inline constexpr plat::UINT kProgressPeriodMs = 3000;
inline constexpr const char* kEventWindowClass = "Event Window";

// One progress report: `position` of `duration` (100 ns units). Nothing
// without a sink or a known duration. WMA: OnProgress, and OnFinished when
// the sink answers 0. MP3: OnProgress below the end, OnFinished at exactly
// the end (once: `finished` remembers it), OnAborted when the sink answers 0.
void ReportProgress(Variant variant, IRipperEventSink* sink, std::int64_t position, std::int64_t duration,
                    bool& finished);

class RipEngine {
 public:
  explicit RipEngine(Variant variant);
  ~RipEngine();
  RipEngine(const RipEngine&) = delete;
  RipEngine& operator=(const RipEngine&) = delete;

  plat::HRESULT Initialize();
  plat::HRESULT Uninitialize();
  plat::HRESULT SetEventSink(IRipperEventSink* sink);
  plat::HRESULT FindCaptureFilter(const char* name);
  plat::HRESULT OpenSource(const std::string& path, bool wide);
  plat::HRESULT BuildWmaGraph(const char* path, int bitRate, int preview);
  plat::HRESULT BuildMp3Graph(const char* path, int preview);
  plat::HRESULT GetDuration(std::int64_t* duration);
  plat::HRESULT GetPosition(std::int64_t* position);
  plat::HRESULT Run();
  plat::HRESULT Pause();
  plat::HRESULT Stop();
  plat::HRESULT SetVideoOwner(plat::HWND owner);
  plat::HRESULT SetVideoPosition(int left, int top, int width, int height);
  plat::HRESULT GetVideoPosition(int* left, int* top, int* width, int* height);
  plat::HRESULT ShowVideo(int show);
  int IsEncoderAvailable();

  plat::HWND EventWindow() const { return window_; }

 private:
  static plat::LRESULT EventWindowProc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);
  static void OnProgressTimer(plat::HWND hwnd, plat::UINT msg, plat::UINT_PTR id, plat::DWORD time);
  void OnGraphNotify();
  void OnComplete();
  void ProgressStep();
  void ReportFinished();
  void StartTimer();
  void StopTimer();
  void NewGraph();
  plat::HRESULT BuildOutput(const std::string& encoder, const char* path, int preview);

  const Variant variant_;
  IRipperEventSink* sink_ = nullptr;
  std::int64_t duration_ = 0;
  plat::HWND window_ = nullptr;
  std::string sourcePath_;
  bool encoderDriver_ = false;  // MP3: the maker's encoder driver was found
  bool initialized_ = false;
  std::unique_ptr<RipGraph> graph_;
  bool previewBuilt_ = false;
  bool finished_ = false;  // OnFinished reported for this graph
};

}  // namespace rip
