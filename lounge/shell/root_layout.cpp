#include "lounge/shell/root_layout.h"

#include "lounge/shell/app_services.h"

namespace {

constexpr float kFourThirds = 1.3333334f;

bool IsWide(int width, int height) {
  return height > 0 && static_cast<float>(width) / static_cast<float>(height) > kFourThirds;
}

}  // namespace

std::vector<std::string> RootLayoutCandidates(bool hasApplication, int vendorId, int rootFeatures, int screenWidth,
                                              int screenHeight) {
  if (!hasApplication) return {"Root"};
  const bool radioShown = (rootFeatures & 2) != 0;
  switch (vendorId) {
    case VENDOR_VADU:
      if (screenWidth > 1280 || screenHeight > 800) return {"Root"};
      return {"ROOT1280X800", "Root"};
    case VENDOR_RUVE:
      if (!radioShown) return {"Root_4Module"};
      if (IsWide(screenWidth, screenHeight)) return {"ROOT1280X800", "Root"};
      return {"Root"};
    case VENDOR_NONE:
      if (IsWide(screenWidth, screenHeight)) return {"ROOT1280X800", "Root"};
      return {"Root"};
    default:
      return {"Root"};
  }
}
