// The Video controller: entering and leaving the Video module, its pages and
// settings, the way back, device and display changes, and opening the module
// on a folder for the TV and the record hub. Playback is video_playback.cpp.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <string>

#include "corebridge/core/config.h"
#include "corebridge/core/music_config.h"
#include "corebridge/core/section_text.h"
#include "corebridge/core/ui_system_object.h"
#include "corebridge/modules/video_capture_internal.h"
#include "corebridge/modules/video_controller_internal.h"
#include "platform/sys/debug_output.h"
#include "platform/sys/drive_table.h"

namespace video_controller {

CVideoConfig* Section(CUISystem& system) {
  CConfig* config = system.Config();
  return config ? config->m_pVideo.get() : nullptr;
}

void ShowStatePage(CUISystem& system) {
  if (IVideoPageEvents* page = system.VideoPageCallback()) page->ShowStatePage();
}

void RedrawPage(CUISystem& system, int flag) {
  if (IVideoPageEvents* page = system.VideoPageCallback()) page->Redraw(flag);
}

void GoToState(CUISystem& system, int state, bool both) {
  CVideoConfig* video = Section(system);
  if (!video) return;
  video->m_nView = state;
  if (both) video->m_nPreviousView = state;
  ShowStatePage(system);
}

// The remote-control window's number for the Video module.
constexpr int kRemoteVideoModule = 10;

void NotifyMode(CUISystem& system, int mode) {
  static constexpr const char* kModeTexts[] = {"",        "PLAY MODE",     "PAUSE MODE", "STOP MODE",
                                               "FF MODE", "RW MODE",       "PREVIOUS MODE", "NEXT MODE"};
  if (system.VendorId() != 1 || mode < 1 || mode > 7) return;
  system.PostHotkeyControllerMode(mode, kRemoteVideoModule, kModeTexts[mode]);
}

bool InDvCapture(const CVideoConfig& video) {
  return video.m_nView == VIDEO_VIEW_CAPTURE && video.m_nCaptureSource == VIDEO_SOURCE_DV;
}

std::vector<std::string>& ListOfState(CVideoConfig& video, int state) {
  if (state == VIDEO_VIEW_RECENT) return video.m_recentFiles;
  if (state == VIDEO_VIEW_EDIT) return video.m_arrEditList;
  return video.m_folderFiles;
}

int& IndexOfState(CVideoConfig& video, int state) {
  if (state == VIDEO_VIEW_RECENT) return video.m_nRecentIndex;
  if (state == VIDEO_VIEW_EDIT) return video.m_nEditIndex;
  return video.m_nFolderIndex;
}

}  // namespace video_controller

using namespace video_controller;

namespace {

constexpr std::array<int, 15> kSpeedLadder = {-320000, -160000, -80000, -40000, -20000, -15000, -10000, 0,
                                              10000,   15000,   20000,  40000,  80000,  160000, 320000};

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() && section_text::EqualNoCase(std::string_view(text).substr(0, prefix.size()), prefix);
}

// Deletes a file or a link; folders and other kinds are refused and kept.
bool DeleteVideoFile(const std::string& path) {
  struct stat info{};
  if (::lstat(path.c_str(), &info) != 0) {
    plat::OutputDebugStringA(("Video delete: cannot reach " + path).c_str());
    return false;
  }
  if (!S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode)) {
    plat::OutputDebugStringA(("Video delete: not a file, kept: " + path).c_str());
    return false;
  }
  if (::unlink(path.c_str()) != 0) {
    plat::OutputDebugStringA(("Video delete: " + path + ": " + std::strerror(errno)).c_str());
    return false;
  }
  return true;
}

}  // namespace

int CUISystem::VideoEntry(std::intptr_t, std::intptr_t) {
  CVideoConfig* video = Section(*this);
  if (!m_pConfig || !video) return 0;
  if (m_pConfig->m_nActiveModule == MODULE_VIDEO) return 1;
  if (m_pConfig->m_nActiveModule != MODULE_NONE) OnHome(0, 0);
  if (m_pVideoPage) m_pVideoPage->EnterModule();
  video->m_speedLadder = kSpeedLadder;
  m_pConfig->m_nActiveModule = MODULE_VIDEO;
  // Stored volume and mute, and the playback bar's view of them.
  m_coreAudioSink.OnMixerChange();
  video_capture::BuildDiscFormats(*this, *video);
  if (m_pUICallback) m_pUICallback->NotifyCaptionBar(1);
  return 1;
}

int CUISystem::VideoMyVideos(std::intptr_t, std::intptr_t) {
  GoToState(*this, VIDEO_VIEW_FOLDER, true);
  return 1;
}

int CUISystem::VideoRecentVideos(std::intptr_t, std::intptr_t) {
  GoToState(*this, VIDEO_VIEW_RECENT, true);
  return 1;
}

int CUISystem::VideoBrowsePage(std::intptr_t, std::intptr_t) {
  GoToState(*this, VIDEO_VIEW_BROWSE, true);
  return 1;
}

int CUISystem::VideoEditPage(std::intptr_t, std::intptr_t) {
  CVideoConfig* video = Section(*this);
  if (video && video->m_bEditList) {
    video->m_nEditIndex = 0;
    GoToState(*this, VIDEO_VIEW_EDIT, true);
  }
  return 1;
}

int CUISystem::VideoMarkPage(std::intptr_t, std::intptr_t) {
  GoToState(*this, VIDEO_VIEW_MARK, false);
  return 1;
}

int CUISystem::VideoBurnVideo(std::intptr_t, std::intptr_t) {
  GoToState(*this, VIDEO_VIEW_BURN, false);
  return 1;
}

int CUISystem::VideoGeneralSetting(std::intptr_t, std::intptr_t) {
  GoToState(*this, VIDEO_VIEW_GENERAL_SETTING, false);
  return 1;
}

int CUISystem::VideoCaptureSetting(std::intptr_t, std::intptr_t) {
  GoToState(*this, VIDEO_VIEW_CAPTURE_SETTING, false);
  return 1;
}

int CUISystem::VideoBurnSelectReturn(std::intptr_t, std::intptr_t) {
  CVideoConfig* video = Section(*this);
  if (!video) return 0;
  GoToState(*this, video->m_nPreviousView, false);
  return 1;
}

int CUISystem::VideoSettingReturn(std::intptr_t, std::intptr_t) {
  CVideoConfig* video = Section(*this);
  if (!video) return 0;
  GoToState(*this, video->m_nPreviousView, false);
  if (!section_text::FolderExists(video->m_strDefaultFolder)) VideoReturnToDeviceSelection(0, 0);
  return 1;
}

int CUISystem::VideoReturnToDeviceSelection(std::intptr_t, std::intptr_t) {
  CVideoConfig* video = Section(*this);
  if (!video) return 0;
  if (!video->m_strDeviceName.empty()) {
    // Opened on a volume by another module: the page's state 17 sends the
    // pending back action with an empty record.
    VideoStopModule(0, 0);
    video->m_nPendingActionMode = 0;
    video->m_strDeviceName.clear();
    GoToState(*this, VIDEO_VIEW_DEVICE_RETURN, false);
  } else {
    GoToState(*this, VIDEO_VIEW_DEVICES, true);
  }
  return 1;
}

int CUISystem::VideoRecord(std::intptr_t, std::intptr_t) {
  CVideoConfig* video = Section(*this);
  if (!video || VendorId() != 4 || video->m_strDeviceName.empty() || video->m_arrEditList.empty()) return 0;
  VideoStopModule(0, 0);
  video->m_nPendingActionMode = 1;
  video->m_strDeviceName.clear();
  GoToState(*this, VIDEO_VIEW_DEVICE_RETURN, false);
  return 1;
}

int CUISystem::VideoClearRecentRecords(std::intptr_t, std::intptr_t) {
  if (m_pVideoPage) m_pVideoPage->ClearRecentVideos();
  RedrawPage(*this, 1);
  return 1;
}

int CUISystem::VideoDelete(std::intptr_t, std::intptr_t) {
  CVideoConfig* video = Section(*this);
  if (!video) return 0;
  bool all = true;
  for (const std::string& path : video->m_arrEditList) all = DeleteVideoFile(path) && all;
  video->m_arrEditList.clear();
  video->m_nEditIndex = -1;
  RedrawPage(*this, 0);
  return all ? 1 : 0;
}

int CUISystem::VideoSortByName(std::intptr_t, std::intptr_t) {
  CVideoConfig* video = Section(*this);
  if (!video) return 0;
  video->SetVideoSortMode(VIDEO_SORT_BY_NAME);
  video->SortVideoFiles();
  RedrawPage(*this, 1);
  return 1;
}

int CUISystem::VideoSortByDate(std::intptr_t, std::intptr_t) {
  CVideoConfig* video = Section(*this);
  if (!video) return 0;
  video->SetVideoSortMode(VIDEO_SORT_BY_DATE);
  video->SortVideoFiles();
  RedrawPage(*this, 1);
  return 1;
}

int CUISystem::VideoScreenSizeStep(std::intptr_t, std::intptr_t) {
  SetScreenRatioMode(0);
  RedrawPage(*this, 1);
  return 1;
}

int CUISystem::VideoScreenModeStep(std::intptr_t, std::intptr_t) {
  CVideoConfig* video = Section(*this);
  if (!video || !m_pConfig) return 0;
  int& mode = m_pConfig->m_nDisplayMode == 1 ? video->m_nScreenMode4x3 : video->m_nScreenMode16x9;
  mode = mode == 1 ? 2 : 1;
  RedrawPage(*this, 1);
  return 1;
}

int CUISystem::VideoSetSnapshotFolder(std::intptr_t, std::intptr_t) {
  CVideoConfig* video = Section(*this);
  if (!video) return 0;
  video->m_nFolderKind = 0;
  GoToState(*this, VIDEO_VIEW_SELECT_FOLDER, false);
  return 1;
}

int CUISystem::VideoSetDefaultFolder(std::intptr_t, std::intptr_t) {
  CVideoConfig* video = Section(*this);
  if (!video) return 0;
  video->m_nFolderKind = 1;
  GoToState(*this, VIDEO_VIEW_SELECT_FOLDER, false);
  return 1;
}

int CUISystem::VideoSetCapturedFolder(std::intptr_t, std::intptr_t) {
  CVideoConfig* video = Section(*this);
  if (!video) return 0;
  video->m_nFolderKind = 2;
  GoToState(*this, VIDEO_VIEW_SELECT_FOLDER, false);
  return 1;
}

int CUISystem::VideoSelectFolder(std::intptr_t a, std::intptr_t b) {
  CVideoConfig* video = Section(*this);
  if (!video) return 0;
  // An empty selection never replaces a folder setting.
  const std::string& chosen = video->m_strSelectedFolder;
  if (!chosen.empty()) {
    switch (video->m_nFolderKind) {
      case 0: video->m_strSnapshotFolder = chosen; break;
      case 1: video->m_strDefaultFolder = chosen; break;
      case 2:
        (VendorId() == 2 ? video->m_strArchiveFolder : video->m_strCapturedFolder) = chosen;
        break;
      default: break;
    }
  }
  return VideoCancelSelectFolder(a, b);
}

int CUISystem::VideoCancelSelectFolder(std::intptr_t, std::intptr_t) {
  CVideoConfig* video = Section(*this);
  if (!video) return 0;
  video->m_strSelectedFolder.clear();
  GoToState(*this, video->m_nFolderKind == 2 ? VIDEO_VIEW_CAPTURE_SETTING : VIDEO_VIEW_GENERAL_SETTING, false);
  return 1;
}

int CUISystem::VideoDefaultSetting(std::intptr_t, std::intptr_t) {
  CVideoConfig* video = Section(*this);
  if (!video || !m_pConfig) return 0;
  video->ResetVideoDefaults();
  if (VendorId() == 2) {
    if (!video->m_arrDiscFormats.empty()) {
      video->m_nDiscTypeIndex = 0;
      video->m_strDiscFormat = video->m_arrDiscFormats.front();
    }
    video->m_strBrowseFolder = m_pConfig->m_strVideoFolder;
    RedrawPage(*this, 1);
  }
  if (video->m_nView == VIDEO_VIEW_GENERAL_SETTING) RedrawPage(*this, 1);
  return 1;
}

int CUISystem::VideoArchive(std::intptr_t, std::intptr_t) {
  GoToState(*this, VIDEO_VIEW_BROWSE, true);
  return 1;
}

int CUISystem::VideoCdDvd(std::intptr_t, std::intptr_t) {
  CVideoConfig* video = Section(*this);
  if (!video || !m_pConfig) return 0;
  const auto volume = plat::FindVolume(m_pConfig->m_szDriveRoots[1]);
  if (!volume || volume->root.empty()) return 0;
  video->m_strOpenFolderPath = volume->root;
  video->m_bOpenFolderPending = 1;
  GoToState(*this, VIDEO_VIEW_BROWSE, true);
  return 1;
}

int CUISystem::VideoOpenOnFolder(const std::string& folder, const std::string& backAction) {
  CVideoConfig* video = Section(*this);
  if (!video) return 0;
  const std::string& target = folder.empty() ? video->m_strDefaultFolder : folder;
  video->m_strPendingAction = backAction;
  video->m_strDeviceName = target;
  video->m_strOpenFolderPath = target;
  video->m_bOpenFolderPending = 1;
  if (!VideoEntry(0, 0)) return 0;
  GoToState(*this, VIDEO_VIEW_BROWSE, true);
  return 1;
}

int CUISystem::VideoBack(std::intptr_t, std::intptr_t) {
  RunStep("VideoBack");
  CVideoConfig* video = Section(*this);
  if (!video) return 0;
  switch (video->m_nView) {
    case 0:
    case VIDEO_VIEW_DEVICES: return OnHome(0, 0);
    case VIDEO_VIEW_FOLDER: return VideoReturnToDeviceSelection(0, 0);
    case VIDEO_VIEW_PLAYING: return VideoExitPlayback(0, 0);
    case VIDEO_VIEW_CAPTURE:
    case VIDEO_VIEW_NO_CAPTURE_DEVICE:
      return plat::SUCCEEDED(ExecuteAction("Video Capture Video Return", 0, 0)) ? 1 : 0;
    case VIDEO_VIEW_CAPTURE_SETTING: return VideoSettingReturn(0, 0);
    case VIDEO_VIEW_SELECT_FOLDER:
      VideoCancelSelectFolder(0, 0);
      return 0;
    case VIDEO_VIEW_BROWSE:
      // Opened on a volume by another module: back to that module.
      if (!video->m_strPendingAction.empty()) return VideoReturnToDeviceSelection(0, 0);
      return 0;
    default: return 0;
  }
}

int CUISystem::VideoStopModule(std::intptr_t, std::intptr_t) {
  RunStep("VideoStopModule");
  CVideoConfig* video = Section(*this);
  VideoCaptureStopModule();
  if (m_pUICallback) m_pUICallback->SetPlaybackBarVisible(0, 0);
  if (video) {
    if (!video->m_strOpenFile.empty()) {
      StopFile(*this);
      if (m_pUICallback) m_pUICallback->SetCaptionBarVisible(0, 0);
    }
    video->m_nView = VIDEO_VIEW_FOLDER;
    video->m_nPreviousView = VIDEO_VIEW_FOLDER;
  }
  if (m_pConfig) m_pConfig->m_nActiveModule = MODULE_NONE;
  return 1;
}

int CUISystem::VideoOnDeviceChange(int event, int drive) {
  RunStep(("VideoOnDeviceChange " + std::to_string(event) + " " + std::to_string(drive)).c_str());
  CVideoConfig* video = Section(*this);
  if (!video || !m_pConfig) return 0;
  if (event == 0x8000) {
    if (m_pVideoPage) m_pVideoPage->ResetDeviceList();
    int kind = 0;
    if (GetDriveMediaKind(drive, kind) && kind == 1 && m_pConfig->m_pMusic) m_pConfig->m_pMusic->m_bRescan = 1;
    return 1;
  }
  if (event == 0x8004 && drive >= 0 && drive < 26) {
    const std::string letter{static_cast<char>('A' + drive), ':'};
    const std::string& folder = video->m_strDefaultFolder;
    // The volume held the default folder when the folder names its letter
    // or is gone with the volume.
    const bool held = StartsWithNoCase(folder, letter) || (!folder.empty() && !section_text::FolderExists(folder));
    if (held && (video->m_nView == VIDEO_VIEW_FOLDER || video->m_nView == VIDEO_VIEW_PLAYING)) {
      if (!video->m_strOpenFile.empty()) StopFile(*this);
      VideoReturnToDeviceSelection(0, 0);
    }
    return 1;
  }
  return 0;
}

