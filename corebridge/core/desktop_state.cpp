#include "corebridge/core/desktop_state.h"

CDesktopState::CDesktopState(IDesktopBackend& backend, std::string programFolder)
    : m_backend(backend), m_strProgramFolder(std::move(programFolder)) {}

int CDesktopState::DesktopShow(plat::COLORREF colour) {
  const std::string folder = m_strProgramFolder.empty() ? std::string(".") : m_strProgramFolder;
  m_backend.OpenShowDesktop(folder + "/ShowDesktop.scf");
  m_bShown = true;
  m_crWanted = colour;
  Save();
  return 1;
}

int CDesktopState::DesktopRestore(plat::HWND window) {
  if (!m_bShown) return 0;
  Restore();
  m_bShown = false;
  if (window && m_backend.IsWindowMinimised(window)) m_backend.RestoreWindow(window);
  return 1;
}

int CDesktopState::DesktopGetState(plat::COLORREF& colour) const {
  colour = m_crWanted;
  return 1;
}

// Only the colour and the plain wallpaper: there is no active desktop layer
// to switch off here.
void CDesktopState::Save() {
  if (m_bSaved) return;
  const plat::COLORREF current = m_backend.GetBackgroundColor();
  m_dwChangeFlags = 0;
  m_strWallpaper.clear();
  m_bWallpaperRead = m_backend.GetWallpaper(m_strWallpaper);
  if (current != m_crWanted) m_backend.SetBackgroundColor(m_crWanted);
  m_backend.SetWallpaper({}, !m_bWallpaperRead);
  m_crSavedBackground = current;
  m_bSaved = true;
}

void CDesktopState::Restore() {
  if (!m_bSaved) return;
  m_bSaved = false;
  m_backend.SetBackgroundColor(m_crSavedBackground);
  m_backend.SetWallpaper(m_strWallpaper, !m_bWallpaperRead);
}
