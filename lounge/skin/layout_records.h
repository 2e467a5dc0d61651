// The element records a page's layout file is read into. Rectangles are in
// layout coordinates (left, top, right, bottom); colours are COLORREFs
// (0x00BBGGRR). Image paths are POSIX paths joined to the page's folder.
#pragma once

#include <string>

#include "lounge/skin/key_codes.h"
#include "platform/core/types.h"

// Alignment codes of skin texts.
inline constexpr int ALIGN_LEFT = 0;
inline constexpr int ALIGN_RIGHT = 1;
inline constexpr int ALIGN_CENTER = 2;
inline constexpr int ALIGN_MULTIPLELINE = 3;
inline constexpr int ALIGN_MULTIPLELINECENTER = 4;
inline constexpr int ALIGN_MULTIPLELINETOP = 5;
inline constexpr int ALIGN_MULTIPLELINECENTERTOP = 6;

// Colours a text record starts with before its layout is read.
inline constexpr plat::COLORREF TEXT_DEFAULT_NORMAL = 0xFFFFFF;
inline constexpr plat::COLORREF TEXT_DEFAULT_HIGHLIGHT = 0xA03D1F;
inline constexpr plat::COLORREF TEXT_DEFAULT_PRESSED = 0xFFFFFF;
inline constexpr plat::COLORREF TEXT_DEFAULT_DISABLED = 0xFF8635;
inline constexpr const char* TEXT_DEFAULT_FONT = "FONT1";

// A button ("action" element): pressing it runs its action.
struct LayoutButton {
  std::string action;
  std::string image;
  std::string tooltip;  // a string-table key; empty when none
  plat::RECT rect;
};

// A link: pressing it loads the page its hyperlink names.
struct LayoutLink {
  std::string name;
  std::string image;
  std::string hyperlink;  // a page path as written in the layout
  std::string tooltip;
  plat::RECT rect;
};

// A text element: its string is the string-table value of its name.
struct LayoutText {
  std::string name;
  plat::RECT rect;
  std::string dependency;  // the button or link whose state colours the text
  plat::COLORREF normalColor = TEXT_DEFAULT_NORMAL;
  plat::COLORREF highlightColor = TEXT_DEFAULT_HIGHLIGHT;
  plat::COLORREF pressedColor = TEXT_DEFAULT_PRESSED;
  plat::COLORREF disabledColor = TEXT_DEFAULT_DISABLED;
  std::string font = TEXT_DEFAULT_FONT;  // a string-table key naming the face
  int align = ALIGN_CENTER;
  int dynamicFit = 0;
};

// A still image, a progress bar or a list action.
struct LayoutImage {
  std::string name;
  std::string image;
  plat::RECT rect;
};

// An indicator (its knob is the second image) or a list link (the second
// image holds the hyperlink, as written).
struct LayoutIndicator {
  std::string name;
  std::string image;
  std::string secondImage;
  plat::RECT rect;
};

// One item slot of a list.
struct LayoutListItem {
  std::string name;
  std::string image;
  plat::RECT rect;
  std::string iconImage;
  plat::RECT iconRect;
  plat::RECT textRect;
  plat::RECT checkRect;
};

struct LayoutHotkey {
  KeyCode keyCode = 0;
  std::string action;
};
