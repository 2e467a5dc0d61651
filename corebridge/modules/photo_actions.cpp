// The Photo module's action names, with their ids and handlers. Zoom, the
// acquisition shortcuts and the folder view belong to a shared handler that
// does nothing here.
#include "corebridge/core/ui_system_object.h"

namespace {
struct Registration {
  const char* name;
  int id;
  ActionHandler handler;
};
}  // namespace

void CUISystem::RegisterPhotoActions() {
  static const Registration kActions[] = {
      {"Photo Exit", 169, &CUISystem::PhotoStopModule},
      {"Photo Slideshow Play", 170, &CUISystem::OnPhotoSlideshowPlay},
      {"Photo Slideshow Stop", 171, &CUISystem::PhotoStopSlideShow},
      {"Photo Slideshow Pause", 172, &CUISystem::OnPhotoSlideshowPause},
      {"Photo Slideshow Fastforward", 173, &CUISystem::OnPhotoSlideshowFastforward},
      {"Photo Slideshow Rewind", 174, &CUISystem::OnPhotoSlideshowRewind},
      {"Photo Slideshow NextSlide", 175, &CUISystem::OnPhotoSlideshowNextSlide},
      {"Photo Slideshow PreviousSlide", 176, &CUISystem::OnPhotoSlideshowPreviousSlide},
      {"Photo Slideshow Play Pause", 177, &CUISystem::OnPhotoSlideshowPlayPause},
      {"Photo Slideshow Pause Play", 178, &CUISystem::OnPhotoSlideshowPausePlay},
      {"Photo Slideshow Resize", 179, &CUISystem::OnPhotoSlideshowResize},
      {"Photo Fullscreen", 180, &CUISystem::OnPhotoFullscreen},
      {"Photo PreviousImage", 181, &CUISystem::OnPhotoPreviousImage},
      {"Photo NextImage", 182, &CUISystem::OnPhotoNextImage},
      {"Photo Clear Recent Picture", 183, &CUISystem::OnPhotoClearRecentPicture},
      {"Photo Sort By Name", 184, &CUISystem::OnPhotoSortByName},
      {"Photo Sort By Date", 185, &CUISystem::OnPhotoSortByDate},
      {"Photo Rotate Left", 186, &CUISystem::OnPhotoRotateLeft},
      {"Photo Rotate Right", 187, &CUISystem::OnPhotoRotateRight},
      {"Photo Brightness Left", 188, &CUISystem::OnPhotoBrightnessLeft},
      {"Photo Brightness Right", 189, &CUISystem::OnPhotoBrightnessRight},
      {"Photo Hue Left", 190, &CUISystem::OnPhotoHueLeft},
      {"Photo Hue Right", 191, &CUISystem::OnPhotoHueRight},
      {"Photo Saturation Left", 192, &CUISystem::OnPhotoSaturationLeft},
      {"Photo Saturation Right", 193, &CUISystem::OnPhotoSaturationRight},
      {"Photo Contrast Left", 194, &CUISystem::OnPhotoContrastLeft},
      {"Photo Contrast Right", 195, &CUISystem::OnPhotoContrastRight},
      {"Photo Sharpness Left", 196, &CUISystem::OnPhotoSharpnessLeft},
      {"Photo Sharpness Right", 197, &CUISystem::OnPhotoSharpnessRight},
      {"Photo Zoom In", 198, &CUISystem::OnNoEffect},
      {"Photo Zoom Out", 199, &CUISystem::OnNoEffect},
      {"Photo Acquire Now", 200, &CUISystem::OnNoEffect},
      {"Photo Smart Scan", 201, &CUISystem::OnNoEffect},
      {"Photo PictureDurationLeft", 202, &CUISystem::OnPhotoPictureDurationLeft},
      {"Photo PictureDurationRight", 203, &CUISystem::OnPhotoPictureDurationRight},
      {"Photo Transition Effect Left", 204, &CUISystem::OnPhotoTransitionEffectLeft},
      {"Photo Transition Effect Right", 205, &CUISystem::OnPhotoTransitionEffectRight},
      {"Photo Play BG Music Left", 206, &CUISystem::OnPhotoPlayBgMusicLeft},
      {"Photo Play BG Music Right", 207, &CUISystem::OnPhotoPlayBgMusicRight},
      {"Photo LoadDefaultSetting", 208, &CUISystem::OnPhotoLoadDefaultSetting},
      {"Photo Delete All File", 209, &CUISystem::OnPhotoDeleteAllFile},
      {"Photo Delete File", 210, &CUISystem::OnPhotoDeleteFile},
      {"Photo Browser", 211, &CUISystem::OnPhotoBrowser},
      {"Photo Edit Browser", 212, &CUISystem::OnPhotoEditBrowser},
      {"Photo Edit View", 213, &CUISystem::OnPhotoEditView},
      {"Photo Burnning Browser", 214, &CUISystem::OnPhotoBurnningBrowser},
      {"Photo Burnning Preview", 215, &CUISystem::OnPhotoBurnningPreview},
      {"Photo ImageAcquisition Browser", 217, &CUISystem::OnPhotoImageAcquisitionBrowser},
      {"Photo Acquire Image Folder Selection", 218, &CUISystem::OnPhotoAcquireImageFolderSelection},
      {"Photo Browse Folder Selection", 219, &CUISystem::OnPhotoBrowseFolderSelection},
      {"Photo Folder Select Return", 220, &CUISystem::OnPhotoFolderSelectReturn},
      {"Photo Browse Folder Selection Return", 221, &CUISystem::OnPhotoBrowseFolderSelectionReturn},
      {"Photo Setting", 222, &CUISystem::OnPhotoSetting},
      {"Photo BG Music Browser Selection", 223, &CUISystem::OnPhotoBgMusicBrowserSelection},
      {"Photo Return", 224, &CUISystem::OnPhotoReturn},
      {"Photo BG Music Browser Return", 225, &CUISystem::OnPhotoBgMusicBrowserReturn},
      {"Photo Back", 226, &CUISystem::PhotoBack},
      {"Photo Archive", 227, &CUISystem::OnPhotoArchive},
      {"Photo CDDVD Device", 228, &CUISystem::OnPhotoCdDvdDevice},
      {"Photo USB Device", 229, &CUISystem::OnPhotoUsbDevice},
      {"Photo Smart Media Device", 230, &CUISystem::OnPhotoSmartMediaDevice},
      {"Photo Memory Stick Device", 231, &CUISystem::OnPhotoMemoryStickDevice},
      {"Photo Compact Flash Device", 233, &CUISystem::OnPhotoCompactFlashDevice},
      {"Photo Secure Digital Device", 234, &CUISystem::OnPhotoSecureDigitalDevice},
      {"Photo Record", 235, &CUISystem::OnPhotoRecord},
      {"Photo Menu Edit", 236, &CUISystem::OnPhotoMenuEdit},
      {"Photo Menu Edit Return", 238, &CUISystem::OnPhotoMenuEditReturn},
      {"Photo File View", 239, &CUISystem::OnPhotoFileView},
      {"Photo Folder View", 240, &CUISystem::OnNoEffect},
      {"Photo Update BGMusic Explore Item", 241, &CUISystem::OnPhotoUpdateBgMusicExploreItem},
      {"Photo Destroy Photo Caches", 242, &CUISystem::OnPhotoDestroyPhotoCaches},
      {"Photo Kill Photo Files", 243, &CUISystem::OnPhotoKillPhotoFiles},
      {"Photo Kill BGMusic Files", 244, &CUISystem::OnPhotoKillBgMusicFiles},
  };
  for (const auto& r : kActions) m_actions.Register(r.name, r.id, r.handler);
}
