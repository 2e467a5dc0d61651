// The TV engine's events (IGrabberEventSink) as the TV controller handles
// them: scan progress and end, a recording that ended by itself, a snapshot
// frame written, wall cells, tuning and teletext page changes.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "corebridge/modules/tv_controller_internal.h"
#include "platform/gdi/bitmap.h"

using namespace tv_controller;

namespace {

// More cells than a wall can hold: an index beyond this is not a cell.
constexpr int kMaxWallCells = 1024;

// The picture as a 24-bit bitmap of its own (rows padded to 4 bytes).
plat::HBITMAP CopyPicture(const TvPicture& picture) {
  if (!picture.bgr || picture.width <= 0 || picture.height <= 0 || picture.stride < picture.width * 3) return nullptr;
  const std::size_t row = (static_cast<std::size_t>(picture.width) * 3 + 3) & ~std::size_t{3};
  std::vector<std::uint8_t> rows(row * static_cast<std::size_t>(picture.height));
  for (int y = 0; y < picture.height; ++y) {
    std::memcpy(rows.data() + row * static_cast<std::size_t>(y),
                picture.bgr + static_cast<std::size_t>(picture.stride) * static_cast<std::size_t>(y),
                static_cast<std::size_t>(picture.width) * 3);
  }
  plat::BITMAPINFO info{};
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height;
  info.bmiHeader.biBitCount = 24;
  return plat::CreateDIBitmap(nullptr, &info.bmiHeader, plat::CBM_INIT, rows.data(), &info, plat::DIB_RGB_COLORS);
}

}  // namespace

void CUISystem::TVOnSearchFinished() {
  CTVConfig* tv = Section(*this);
  if (!tv) return;
  RebuildChannels(*this, true);
  // The scan leaves the engine's source running without the preview:
  // restart it so the live picture, recording and time shift work again.
  PreviewOff(*this);
  PreviewOn(*this);
  const bool vendor4 = VendorId() == 4;
  if (ITvPageEvents* page = Page(*this)) page->ShowPage(vendor4 ? "TV\\SignalSetting" : "TV\\ChannelSetting");
  TVRun(vendor4 ? kSignalSettingPage : kChannelSettingPage, 0, 0);
  MuteOutput(*this, false);
}

void CUISystem::TVOnSearchPercent(int percent) {
  CTVConfig* tv = Section(*this);
  if (!tv) return;
  char text[32];
  std::snprintf(text, sizeof(text), "%02d %%", percent);
  tv->m_strProgressText = text;
  if (ITvPageEvents* page = Page(*this)) page->DrawAutoScanProgress();
}

void CUISystem::TVOnRecordingEnded() {
  CTVConfig* tv = Section(*this);
  if (!tv) return;
  tv->m_nTVMode = kModeOff;
  tv->m_bBurn = 0;
  PreviewOn(*this);
}

void CUISystem::TVOnPictureReady() {
  if (CTVConfig* tv = Section(*this)) FinishPictureSnapshot(*this, *tv);
}

void CUISystem::TVOnWallCell(int index, int channel, const char* name, const TvPicture* picture) {
  CTVConfig* tv = Section(*this);
  if (!tv || index < 0 || index >= kMaxWallCells) return;
  ITvPageEvents* page = Page(*this);
  const auto at = static_cast<std::size_t>(index);
  if (at >= tv->m_tvWallCells.size()) {
    // Grows by an eighth, 4 to 1024 cells at a time, up to the cell asked for.
    while (tv->m_tvWallCells.size() <= at) {
      const int grow = std::clamp(static_cast<int>(tv->m_tvWallCells.size() / 8), 4, kMaxWallCells);
      tv->ConstructTVWallCells(grow);
    }
  }
  TVWallCell& cell = tv->m_tvWallCells[at];
  const bool fresh = cell.nChannel == 0;
  cell.nChannel = static_cast<std::uint32_t>(channel);
  cell.strName = name ? std::string(name, strnlen(name, CTVConfig::kMaxCellName - 1)) : std::string();
  if (cell.hBitmap) plat::DeleteObject(cell.hBitmap);
  cell.hBitmap = picture ? CopyPicture(*picture) : nullptr;
  if (fresh && page) page->SetTVWallItemCount(index + 1);
  if (page) page->InvalidateFrame();
}

void CUISystem::TVOnTuning(int channel, int isChannel) {
  CTVConfig* tv = Section(*this);
  if (!tv) return;
  ITvPageEvents* page = Page(*this);
  if (page) page->ResetDigitEntry();
  // A tuning notice carries no channel: the page is only refreshed.
  if (!isChannel) {
    if (page) page->InvalidateFrame();
    return;
  }
  if (tv->m_nPageType == kPageWall) return;
  if (auto engine = Engine(*this)) {
    char name[kGrabberTextChars] = {};
    if (SUCCEEDED(engine->GetChannelName(name, 0))) tv->m_strChannelName = name;
  }
  if (tv->m_nPageType == kPageAutoScan) {
    if (page) page->DrawAutoScanProgress();
    return;
  }
  tv->m_nChannel = channel;
  Notice(*this, 10);
  if (page) page->InvalidateFrame();
}

void CUISystem::TVOnTeletextPageChanged() {
  CTVConfig* tv = Section(*this);
  auto engine = Engine(*this);
  if (!tv || !engine) return;
  tv->m_strTeletextPage = std::to_string(engine->GetTeletextPage());
  if (ITvPageEvents* page = Page(*this)) page->InvalidateFrame();
}

int CUISystem::GrabberSinkTable::OnSearchFinished(IGrabber*) {
  owner_.TVOnSearchFinished();
  return 1;
}
int CUISystem::GrabberSinkTable::OnSearchPercent(int percent) {
  owner_.TVOnSearchPercent(percent);
  return 1;
}
int CUISystem::GrabberSinkTable::OnRecordingEnded(IGrabber*) {
  owner_.TVOnRecordingEnded();
  return 1;
}
int CUISystem::GrabberSinkTable::OnPictureReady(int) {
  owner_.TVOnPictureReady();
  return 1;
}
int CUISystem::GrabberSinkTable::OnPreviewStep(int index, int channel, const char* name, const TvPicture* picture) {
  owner_.TVOnWallCell(index, channel, name, picture);
  return 1;
}
int CUISystem::GrabberSinkTable::OnTuning(int a, int, int isChannel) {
  owner_.TVOnTuning(a, isChannel);
  return 1;
}
int CUISystem::GrabberSinkTable::OnTeletextPageChanged() {
  owner_.TVOnTeletextPageChanged();
  return 1;
}
