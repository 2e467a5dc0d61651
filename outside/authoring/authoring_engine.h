// CAuthoringEngine: the authoring engine component. Settings are kept on the
// caller's thread; a job runs on one worker thread, which posts each status
// change to the engine's hidden window, so the sink is called only on the
// thread that created the engine.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "interfaces/authoring.h"
#include "outside/authoring/job.h"
#include "outside/authoring/preview_window.h"
#include "platform/com/object.h"

class CAuthoringEngine : public IAuthoringEngine {
 public:
  using Interfaces = plat::InterfaceList<IAuthoringEngine>;

  CAuthoringEngine();
  ~CAuthoringEngine();
  CAuthoringEngine(const CAuthoringEngine&) = delete;
  CAuthoringEngine& operator=(const CAuthoringEngine&) = delete;

  plat::HRESULT Initialize() override;                                                            // 3
  plat::HRESULT SetEventSink(IAuthoringEventSink* sink) override;                                 // 5
  plat::HRESULT SetPreviewWindow(plat::HWND window, int left, int top, int right, int bottom) override;  // 7
  plat::HRESULT SetPreviewElement(int index, int position, int show, int fit) override;           // 9
  plat::HRESULT ShowPreview(int show) override;                                                   // 11
  plat::HRESULT IsPreviewShown(int* shown) override;                                              // 12
  plat::HRESULT SetVideoFlavour(int flavour) override;                                            // 40
  plat::HRESULT SetVideoFormat(const AuthoringFormatRecord* format, int element) override;        // 45
  plat::HRESULT IsStageDone(int stage, int* done) override;                                       // 48
  plat::HRESULT StartStage(int stage) override;                                                   // 49
  plat::HRESULT WaitStage(int stage, int* running) override;                                      // 50
  plat::HRESULT FinishStage(int stage) override;                                                  // 51
  plat::HRESULT SetWorkFolder(const char* folder) override;                                       // 53
  plat::HRESULT AddElement(const char* path) override;                                            // 54
  plat::HRESULT GetElementCount(int kind, int* count) override;                                   // 56
  plat::HRESULT SetStillSeconds(int seconds) override;                                            // 57
  plat::HRESULT PlayPreview() override;                                                           // 64
  plat::HRESULT StartBurning(const char* folder) override;                                        // 84
  plat::HRESULT Cancel(plat::HRESULT reason) override;                                            // 85
  plat::HRESULT SetVerify(int on) override;                                                       // 88
  plat::HRESULT SetSimulate(int on) override;                                                     // 91
  plat::HRESULT SetEjectAfter(int on) override;                                                   // 99
  plat::HRESULT PublishStatus(AuthoringStatus* status) override;                                  // 100
  plat::HRESULT StopPreview(int value) override;                                                  // 104
  plat::HRESULT IsPreviewPlaying(int* playing) override;                                          // 106
  plat::HRESULT SelectWriter(int index, int select) override;                                     // 121
  plat::HRESULT GetWriterCount(int* count) override;                                              // 136
  plat::HRESULT GetWriterName(int index, char* name) override;                                    // 137
  plat::HRESULT GetDiscCount(int* count) override;                                                // 140
  plat::HRESULT GetDiscInfo(int index, AuthoringDiscInfo* info) override;                         // 141
  plat::HRESULT SetDiscType(int type) override;                                                   // 142
  plat::HRESULT GetVolumeLabelCount(int* count) override;                                         // 144
  plat::HRESULT GetVolumeLabel(int index, char* label) override;                                  // 145
  plat::HRESULT GetCurrentWriter(int* index) override;                                            // 146
  plat::HRESULT RefreshWriterDisc(int index) override;                                            // 147
  plat::HRESULT SetVolumeLabel(const char* label) override;                                       // 150
  plat::HRESULT SetSourceFolder(const char* folder) override;                                     // 151
  plat::HRESULT SetFileSystem(int kind) override;                                                 // 152
  plat::HRESULT SetTarget(const char* folder) override;                                           // 153
  plat::HRESULT BurnFolder() override;                                                            // 155

  // For tests: waits (bounded) until no job runs; true when none does.
  bool WaitIdle(int timeoutMs);
  const authoring::PreviewWindow& Preview() const { return m_preview; }

 private:
  static plat::LRESULT WindowProc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);
  void CreateHiddenWindow();
  void DestroyHiddenWindow();
  void DeliverStatus();
  bool Running() const;
  void JoinWorker();
  plat::HRESULT Launch(authoring::Job job);
  void RefreshWriters();
  authoring::DiscKind CurrentKind() const;

  plat::HWND m_hWnd = nullptr;
  IAuthoringEventSink* m_pSink = nullptr;

  // Settings, used on the caller's thread only.
  std::vector<std::string> m_elements;
  int m_nDiscType = kAuthoringDiscDvd;
  AuthoringFormatRecord m_format{};
  std::string m_workFolder;
  std::string m_sourceFolder;
  std::string m_target;
  std::string m_volumeLabel = "Marivel";
  bool m_bVerify = false;
  bool m_bSimulate = false;
  bool m_bEjectAfter = false;
  bool m_bStagePlanned = false;
  int m_nStillSeconds = 5;
  std::vector<authoring::Writer> m_writers;
  int m_nWriter = -1;

  // Preview state.
  authoring::PreviewWindow m_preview;
  int m_nPreviewElement = -1;
  bool m_bPreviewPlaying = false;

  // The running job and its status, shared with the worker.
  mutable std::mutex m_mutex;
  AuthoringStatus m_status{};
  bool m_bNoticePending = false;
  bool m_bRunning = false;
  std::shared_ptr<authoring::JobControl> m_control;
  std::thread m_worker;
};
