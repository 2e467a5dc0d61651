// The Video module's action names, with their ids and handlers. The capture
// actions go to the capture controller with their ids.
#include "corebridge/core/ui_system_object.h"

namespace {
struct Registration {
  const char* name;
  int id;
  ActionHandler handler;
};
}  // namespace

void CUISystem::RegisterVideoActions() {
  static const Registration kActions[] = {
      {"Video DefaultSetting Enter", 245, &CUISystem::VideoDefaultSetting},
      {"Video Change Video Size", 246, &CUISystem::VideoChangeVideoSize},
      {"Video Return to Device Selection", 247, &CUISystem::VideoReturnToDeviceSelection},
      {"Video My Videos", 248, &CUISystem::VideoMyVideos},
      {"Video Recent Videos", 249, &CUISystem::VideoRecentVideos},
      {"Video Clear Recent Video Records", 250, &CUISystem::VideoClearRecentRecords},
      {"Video Browse Page", 251, &CUISystem::VideoBrowsePage},
      {"Video Edit Page", 252, &CUISystem::VideoEditPage},
      {"Video Mark Page", 253, &CUISystem::VideoMarkPage},
      {"Video Capture Video Return", 254, &CUISystem::VideoCaptureById<254>},
      {"Video Burn Video", 255, &CUISystem::VideoBurnVideo},
      {"Video Burn Select Return", 256, &CUISystem::VideoBurnSelectReturn},
      {"Video Sort By Name", 257, &CUISystem::VideoSortByName},
      {"Video Sort By Date", 258, &CUISystem::VideoSortByDate},
      {"Video General Setting", 259, &CUISystem::VideoGeneralSetting},
      {"Video Capture Setting", 260, &CUISystem::VideoCaptureSetting},
      {"Video Setting Return", 261, &CUISystem::VideoSettingReturn},
      {"Video ScreenSize Left", 262, &CUISystem::VideoScreenSizeStep},
      {"Video ScreenSize Right", 271, &CUISystem::VideoScreenSizeStep},
      {"Video ScreenMode Left", 272, &CUISystem::VideoScreenModeStep},
      {"Video ScreenMode Right", 273, &CUISystem::VideoScreenModeStep},
      {"Video Capturing Disc Type Left", 274, &CUISystem::VideoCaptureById<274>},
      {"Video Capturing Disc Type Right", 275, &CUISystem::VideoCaptureById<275>},
      {"Video Capturing Disc Format Left", 276, &CUISystem::VideoCaptureById<276>},
      {"Video Capturing Disc Format Right", 277, &CUISystem::VideoCaptureById<277>},
      {"Video Set Snapshot Folder", 278, &CUISystem::VideoSetSnapshotFolder},
      {"Video Set Default Folder", 279, &CUISystem::VideoSetDefaultFolder},
      {"Video Set Captured Folder", 280, &CUISystem::VideoSetCapturedFolder},
      {"Video Select Folder", 281, &CUISystem::VideoSelectFolder},
      {"Video Cancel Select Folder", 282, &CUISystem::VideoCancelSelectFolder},
      {"Video File View", 283, &CUISystem::OnNoEffect},
      {"Video Folder View", 284, &CUISystem::OnNoEffect},
      {"Video Delete", 285, &CUISystem::VideoDelete},
      {"Video Rename", 286, &CUISystem::OnNoEffect},
      {"Video Burn", 287, &CUISystem::OnNoEffect},
      {"Video Move", 288, &CUISystem::OnNoEffect},
      {"Video Edit", 289, &CUISystem::OnNoEffect},
      {"Video Archive", 290, &CUISystem::VideoArchive},
      {"Video CD/DVD", 291, &CUISystem::VideoCdDvd},
      {"Video DV", 292, &CUISystem::OnNoEffect},
      {"Video Composite In", 293, &CUISystem::OnNoEffect},
      {"Video SVideo In", 294, &CUISystem::OnNoEffect},
      {"Video Previous Video", 295, &CUISystem::VideoKeyPrevious},
      {"Video Rewind", 296, &CUISystem::VideoKeyRewind},
      {"Video Play", 297, &CUISystem::VideoPlay},
      {"Video Pause", 298, &CUISystem::VideoPlayPause},
      {"Video Stop", 299, &CUISystem::VideoExitPlayback},
      {"Video FastForeward", 300, &CUISystem::VideoKeyFastForward},
      {"Video Next Video", 301, &CUISystem::VideoKeyNext},
      {"Video Take Snapshot", 302, &CUISystem::VideoTakeSnapshot},
      {"Video Record", 303, &CUISystem::VideoRecord},
      {"Video Play Pause", 304, &CUISystem::VideoPlayPauseToggle},
      {"Video Pause Play", 305, &CUISystem::VideoPausePlay},
      {"Video Capture Rewind", 306, &CUISystem::VideoCaptureById<306>},
      {"Video Capture Play", 307, &CUISystem::VideoCaptureById<307>},
      {"Video Capture Pause", 308, &CUISystem::VideoCaptureById<308>},
      {"Video Capture Stop", 309, &CUISystem::VideoCaptureById<309>},
      {"Video Capture FastForeward", 310, &CUISystem::VideoCaptureById<310>},
      {"Video Capture Video", 311, &CUISystem::VideoCaptureById<311>},
      {"Video Capture DV", 312, &CUISystem::VideoCaptureById<312>},
      {"Video Capture Webcam", 313, &CUISystem::VideoCaptureById<313>},
      {"Video Capture Composite", 314, &CUISystem::VideoCaptureById<314>},
      {"Video Capture SVideo", 315, &CUISystem::VideoCaptureById<315>},
      {"Video Start Capturing", 316, &CUISystem::VideoCaptureById<316>},
      {"Video Stop Capturing", 317, &CUISystem::VideoCaptureById<317>},
  };
  for (const auto& r : kActions) m_actions.Register(r.name, r.id, r.handler);
}
