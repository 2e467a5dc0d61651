// One picture job in a fresh process, for the whole-process figures of the
// picture benchmarks: "thumb <file>" draws a 320x240 thumbnail of it,
// "turn <file> <angle>" turns it losslessly in place. Exit status 0 on success.
#include <cstdlib>
#include <cstdio>
#include <memory>
#include <string>

#include "engines/picture/imagefx/image_engine.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/objects.h"

namespace {

int DrawThumbnail(const std::string& path) {
  auto surface = std::make_shared<plat::Surface>(320, 240);
  plat::HBITMAP bitmap = plat::CreateBitmapFromSurface(surface);
  plat::HDC dc = plat::CreateCompatibleDC(nullptr);
  plat::HGDIOBJ old = plat::SelectObject(dc, bitmap);
  imagefx::CImageEngine engine;
  const int ok = engine.DrawFile(path, dc, 0, 0, 320, 240);
  if (!ok) std::fprintf(stderr, "%s\n", engine.LastError().c_str());
  plat::SelectObject(dc, old);
  plat::DeleteDC(dc);
  plat::DeleteObject(bitmap);
  return ok ? 0 : 1;
}

int Turn(const std::string& path, int angle) {
  imagefx::CImageEngine engine;
  if (engine.RotateJpegFile(path, angle)) return 0;
  std::fprintf(stderr, "%s\n", engine.LastError().c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string job = argc > 2 ? argv[1] : "";
  if (job == "thumb") return DrawThumbnail(argv[2]);
  if (job == "turn" && argc > 3) return Turn(argv[2], std::atoi(argv[3]));
  std::fprintf(stderr, "usage: picture_once thumb <file> | turn <file> <angle>\n");
  return 2;
}
