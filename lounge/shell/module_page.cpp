#include "lounge/shell/module_page.h"

#include "lounge/shell/shell_frame.h"
#include "platform/win/win_types.h"

CShellPage::CShellPage(IShellFrame& frame) : CSkinPage(frame.FrameWindow(), &frame.PageHost()), m_frame(frame) {}

// The back buffer is made anew on the next paint, at the frame's size then:
// the frame creates every page at start and most are never shown in a visit,
// so screen-sized buffers for all of them would only cost start-up time and
// memory, and a page shown again must not keep a buffer of an older size.
int CShellPage::Create() {
  DropBackBuffer();
  return 1;
}

int CShellPage::OnResize() {
  // Made at the new size by the full paint that follows: the frame goes
  // through more than one size while it starts, and a buffer for each
  // would cost a screen's worth of page faults.
  DropBackBuffer();
  // Maximised or restored, the frame buttons change (Maximize/Restore): the
  // states are asked again and the page is drawn anew.
  Redraw(0);
  return 1;
}

int CShellPage::OnMouseMove(int x, int y) { return CSkinPage::OnMouseMove(plat::POINT{x, y}); }

int CShellPage::OnMouseLeave() { return ClearAllHighlights(); }

int CShellPage::OnButtonDown(int x, int y) { return CSkinPage::OnMouseDown(plat::POINT{x, y}); }

int CShellPage::OnButtonUp(int x, int y) { return CSkinPage::OnMouseUp(plat::POINT{x, y}); }

int CShellPage::OnDoubleClick(int x, int y) { return CSkinPage::OnDoubleClick(plat::POINT{x, y}); }

int CShellPage::OnKeyDown(plat::UINT vk, plat::UINT, plat::UINT) { return OnKey(vk); }

int CShellPage::HitTest(int, int) { return static_cast<int>(plat::HTCLIENT); }

int CShellPage::OnPaint() { return CSkinPage::OnPaint(); }

int CShellPage::Deactivate() { return OnLeave(); }

int CShellPage::QueryFrameButtonState(const std::string& action, int* shown) {
  if (action == "Restore") {
    if (shown) *shown = m_frame.IsMaximized() ? 1 : 0;
    return 1;
  }
  if (action == "Maximize") {
    if (shown) *shown = m_frame.IsMaximized() ? 0 : 1;
    return 1;
  }
  return 0;
}

int CShellPage::QueryButtonState(const std::string& action, int* shown, int*, int*) {
  return QueryFrameButtonState(action, shown);
}
