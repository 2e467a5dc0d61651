// The sink for the player's events: turns each event (by its dispatch id)
// into the matching call of the system core's IWMPlayerEventSink, and runs
// the 500 ms position timer while playing. Events from the player arrive
// through PlayerEvents and go the same way as dispatched events.
#pragma once

#include <functional>

#include "engines/playback/wmhost/player/engine_thread.h"
#include "engines/playback/wmhost/player/media_player.h"
#include "interfaces/wmhost/wmplayer.h"
#include "platform/com/automation.h"

// The player's event dispatch ids.
inline constexpr plat::DISPID DISPID_PLAYSTATECHANGE = 5101;
inline constexpr plat::DISPID DISPID_POSITIONCHANGE = 5202;
inline constexpr plat::DISPID DISPID_MEDIAERROR = 5501;
inline constexpr plat::DISPID DISPID_MEDIACHANGE = 5806;
inline constexpr plat::DISPID DISPID_CLICK = 6505;
inline constexpr plat::DISPID DISPID_KEYDOWN = 6507;
inline constexpr plat::DISPID DISPID_MOUSEMOVE = 6511;

inline constexpr unsigned kPositionTimerMs = 500;

class CWMPEventSink final : public wmhost::PlayerEvents {
 public:
  // `position` reads the player's position; `ready` tells whether events may
  // be passed on (off while the engine switches the player's playlist).
  CWMPEventSink(wmhost::EngineThread& thread, std::function<double()> position, std::function<bool()> ready);
  ~CWMPEventSink();
  CWMPEventSink(const CWMPEventSink&) = delete;
  CWMPEventSink& operator=(const CWMPEventSink&) = delete;

  void SetCallback(IWMPlayerEventSink* callback) { callback_ = callback; }

  // An event by dispatch id: E_POINTER without parameters,
  // DISP_E_NONAMEDARGS with named arguments; otherwise the event is handled
  // (or ignored) and DISP_E_MEMBERNOTFOUND returned, as for any member the
  // sink does not implement as a method.
  plat::HRESULT Invoke(plat::DISPID id, plat::DISPPARAMS* params);

  bool PositionTimerRunning() const { return timer_ != 0; }

  // wmhost::PlayerEvents
  void OnPlayStateChange(wmhost::PlayState state) override;
  void OnPositionChange(double oldPosition, double newPosition) override;
  void OnMediaChange(const wmhost::MediaItemPtr& item) override;
  void OnMediaError(const std::string& sourceUrl, const std::string& message) override;

 private:
  void KillPositionTimer();

  wmhost::EngineThread& thread_;
  std::function<double()> position_;
  std::function<bool()> ready_;
  IWMPlayerEventSink* callback_ = nullptr;
  unsigned timer_ = 0;
};
