#include "corebridge/core/display_probe.h"

#include "platform/sys/clock.h"
#include "platform/win/system.h"

CDisplayProbe::CDisplayProbe(DisplayProbeEnvironment environment) : m_env(std::move(environment)) {
  if (!m_env.probes) m_env.probes = std::make_shared<DisplayDriverProbes>();
  if (!m_env.monitorCount) m_env.monitorCount = [] { return plat::GetSystemMetrics(plat::SM_CMONITORS); };
  if (!m_env.tickCount) m_env.tickCount = [] { return static_cast<std::uint32_t>(plat::GetTickCount()); };
}

int CDisplayProbe::IdentifyDisplayAdapter() {
  CDisplayAdapterList list(m_env.pciDevicesDir);
  return ::IdentifyDisplayAdapter(list);
}

int CDisplayProbe::DisplayCapability(int family) {
  const int monitors = m_env.monitorCount();
  if (monitors > 1) return 2;
  if (family == 0) family = IdentifyDisplayAdapter();

  switch (DisplayFamilyBase(family)) {
    case kFamilyOverlayControlProbe:
      return m_env.probes->OverlayControlProbe();
    case kFamilyDisplayLibraryProbe:
      return m_env.probes->DisplayLibraryProbe();
    case kFamilyEscapeProbe:
      return m_env.probes->EscapeProbe();
    case kFamilyDisplayComponentProbe:
      return DisplayComponentProbe();
    default:
      return 1;
  }
}

int CDisplayProbe::DisplayComponentProbe() {
  if (!m_env.probes->CreateDisplayComponent()) return 0;
  const std::uint32_t now = m_env.tickCount();
  // Unsigned difference: right across the tick count's wrap.
  if (m_bComponentCached && now - m_dwComponentTime < kComponentCacheMs) return m_nComponentResult;
  m_nComponentResult = m_env.probes->DisplayComponentLayout();
  m_dwComponentTime = now;
  m_bComponentCached = true;
  return m_nComponentResult;
}

int CDisplayProbe::HoldDisplayOverlay(int flag) {
  if (flag == 0) {
    m_bOverlayHeld = false;
    return 1;
  }
  if (m_bOverlayHeld) return 0;
  m_bOverlayHeld = true;
  return 1;
}
