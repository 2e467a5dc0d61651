// The remote-control helper window's messages and the dispatch of the
// remote's special keys into key presses and actions.
#include <cstdio>

#include "corebridge/core/config.h"
#include "corebridge/core/hidden_window.h"
#include "corebridge/core/registry_key.h"
#include "corebridge/core/ui_system_object.h"
#include "platform/sys/debug_output.h"
#include "platform/registry/registry.h"
#include "platform/sys/drive_table.h"
#include "platform/win/keys.h"
#include "platform/win/message.h"
#include "platform/win/window.h"

using namespace plat;

namespace {

constexpr WPARAM kCtrl = 0x10000000;
constexpr WPARAM kShift = 0x100;

HWND RemoteWindow() { return FindWindow("RemoteKeyWndClass", "RemoteKeyWnd"); }

void PostKey(WPARAM key) {
  if (HWND focus = GetFocus()) PostMessage(focus, WM_KEYDOWN, key, 0);
}

// Keys that mean the same in both layouts; 0 when the code is none of them.
WPARAM FixedKey(std::intptr_t code) {
  switch (code) {
    case 1: return VK_BACK;
    case 4: return 'S';
    case 8: return 'Z';
    case 46: return kCtrl | 'P';
    case 47: return kShift | VK_SPACE;
    case 48: return 'R';
    case 51: return kCtrl | VK_ADD;
    case 52: return kCtrl | VK_SUBTRACT;
    case 0x10010000: return kCtrl | 'T';
    case 0x10020000: return kCtrl | 'N';
    case 0x10030000: return kCtrl | 'U';
    case 0x10040000: return kCtrl | 'M';
    case 0x10050000: return kCtrl | 'I';
    case 0x10070000: return 0x75;  // F6
    case 0x10080000: return 0x77;  // F8
    case 0x10090000:
    case 0x10140000: return 0x72;  // F3
    case 0x100A0000: return VK_F4;
    case 0x10120000: return 'T';
    case 0x10130000: return 0x74;  // F5
    case 0x10150000: return 0x76;  // F7
    case 0x10170000: return kCtrl | 'S';
    case 0x10180000: return kCtrl | 'A';
    case 0x101A0000: return kCtrl | 'X';
    default: return 0;
  }
}

bool IsTransportKey(std::intptr_t code) { return (code >= 9 && code <= 14) || code == 49 || code == 50; }

WPARAM PlainTransportKey(std::intptr_t code) {
  switch (code) {
    case 9: return VK_SUBTRACT;
    case 10: return VK_ADD;
    case 11: return 'N';
    case 12: return 'P';
    case 13: return 'S';
    case 14: return VK_SPACE;
    case 49: return 'F';
    case 50: return 'B';
    default: return 0;
  }
}

WPARAM FiveKeyFallback(std::intptr_t code) {
  switch (code) {
    case 9: return VK_DOWN;
    case 10: return VK_UP;
    case 11:
    case 49: return VK_RIGHT;
    case 12:
    case 50: return VK_LEFT;
    case 14: return VK_RETURN;
    default: return 0;  // 13 has none
  }
}

}  // namespace

int CUISystem::PostHotkeyControllerMode(int mode, int lParam, const char* text) {
  if (HWND remote = RemoteWindow()) PostMessage(remote, WM_REMOTE_MODE, static_cast<WPARAM>(mode), lParam);
  if (text && m_pConfig && m_pConfig->m_bDebugNotices) OutputDebugStringA(text);
  return 1;
}

int CUISystem::QueryBrightness(int& level) {
  level = 0;
  HWND remote = RemoteWindow();
  if (!remote) return 0;
  level = static_cast<int>(SendMessage(remote, WM_REMOTE_MODE, 12, 0));
  return 1;
}

int CUISystem::SetBrightness(int level) {
  HWND remote = RemoteWindow();
  if (remote) PostMessage(remote, WM_REMOTE_MODE, 13, level);
  if (m_pConfig && m_pConfig->m_bDebugNotices) {
    char text[64];
    std::snprintf(text, sizeof(text), "Set brightness level :  %d", level);
    OutputDebugStringA(text);
  }
  return remote ? 1 : 0;
}

bool CUISystem::FiveKeyLayout() const {
  CRegistryKey key(HKEY_LOCAL_MACHINE);
  DWORD value = 0;
  return key.Open(HKEY_LOCAL_MACHINE, CConfig::kRegistryKey, true) && key.QueryDword("Vadu5Keys", value) && value != 0;
}

bool CUISystem::ActionAvailable(const char* name) const {
  return !m_isActionAvailable || m_isActionAvailable(name);
}

// The five-key layout's action for a transport key in the active module;
// false when the key is not taken as an action there.
bool CUISystem::RunFiveKeyAction(std::intptr_t code) {
  if (!m_pConfig) return false;
  const CModuleStates& s = *m_pStates;
  struct Choice {
    const char* name;
    ActionHandler handler;
  };
  Choice choice{nullptr, nullptr};
  switch (m_pConfig->m_nActiveModule) {
    case MODULE_MOVIE: {
      const int state = s.nMoviePlayState;
      if (state < 3 || state > 5) return false;
      switch (code) {
        case 9: choice = {"Vol Down", &CUISystem::OnVolDown}; break;
        case 10: choice = {"Vol Up", &CUISystem::OnVolUp}; break;
        case 11: choice = {"Movie NextChapter", &CUISystem::OnMovieNextChapter}; break;
        case 12: choice = {"Movie PreChapter", &CUISystem::OnMoviePreChapter}; break;
        case 13: choice = {"Movie Stop", &CUISystem::OnMovieStop}; break;
        case 14:
          if (state == 4) choice = {"Movie Pause", &CUISystem::OnMoviePause};
          else choice = {"Movie Play", &CUISystem::OnMoviePlay};
          break;
        case 49: choice = {"Movie FastForeward", &CUISystem::OnMovieFastForeward}; break;
        case 50: choice = {"Movie Rewind", &CUISystem::OnMovieRewind}; break;
        default: break;
      }
      break;
    }
    case MODULE_MUSIC: {
      if (s.nMusicState == 2) return false;
      switch (code) {
        case 9: choice = {"Vol Down", &CUISystem::OnVolDown}; break;
        case 10: choice = {"Vol Up", &CUISystem::OnVolUp}; break;
        case 11: choice = {"Music Next Track", &CUISystem::OnMusicNextTrack}; break;
        case 12: choice = {"Music Previous Track", &CUISystem::OnMusicPreviousTrack}; break;
        case 13: choice = {"Music Stop", &CUISystem::OnMusicStop}; break;
        case 14: choice = {"Music Play Pause", &CUISystem::OnMusicPlayPause}; break;
        case 49: choice = {"Music Fastforward", &CUISystem::OnMusicFastforward}; break;
        case 50: choice = {"Music Rewind", &CUISystem::OnMusicRewind}; break;
        default: break;
      }
      break;
    }
    case MODULE_PHOTO: {
      const bool slideShow = s.nPhotoState == 1;
      const bool single = s.nPhotoState == 2;
      if (!slideShow && !single) return false;
      switch (code) {
        case 9:
          choice = single ? Choice{"Photo NextImage", &CUISystem::OnPhotoNextImage} : Choice{"Vol Down", &CUISystem::OnVolDown};
          break;
        case 10:
          choice = single ? Choice{"Photo PreviousImage", &CUISystem::OnPhotoPreviousImage}
                          : Choice{"Vol Up", &CUISystem::OnVolUp};
          break;
        case 11:
          choice = slideShow ? Choice{"Photo Slideshow NextSlide", &CUISystem::OnPhotoSlideshowNextSlide}
                             : Choice{"Photo Rotate Right", &CUISystem::OnPhotoRotateRight};
          break;
        case 12:
          choice = slideShow ? Choice{"Photo Slideshow PreviousSlide", &CUISystem::OnPhotoSlideshowPreviousSlide}
                             : Choice{"Photo Rotate Left", &CUISystem::OnPhotoRotateLeft};
          break;
        case 13: choice = {"Photo Slideshow Stop", &CUISystem::PhotoStopSlideShow}; break;
        case 14: choice = {"Photo Slideshow Play Pause", &CUISystem::OnPhotoSlideshowPlayPause}; break;
        case 49:
          choice = slideShow ? Choice{"Photo Slideshow Fastforward", &CUISystem::OnPhotoSlideshowFastforward}
                             : Choice{"Photo Rotate Right", &CUISystem::OnPhotoRotateRight};
          break;
        case 50:
          choice = slideShow ? Choice{"Photo Slideshow Rewind", &CUISystem::OnPhotoSlideshowRewind}
                             : Choice{"Photo Rotate Left", &CUISystem::OnPhotoRotateLeft};
          break;
        default: break;
      }
      break;
    }
    case MODULE_VIDEO: {
      const int state = s.nVideoPlayState;
      if (state < 2) return false;
      switch (code) {
        case 9: choice = {"Vol Down", &CUISystem::OnVolDown}; break;
        case 10: choice = {"Vol Up", &CUISystem::OnVolUp}; break;
        case 11: choice = {"Video Next Video", &CUISystem::VideoKeyNext}; break;
        case 12: choice = {"Video Previous Video", &CUISystem::VideoKeyPrevious}; break;
        case 13: choice = {"Video Stop", &CUISystem::VideoExitPlayback}; break;
        case 14:
          choice = state == 2 ? Choice{"Video Pause", &CUISystem::VideoPlayPause} : Choice{"Video Play", &CUISystem::VideoPlay};
          break;
        case 49: choice = {"Video FastForeward", &CUISystem::VideoKeyFastForward}; break;
        case 50: choice = {"Video Rewind", &CUISystem::VideoKeyRewind}; break;
        default: break;
      }
      break;
    }
    default: return false;
  }
  if (!choice.handler || !ActionAvailable(choice.name)) return false;
  (this->*choice.handler)(0, 0);
  return true;
}

bool CUISystem::SomethingPlays() const {
  return m_pStates->nMoviePlayState >= 3 || m_pStates->nMusicState != 2 || m_pStates->nPhotoState == 1 ||
         m_pStates->nVideoPlayState >= 2;
}

void CUISystem::ToggleAllTrays() {
  auto drives = CoreService<IDriveEnumerator>();
  if (!drives) return;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const char root[] = {letter, ':', '\\', 0};
    if (GetDriveTypeA(root) != DRIVE_CDROM) continue;
    const int drive = letter - 'A';
    int state = 0;
    drives->GetDoorState(drive, &state);
    drives->MoveDoor(drive, state == kDoorOpen ? kDoorMoveClose : kDoorMoveOpen);
  }
}

int CUISystem::HotkeyDispatch(std::intptr_t, std::intptr_t code, std::intptr_t) {
  if (code == 7 || code == 0x10110000) {
    if (m_pConfig && m_pConfig->m_nActiveModule != MODULE_NONE) {
      ExecuteAction("Home", 0, 0);
    } else if (m_pUICallback) {
      m_pUICallback->QuitApplication();
    }
    return code == 7 ? 1 : 0;
  }
  if (code == 0x10060000) {
    ExecuteAction("Home", 0, 0);
    return 0;
  }
  if (IsTransportKey(code)) {
    if (!FiveKeyLayout()) {
      const bool ejectOption = m_pConfig && (m_pConfig->m_nGeneralFeatures & 4) != 0;
      if (code == 13 && VendorId() == 3 && ejectOption && !SomethingPlays()) {
        ToggleAllTrays();
      } else {
        PostKey(PlainTransportKey(code));
      }
    } else if (!RunFiveKeyAction(code)) {
      if (const WPARAM key = FiveKeyFallback(code)) PostKey(key);
    }
    return 1;
  }
  if (const WPARAM key = FixedKey(code)) {
    PostKey(key);
    return code == 8 ? 1 : 0;
  }
  return 0;
}
