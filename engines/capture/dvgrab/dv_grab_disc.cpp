// CDvGrab: the disc writer's drives and capture straight to disc with a
// generated menu.
#include "engines/capture/dvgrab/dv_grab.h"

#include <cstdio>
#include <cstring>

using namespace plat;
using namespace dvgrab;

namespace {

void Put(char* out, std::size_t size, const std::string& text) {
  std::snprintf(out, size, "%s", text.c_str());
}

// Whether the writer can write the disc in it.
bool DiscAccepted(std::uint32_t capabilities, std::uint8_t kind) {
  return ((capabilities & 0x80) && (kind & 0x8)) || ((capabilities & 0x200) && (kind & (0x2 | 0x8))) ||
         ((capabilities & 0x100) && (kind & (0x1 | 0x8))) || ((capabilities & 0x400) && (kind & (0x1 | 0x2 | 0x8)));
}

}  // namespace

HRESULT CDvGrab::HasDiscWriter() {
  if (!m_burner.loaded()) return E_FAIL;
  return m_burner.writer()->GetDriveCount() != 0 ? S_OK : E_FAIL;
}

HRESULT CDvGrab::SelectDrive(int index) {
  if (!m_burner.loaded() || index < 0 || index >= static_cast<int>(m_driveNames.size())) return E_FAIL;
  return m_burner.writer()->SelectDrive(index) == 0 ? S_OK : E_FAIL;
}

void CDvGrab::BuildMenuTemplate() {
  m_menu = DvMenuTemplate{};
  Put(m_menu.fontFace, sizeof m_menu.fontFace, "Arial");
  m_menu.fontHeight = -24;
  m_menu.fontWeight = 400;
  m_menu.fontValues[0] = 0;
  m_menu.fontValues[1] = 1;
  m_menu.fontValues[2] = 100;
  Put(m_menu.title, sizeof m_menu.title, "Kestrovia");
  m_menu.menuKind = 6;
  m_menu.columns = 3;
  m_menu.rows = 2;
  m_menu.nextArea = DvMenuRect{570, 410, 720, 430};
  for (int i = 0; i < 3; ++i) m_menu.buttons[i] = DvMenuRect{30 + i * 180, 375, 110 + i * 180, 455};
  const int columnWidth = 520 / m_menu.columns;
  const int rowHeight = 380 / m_menu.rows;
  m_menuTitles.clear();
  for (int row = 0; row < m_menu.rows; ++row) {
    for (int column = 0; column < m_menu.columns; ++column) {
      DvMenuTitle title{};
      const int left = column * columnWidth + (columnWidth - 120) / 2 + 100;
      const int bottom = 130 + row * rowHeight;
      title.picture = DvMenuRect{left, bottom - 80, left + 120, bottom};
      title.caption = DvMenuRect{left, bottom, left + 120, bottom + 20};
      std::snprintf(title.text, sizeof title.text, "Title %d", static_cast<int>(m_menuTitles.size()) + 1);
      m_menuTitles.push_back(title);
    }
  }
  m_menu.titles = m_menuTitles.data();
  m_menu.titleCount = static_cast<std::int32_t>(m_menuTitles.size());
  std::string root = m_programFolder;
  if (root.empty() || root.back() != '/') root += '/';
  const std::string menus = root + "Menus/business/";
  Put(m_menu.silentAudio, sizeof m_menu.silentAudio, root + "silent.wav");
  Put(m_menu.background, sizeof m_menu.background, menus + "Background/BKGD1.jpg");
  Put(m_menu.frame, sizeof m_menu.frame, menus + "Frame/FM2.bmp");
  Put(m_menu.homeButton, sizeof m_menu.homeButton, menus + "PCBG/Home1.bmp");
  Put(m_menu.prevButton, sizeof m_menu.prevButton, menus + "PCBG/Prev1.bmp");
  Put(m_menu.nextButton, sizeof m_menu.nextButton, menus + "PCBG/Next1.bmp");
  Put(m_menu.highlight, sizeof m_menu.highlight, menus + "Highlight/HL1.bmp");
  m_menu.colours[0] = 0xFF00FF;
  m_menu.colours[1] = 0x00FF00;
  m_menu.colours[2] = 0x000000;
  m_menu.colours[3] = 0xFFFFFF;
}

HRESULT CDvGrab::StartCaptureToDisc() {
  if (!m_burner.loaded() || !m_pDevice || m_nState == dvstate::kCapturing) return E_FAIL;
  if (m_nKind == kDvKindMpeg && FAILED(CheckDeviceReady())) return E_FAIL;
  scorch::IDiscWriter* writer = m_burner.writer();
  scorch::DriveInfo drive{};
  scorch::DiscInfo disc{};
  if (writer->GetDriveInfo(1, &drive) != 0 || writer->GetDiscInfo(1, &disc) != 0) return E_FAIL;
  if (!DiscAccepted(drive.capabilities, disc.kind) || disc.inUse != 0) return E_FAIL;

  auto fail = [this] {
    if (m_pDiscCapture) {
      m_pDiscCapture->Stop();
      m_pDiscCapture->Uninitialise();
      m_pDiscCapture.Reset();
    }
    m_menuTitles.clear();
    m_pDevice->Stop();
    m_nTransport = dvtransport::kStopped;
    return E_FAIL;
  };
  IDvDiscCapture* discCapture = nullptr;
  if (FAILED(m_pDevice->QueryInterface(IID_IDvDiscCapture, reinterpret_cast<void**>(&discCapture))) || !discCapture) {
    return fail();
  }
  m_pDiscCapture.Attach(discCapture);
  if (FAILED(m_pDiscCapture->Initialise())) return fail();
  m_pDiscCapture->SetWriter(writer->GetWriter(1));
  m_pDevice->SetEncoderBlock(&m_block);
  m_nTransport = dvtransport::kCapturing;
  m_pDevice->SetOutputMode(m_bCaptureActive ? dvoutput::kDisc : dvoutput::kPreview);
  m_pDiscCapture->SetChapterMode(0);
  m_pDiscCapture->SetProgramFolder(m_programFolder.c_str());
  m_pDiscCapture->SetFinalise(0);
  BuildMenuTemplate();
  m_pDiscCapture->SetMenuTemplate(&m_menu);
  m_pDiscCapture->SetDiscTitle("My Video");
  m_pDiscCapture->SetEventSink(this);
  if (FAILED(m_pDiscCapture->Start())) return fail();
  m_captureStart = m_hooks.steadySeconds();
  m_pauseStart = 0;
  m_pausedTotal = 0;
  m_nState = dvstate::kCapturing;
  Notify([](IDvGrabEventSink& s) { s.Notify11(0, 0); });
  return S_OK;
}

HRESULT CDvGrab::StopCaptureToDisc() {
  if (!m_burner.loaded() || m_nState != dvstate::kCapturing) return E_FAIL;
  if (m_pDiscCapture) {
    if (m_pDevice) m_pDevice->FinishStreamCapture();
    m_pDiscCapture->Stop();
    m_nState = dvstate::kCaptureEnded;
  }
  m_menuTitles.clear();
  m_menu.titles = nullptr;
  m_menu.titleCount = 0;
  return S_OK;
}
