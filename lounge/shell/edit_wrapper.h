// CEditWrapper: the text-entry field pages place over their skins (PIN boxes,
// frequencies, names). It is an ordinary edit control whose keyboard input is
// filtered by a flags word and reported to its parent window, which hands the
// reports to the active page:
//   - WM_KEYDOWN: Up and Down give the parent the focus and post
//     WM_EDIT_NAVIGATE_KEY (so focus movement goes on from the page); every
//     other admitted key posts WM_EDIT_KEY. The edit itself does not act on
//     key-downs.
//   - WM_CHAR: an admitted character posts WM_EDIT_KEY and then goes into the
//     text. Characters are filtered by their own class, not by the key that
//     typed them (Shift+7 types '&', which a digits-only field refuses), and
//     never stand for Up or Down.
// Both posts carry the edit's window handle in wParam and the key or
// character in lParam. A refused key or character is swallowed.
#pragma once

#include "platform/core/types.h"
#include "platform/win/win_types.h"

// Posted to the parent for keys and characters, and for Up and Down.
inline constexpr plat::UINT WM_EDIT_KEY = plat::WM_USER + 138;           // 1162
inline constexpr plat::UINT WM_EDIT_NAVIGATE_KEY = plat::WM_USER + 438;  // 1462

// Flag bits: Backspace, Enter and the four arrows always pass; digits (main
// row and numeric pad), the period and everything else only with their bit.
inline constexpr plat::DWORD EDIT_ADMIT_DIGITS = 0x2;
inline constexpr plat::DWORD EDIT_ADMIT_PERIOD = 0x4;
inline constexpr plat::DWORD EDIT_ADMIT_OTHER = 0x8;

class CEditWrapper {
 public:
  explicit CEditWrapper(plat::DWORD flags) : m_flags(flags) {}
  // Destroys the edit window if it still exists.
  ~CEditWrapper();
  CEditWrapper(const CEditWrapper&) = delete;
  CEditWrapper& operator=(const CEditWrapper&) = delete;

  // Creates the edit window (class "Edit") as a child of `parent` with the
  // given style, rectangle (parent client coordinates) and control id.
  // False when it exists already or cannot be created.
  bool Create(plat::DWORD style, const plat::RECT& rect, plat::HWND parent, int id);
  plat::HWND Window() const { return m_hwnd; }
  plat::DWORD Flags() const { return m_flags; }

  // The filters, by virtual key and by typed character.
  static bool AdmitsKey(plat::DWORD flags, plat::UINT vk);
  static bool AdmitsChar(plat::DWORD flags, plat::UINT ch);

 private:
  static plat::LRESULT Proc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);
  plat::LRESULT OnMessage(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);
  void Report(plat::UINT msg, plat::WPARAM key);

  plat::DWORD m_flags = 0;
  plat::HWND m_hwnd = nullptr;
  plat::WNDPROC m_editProc = nullptr;
};
