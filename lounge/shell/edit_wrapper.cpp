// CEditWrapper: key and character filtering and the reports to the parent.
#include "lounge/shell/edit_wrapper.h"

#include "platform/win/controls/controls.h"
#include "platform/win/keys.h"
#include "platform/win/message.h"
#include "platform/win/window.h"

namespace {

bool IsDigitKey(plat::UINT vk) {
  return (vk >= '0' && vk <= '9') || (vk >= plat::VK_NUMPAD0 && vk <= plat::VK_NUMPAD9);
}

bool IsNavigateKey(plat::UINT vk) { return vk == plat::VK_UP || vk == plat::VK_DOWN; }

}  // namespace

bool CEditWrapper::AdmitsKey(plat::DWORD flags, plat::UINT vk) {
  switch (vk) {
    case plat::VK_BACK:
    case plat::VK_RETURN:
    case plat::VK_LEFT:
    case plat::VK_UP:
    case plat::VK_RIGHT:
    case plat::VK_DOWN: return true;
    default: break;
  }
  if (IsDigitKey(vk)) return (flags & EDIT_ADMIT_DIGITS) != 0;
  if (vk == plat::VK_OEM_PERIOD) return (flags & EDIT_ADMIT_PERIOD) != 0;
  return (flags & EDIT_ADMIT_OTHER) != 0;
}

bool CEditWrapper::AdmitsChar(plat::DWORD flags, plat::UINT ch) {
  if (ch == '\b' || ch == '\r') return true;
  if (ch >= '0' && ch <= '9') return (flags & EDIT_ADMIT_DIGITS) != 0;
  if (ch == '.') return (flags & EDIT_ADMIT_PERIOD) != 0;
  return (flags & EDIT_ADMIT_OTHER) != 0;
}

CEditWrapper::~CEditWrapper() {
  if (!m_hwnd || !plat::IsWindow(m_hwnd)) return;
  // The edit's own procedure sees its destruction, so it frees its state.
  plat::SetWindowLongPtr(m_hwnd, plat::GWLP_WNDPROC, reinterpret_cast<plat::LONG_PTR>(m_editProc));
  plat::SetWindowLongPtr(m_hwnd, plat::GWLP_USERDATA, 0);
  plat::DestroyWindow(m_hwnd);
}

bool CEditWrapper::Create(plat::DWORD style, const plat::RECT& rect, plat::HWND parent, int id) {
  if (m_hwnd && plat::IsWindow(m_hwnd)) return false;
  plat::RegisterControlClasses();
  m_hwnd = plat::CreateWindowEx(0, plat::WC_EDIT, "", style, rect.left, rect.top, rect.right - rect.left,
                                rect.bottom - rect.top, parent, reinterpret_cast<plat::HMENU>(static_cast<intptr_t>(id)),
                                nullptr, nullptr);
  if (!m_hwnd) return false;
  plat::SetWindowLongPtr(m_hwnd, plat::GWLP_USERDATA, reinterpret_cast<plat::LONG_PTR>(this));
  m_editProc = reinterpret_cast<plat::WNDPROC>(
      plat::SetWindowLongPtr(m_hwnd, plat::GWLP_WNDPROC, reinterpret_cast<plat::LONG_PTR>(&CEditWrapper::Proc)));
  return true;
}

plat::LRESULT CEditWrapper::Proc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam) {
  auto* self = reinterpret_cast<CEditWrapper*>(plat::GetWindowLongPtr(hwnd, plat::GWLP_USERDATA));
  if (!self) return plat::DefWindowProc(hwnd, msg, wParam, lParam);
  return self->OnMessage(msg, wParam, lParam);
}

void CEditWrapper::Report(plat::UINT msg, plat::WPARAM key) {
  plat::HWND parent = plat::GetParent(m_hwnd);
  if (!parent) return;
  if (msg == WM_EDIT_NAVIGATE_KEY) plat::SetFocus(parent);
  plat::PostMessage(parent, msg, reinterpret_cast<plat::WPARAM>(m_hwnd), static_cast<plat::LPARAM>(key));
}

plat::LRESULT CEditWrapper::OnMessage(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam) {
  plat::HWND hwnd = m_hwnd;
  plat::WNDPROC editProc = m_editProc;
  switch (msg) {
    case plat::WM_KEYDOWN: {
      const auto vk = static_cast<plat::UINT>(wParam);
      if (AdmitsKey(m_flags, vk)) Report(IsNavigateKey(vk) ? WM_EDIT_NAVIGATE_KEY : WM_EDIT_KEY, vk);
      return 0;
    }
    case plat::WM_CHAR:
      if (!AdmitsChar(m_flags, static_cast<plat::UINT>(wParam))) return 0;
      Report(WM_EDIT_KEY, wParam);
      break;
    case plat::WM_NCDESTROY:
      // Destroyed with its parent: the wrapper no longer has a window.
      plat::SetWindowLongPtr(hwnd, plat::GWLP_USERDATA, 0);
      m_hwnd = nullptr;
      break;
    default: break;
  }
  return plat::CallWindowProc(editProc, hwnd, msg, wParam, lParam);
}
