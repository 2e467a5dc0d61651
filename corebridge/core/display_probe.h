// What the display hardware can do with a video overlay, as a small code the
// Photo module reads before it starts a slide show on the overlay:
//   0  the chip family's overlay interface is missing or failed
//   1  no special overlay support known (or an unknown chip family)
//   2  more than one monitor, or a family whose driver reports that layout
//   3, 4, 5  the driver's overlay modes
// The family comes from the display adapter (corebridge/core/display_adapter.h)
// and picks which driver interface is asked. None of those driver interfaces
// exists on this platform, so each of their probes answers as for a missing
// library; they stay behind DisplayDriverProbes so the dispatch is kept whole.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>

#include "corebridge/core/display_adapter.h"

// Base codes of the families whose driver interface is probed.
inline constexpr int kFamilyEscapeProbe = 21930;
inline constexpr int kFamilyDisplayComponentProbe = 21946;
inline constexpr int kFamilyOverlayControlProbe = 21962;
inline constexpr int kFamilyDisplayLibraryProbe = 21978;

// A family code rounded down to its base code.
constexpr int DisplayFamilyBase(int family) { return ((family - 21930) & 0xFFF0) + 21930; }

// The display drivers' overlay interfaces. The defaults answer as each
// probe does when its library, entry point or component is missing.
class DisplayDriverProbes {
 public:
  virtual ~DisplayDriverProbes() = default;
  virtual int OverlayControlProbe() { return 0; }
  virtual int DisplayLibraryProbe() { return 0; }
  virtual int EscapeProbe() { return 0; }
  // The outside display component: false when it cannot be created.
  virtual bool CreateDisplayComponent() { return false; }
  // Its answer about the attached display devices (1, 2 or 3).
  virtual int DisplayComponentLayout() { return 1; }
};

struct DisplayProbeEnvironment {
  // Monitors on the desktop; by default the display backend's count
  // (GetSystemMetrics(SM_CMONITORS)).
  std::function<int()> monitorCount;
  // Milliseconds of a clock that never goes back, wrapping at 2^32; by
  // default the process clock's tick count.
  std::function<std::uint32_t()> tickCount;
  std::filesystem::path pciDevicesDir = kPciDevicesDir;
  std::shared_ptr<DisplayDriverProbes> probes = std::make_shared<DisplayDriverProbes>();
};

class CDisplayProbe {
 public:
  // The display component's answer is reused for this long.
  static constexpr std::uint32_t kComponentCacheMs = 1000;

  explicit CDisplayProbe(DisplayProbeEnvironment environment = {});

  // `family` 0 identifies the display adapter first.
  int DisplayCapability(int family);
  // The chip-family code of the display adapter, from a fresh device list.
  int IdentifyDisplayAdapter();
  // 1 reserves the video overlay for a slide show, 0 gives it back. Returns 1,
  // and 0 when a reservation finds the overlay already reserved.
  int HoldDisplayOverlay(int flag);

  bool OverlayHeld() const { return m_bOverlayHeld; }

 private:
  int DisplayComponentProbe();

  DisplayProbeEnvironment m_env;
  bool m_bOverlayHeld = false;
  bool m_bComponentCached = false;
  int m_nComponentResult = 0;
  std::uint32_t m_dwComponentTime = 0;
};
