// CDesktopState: makes the desktop behind the full-screen frame plain while
// video shows through the overlay (no wallpaper, a key colour) and puts it
// back when asked or when the UI-system object goes. The desktop itself is
// reached through a backend; the default one keeps the desktop's state in
// memory and changes nothing on the user's real desktop.
#pragma once

#include <string>
#include <vector>

#include "platform/core/types.h"

class IDesktopBackend {
 public:
  virtual ~IDesktopBackend() = default;
  virtual void OpenShowDesktop(const std::string& path) = 0;
  virtual plat::COLORREF GetBackgroundColor() = 0;
  virtual void SetBackgroundColor(plat::COLORREF colour) = 0;
  // False when the wallpaper cannot be read.
  virtual bool GetWallpaper(std::string& path) = 0;
  // `writeProfile`: also store the change in the user's profile.
  virtual void SetWallpaper(const std::string& path, bool writeProfile) = 0;
  virtual bool IsWindowMinimised(plat::HWND window) = 0;
  virtual void RestoreWindow(plat::HWND window) = 0;
};

// A desktop held in memory; every change is also logged (tests read it).
class CMemoryDesktop final : public IDesktopBackend {
 public:
  void OpenShowDesktop(const std::string& path) override { log.push_back("open " + path); }
  plat::COLORREF GetBackgroundColor() override { return colour; }
  void SetBackgroundColor(plat::COLORREF c) override {
    colour = c;
    log.push_back("colour");
  }
  bool GetWallpaper(std::string& path) override {
    path = wallpaper;
    return wallpaperReadable;
  }
  void SetWallpaper(const std::string& path, bool) override {
    wallpaper = path;
    log.push_back("wallpaper " + path);
  }
  bool IsWindowMinimised(plat::HWND) override { return minimised; }
  void RestoreWindow(plat::HWND) override {
    minimised = false;
    log.push_back("restore window");
  }

  plat::COLORREF colour = 0x00A56E3A;
  std::string wallpaper;
  bool wallpaperReadable = true;
  bool minimised = false;
  std::vector<std::string> log;
};

class CDesktopState {
 public:
  static constexpr plat::COLORREF kDefaultColour = 0x100010;

  explicit CDesktopState(IDesktopBackend& backend, std::string programFolder = {});
  CDesktopState(const CDesktopState&) = delete;
  CDesktopState& operator=(const CDesktopState&) = delete;

  // Opens "ShowDesktop.scf", keeps the colour and saves the desktop; 1.
  int DesktopShow(plat::COLORREF colour);
  // 0 unless shown; otherwise restores, clears the shown flag and restores a
  // minimised window; 1.
  int DesktopRestore(plat::HWND window);
  int DesktopGetState(plat::COLORREF& colour) const;

  bool Saved() const { return m_bSaved; }
  bool Shown() const { return m_bShown; }

 private:
  void Save();
  void Restore();

  IDesktopBackend& m_backend;
  std::string m_strProgramFolder;
  std::string m_strWallpaper;
  bool m_bWallpaperRead = false;
  plat::COLORREF m_crSavedBackground = 0;
  plat::DWORD m_dwChangeFlags = 0;
  bool m_bSaved = false;
  bool m_bShown = false;
  plat::COLORREF m_crWanted = kDefaultColour;
};
