// TV snapshots: the picture on screen to a JPEG of 72 dpi under a free name
// in the snapshot folder, and the teletext page to a file in the format the
// TV section asks for.
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "corebridge/modules/tv_controller_internal.h"
#include "interfaces/imagefx.h"
#include "platform/sys/debug_output.h"

namespace fs = std::filesystem;

namespace tv_controller {

namespace {

// "TV Snapshot.jpg", else "TV Snapshot(1).jpg", "TV Snapshot(2).jpg", ...
std::string FreeSnapshotName(const std::string& folder) {
  std::error_code ec;
  std::string name = folder + "/TV Snapshot.jpg";
  for (int n = 1; fs::exists(name, ec) && n < 100000; ++n) name = folder + "/TV Snapshot(" + std::to_string(n) + ").jpg";
  return name;
}

// A unique temporary JPEG in `folder`, made empty; empty when none can be made.
std::string MakeTemporaryJpeg(const std::string& folder) {
  std::string pattern = folder + "/tvsnapXXXXXX.jpg";
  const int fd = ::mkstemps(pattern.data(), 4);
  if (fd < 0) return {};
  ::close(fd);
  return pattern;
}

void DropPending(CTVConfig& tv) {
  std::error_code ec;
  if (!tv.m_strSnapshotName2.empty()) fs::remove(tv.m_strSnapshotName2, ec);
  tv.m_strSnapshotName2.clear();
  tv.m_bSnapshotPending = 0;
}

}  // namespace

int PictureSnapshot(CUISystem& system, IGrabber& engine, CTVConfig& tv) {
  if (tv.m_bSnapshotPending) return 0;
  if (tv.m_nTeletextDisplay == 1 || tv.m_nTeletextDisplay == 2) TeletextSnapshot(system, engine, tv);
  const std::string& folder = tv.m_strSnapshotFolder;
  std::error_code ec;
  if (folder.empty()) return 0;
  fs::create_directories(folder, ec);
  const std::string temporary = MakeTemporaryJpeg(folder);
  if (temporary.empty()) return 0;
  tv.m_strSnapshotName1 = FreeSnapshotName(folder);
  tv.m_strSnapshotName2 = temporary;
  tv.m_bSnapshotPending = 1;
  if (FAILED(engine.TakeSnapshot(temporary.c_str()))) {
    DropPending(tv);
    return 0;
  }
  return 1;
}

void FinishPictureSnapshot(CUISystem& system, CTVConfig& tv) {
  if (!tv.m_bSnapshotPending) return;
  const std::string& temporary = tv.m_strSnapshotName2;
  const std::string& final = tv.m_strSnapshotName1;
  std::error_code ec;
  bool saved = false;
  if (auto fx = system.CoreService<IImageFx>()) {
    fx->Initialize();
    if (SUCCEEDED(fx->LoadImage(temporary.c_str()))) {
      fx->SetResolution(72, 72);
      saved = SUCCEEDED(fx->SaveAs(final.c_str()));
      fx->CloseImage();
    }
  } else {
    // Without the picture component the recorder's JPEG is kept as it is.
    fs::rename(temporary, final, ec);
    saved = !ec;
  }
  if (!saved) plat::OutputDebugStringA(("TV snapshot: could not write " + final).c_str());
  DropPending(tv);
}

int TeletextSnapshot(CUISystem&, IGrabber& engine, CTVConfig& tv) {
  if (!tv.m_bTeletext) return 0;
  const char* extension = ".bmp";
  switch (tv.m_nTeletextSaveFormat) {
    case 1: extension = ".txt"; break;
    case 2: extension = ".rtf"; break;
    case 3: extension = ".html"; break;
    default: break;
  }
  std::error_code ec;
  fs::create_directories(tv.m_strSnapshotFolder, ec);
  const std::string name = tv.m_strSnapshotFolder + "/TTX Snapshot" + extension;
  // The engine keeps an existing file and writes "(1)", "(2)", ... beside it.
  return SUCCEEDED(engine.SetBurnSource(name.c_str(), tv.m_nTeletextSaveFormat)) ? 1 : 0;
}

}  // namespace tv_controller
