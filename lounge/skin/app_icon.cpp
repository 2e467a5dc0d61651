#include "lounge/skin/app_icon.h"

#include <filesystem>
#include <string>

#include "lounge/skin/skin_paths.h"
#include "platform/gdi/icon.h"

int LoadAppIcon(plat::HINSTANCE /*instance*/, int resourceId, plat::HICON& icon) {
  const std::filesystem::path file =
      SkinBaseFolder() / "Resources" / ("icon" + std::to_string(resourceId) + ".png");
  const std::string path = ResolveSkinPath(file.string());
  plat::HICON loaded = plat::LoadIconFile(path);
  if (!loaded) return 0;
  icon = loaded;
  return 1;
}
