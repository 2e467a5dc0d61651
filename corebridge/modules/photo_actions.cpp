// The Photo module's action names, with their ids and
// handlers. Names whose handler the controller has not taken over yet go to
// PhotoAction, which answers as an absent controller does (0).
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
      {"Photo Exit", 169, &CUISystem::PhotoAction},
      {"Photo Slideshow Play", 170, &CUISystem::PhotoAction},
      {"Photo Slideshow Stop", 171, &CUISystem::PhotoStopSlideShow},
      {"Photo Slideshow Pause", 172, &CUISystem::PhotoAction},
      {"Photo Slideshow Fastforward", 173, &CUISystem::PhotoAction},
      {"Photo Slideshow Rewind", 174, &CUISystem::PhotoAction},
      {"Photo Slideshow NextSlide", 175, &CUISystem::PhotoAction},
      {"Photo Slideshow PreviousSlide", 176, &CUISystem::PhotoAction},
      {"Photo Slideshow Play Pause", 177, &CUISystem::PhotoAction},
      {"Photo Slideshow Pause Play", 178, &CUISystem::PhotoAction},
      {"Photo Slideshow Resize", 179, &CUISystem::PhotoAction},
      {"Photo Fullscreen", 180, &CUISystem::PhotoAction},
      {"Photo PreviousImage", 181, &CUISystem::PhotoAction},
      {"Photo NextImage", 182, &CUISystem::PhotoAction},
      {"Photo Clear Recent Picture", 183, &CUISystem::PhotoAction},
      {"Photo Sort By Name", 184, &CUISystem::PhotoAction},
      {"Photo Sort By Date", 185, &CUISystem::PhotoAction},
      {"Photo Rotate Left", 186, &CUISystem::PhotoAction},
      {"Photo Rotate Right", 187, &CUISystem::PhotoAction},
      {"Photo Brightness Left", 188, &CUISystem::PhotoAction},
      {"Photo Brightness Right", 189, &CUISystem::PhotoAction},
      {"Photo Hue Left", 190, &CUISystem::PhotoAction},
      {"Photo Hue Right", 191, &CUISystem::PhotoAction},
      {"Photo Saturation Left", 192, &CUISystem::PhotoAction},
      {"Photo Saturation Right", 193, &CUISystem::PhotoAction},
      {"Photo Contrast Left", 194, &CUISystem::PhotoAction},
      {"Photo Contrast Right", 195, &CUISystem::PhotoAction},
      {"Photo Sharpness Left", 196, &CUISystem::PhotoAction},
      {"Photo Sharpness Right", 197, &CUISystem::PhotoAction},
      {"Photo Zoom In", 198, &CUISystem::OnNoEffect},
      {"Photo Zoom Out", 199, &CUISystem::OnNoEffect},
      {"Photo Acquire Now", 200, &CUISystem::OnNoEffect},
      {"Photo Smart Scan", 201, &CUISystem::OnNoEffect},
      {"Photo PictureDurationLeft", 202, &CUISystem::PhotoAction},
      {"Photo PictureDurationRight", 203, &CUISystem::PhotoAction},
      {"Photo Transition Effect Left", 204, &CUISystem::PhotoAction},
      {"Photo Transition Effect Right", 205, &CUISystem::PhotoAction},
      {"Photo Play BG Music Left", 206, &CUISystem::PhotoAction},
      {"Photo Play BG Music Right", 207, &CUISystem::PhotoAction},
      {"Photo LoadDefaultSetting", 208, &CUISystem::PhotoAction},
      {"Photo Delete All File", 209, &CUISystem::PhotoAction},
      {"Photo Delete File", 210, &CUISystem::PhotoAction},
      {"Photo Browser", 211, &CUISystem::PhotoAction},
      {"Photo Edit Browser", 212, &CUISystem::PhotoAction},
      {"Photo Edit View", 213, &CUISystem::PhotoAction},
      {"Photo Burnning Browser", 214, &CUISystem::PhotoAction},
      {"Photo Burnning Preview", 215, &CUISystem::PhotoAction},
      {"Photo ImageAcquisition Browser", 217, &CUISystem::PhotoAction},
      {"Photo Acquire Image Folder Selection", 218, &CUISystem::PhotoAction},
      {"Photo Browse Folder Selection", 219, &CUISystem::PhotoAction},
      {"Photo Folder Select Return", 220, &CUISystem::PhotoAction},
      {"Photo Browse Folder Selection Return", 221, &CUISystem::PhotoAction},
      {"Photo Setting", 222, &CUISystem::PhotoAction},
      {"Photo BG Music Browser Selection", 223, &CUISystem::PhotoAction},
      {"Photo Return", 224, &CUISystem::PhotoAction},
      {"Photo BG Music Browser Return", 225, &CUISystem::PhotoAction},
      {"Photo Back", 226, &CUISystem::PhotoAction},
      {"Photo Archive", 227, &CUISystem::PhotoAction},
      {"Photo CDDVD Device", 228, &CUISystem::PhotoAction},
      {"Photo USB Device", 229, &CUISystem::PhotoAction},
      {"Photo Smart Media Device", 230, &CUISystem::PhotoAction},
      {"Photo Memory Stick Device", 231, &CUISystem::PhotoAction},
      {"Photo Compact Flash Device", 233, &CUISystem::PhotoAction},
      {"Photo Secure Digital Device", 234, &CUISystem::PhotoAction},
      {"Photo Record", 235, &CUISystem::PhotoAction},
      {"Photo Menu Edit", 236, &CUISystem::PhotoAction},
      {"Photo Menu Edit Return", 238, &CUISystem::PhotoAction},
      {"Photo File View", 239, &CUISystem::PhotoAction},
      {"Photo Folder View", 240, &CUISystem::OnNoEffect},
      {"Photo Update BGMusic Explore Item", 241, &CUISystem::PhotoAction},
      {"Photo Destroy Photo Caches", 242, &CUISystem::PhotoAction},
      {"Photo Kill Photo Files", 243, &CUISystem::PhotoAction},
      {"Photo Kill BGMusic Files", 244, &CUISystem::PhotoAction},
  };
  for (const auto& r : kActions) m_actions.Register(r.name, r.id, r.handler);
}
