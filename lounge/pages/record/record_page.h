// CRecordPage: the record hub's page. It copies pictures, music or videos
// from a removable device to the hard disk (and shows the burning variant of
// the same flow) in three sub-pages: the media choice ("Record\RecordMain"),
// the device choice ("Record\RecordDevice") and the copy progress
// ("Record\Recording"). The copy runs on a CRecordCopyWorker; the page reads
// and writes the record-hub section of the configuration in place.
//
// The worker only counts and names the current file; this page, on the UI
// thread, turns that into the progress bars and texts when it paints. The
// worker's end arrives as WM_TIMER 10289 on the frame window and is honoured
// only for the worker this page still holds, uncancelled: a late one after a
// cancel, a sub-page change or a new copy never navigates.
#pragma once

#include <memory>
#include <string>

#include "interfaces/page_events.h"
#include "lounge/shell/module_page.h"
#include "lounge/pages/record/record_burn.h"
#include "lounge/pages/record/record_copy_worker.h"

class CConfig;
class CRecordConfig;

// The frame timer id the copy worker posts when it has ended.
inline constexpr plat::UINT_PTR RECORD_COPY_DONE_TIMER = 10289;
// The frame timer id posted when a burn has ended.
inline constexpr plat::UINT_PTR RECORD_BURN_DONE_TIMER = 10290;

// Record-hub sub-pages (the section's state).
inline constexpr int RECORD_SUBPAGE_MAIN = 0;
inline constexpr int RECORD_SUBPAGE_DEVICE = 1;
inline constexpr int RECORD_SUBPAGE_RECORDING = 2;

// Media kinds (the section's chosen kind).
inline constexpr int RECORD_MEDIA_NONE = 0;
inline constexpr int RECORD_MEDIA_PHOTO = 1;
inline constexpr int RECORD_MEDIA_AUDIO = 2;
inline constexpr int RECORD_MEDIA_VIDEO = 6;

class CRecordPage : public CShellPage, public IRecordPageEvents {
 public:
  explicit CRecordPage(IShellFrame& frame);
  ~CRecordPage() override;

  // ---- IRecordPageEvents ----
  int ShowRecordPage() override;
  int ShowSubPage() override;
  // Also the page base's redraw: the caption bar's, then the page's.
  int Redraw(int flag) override;

  // ---- IModulePage ----
  int Destroy() override;  // the frame window goes: the copy stops
  int OnPaint() override;
  int OnTimer(plat::UINT_PTR id) override;

  // ---- CSkinPage ----
  int LoadLayout(const std::string& path) override;
  int OnLeave() override;
  int DrawTextElement(int i, plat::HDC dc, const plat::RECT& rect, plat::COLORREF colour) override;
  int DrawStillImage(int i, plat::HDC dc, const plat::RECT& rect) override;
  int DrawListText(int text, plat::HDC dc, const plat::RECT& rect, int list, plat::COLORREF colour) override;
  int OnAction(const std::string& name) override;


  // ---- what the texts show (also for tests) ----
  bool IsCopying() const { return m_worker != nullptr; }
  bool IsBurning() const { return m_burn && m_burn->state() == CRecordBurn::State::Burning; }
  // The burn of the burning mode failed (or found no writer).
  bool BurnFailed() const { return m_burnFailed; }
  // Where the authoring engine comes from (tests put their own).
  void SetEngineFactory(CRecordBurn::EngineFactory factory) { m_engineFactory = std::move(factory); }
  const CRecordCopyWorker* Worker() const { return m_worker.get(); }
  RecordCopyProgress Progress() const;
  std::string CurrentFile() const;
  // The text of a text element, or empty when the base draws it.
  std::string TextFor(const std::string& name) const;
  // The text of a list text, or empty when the base draws it.
  std::string ListTextFor(const std::string& name);

 private:
  // Turns the worker's calls into window work on the frame window: an
  // invalidation for progress, the done timer at the end. Holds only the
  // window handle, taken on the UI thread before the worker starts.
  class WorkerNotifier final : public IRecordCopyListener {
   public:
    plat::HWND window = nullptr;
    void OnCopyProgress() override;
    void OnCopyFinished() override;
  };

  CConfig* Config() const;
  CRecordConfig* Hub() const;
  int Mode() const;
  void StartWorker();
  void StopWorker();
  // Burning mode: the copy into the staging folder is done; burn it.
  void StartBurn();
  void OnBurnEnded();
  // Sets the two progress bars from the worker's counters (UI thread).
  void UpdateProgressBars();
  // "Record Enter Other Module" and its burning twin for device `slot` of
  // the configuration's device roots.
  int EnterDevice(int slot);
  // The title of a device slot, or its "no disc"/"no media" text.
  std::string DeviceTitle(int slot);

  WorkerNotifier m_notifier;
  CRecordBurn::EngineFactory m_engineFactory = &CRecordBurn::CreateRegisteredEngine;
  bool m_burnFailed = false;
  float m_shownFileFraction = -1.0f;
  float m_shownTotalFraction = -1.0f;
  std::unique_ptr<CRecordBurn> m_burn;
  // Last member: destroyed (stopped and joined) first.
  std::unique_ptr<CRecordCopyWorker> m_worker;
};
