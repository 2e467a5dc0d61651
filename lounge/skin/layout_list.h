// One list of a page's layout: its own name, background image and rectangle,
// and five tables of entries (item slots, list actions, list links, list
// texts, list images).
//
// Query conventions: 1 done, 0 refused; outputs are written only on 1. An
// entry index is valid when 0 <= j < count. Find operations compare whole
// names case-sensitively and report the first match.
#pragma once

#include <string>
#include <vector>

#include "lounge/skin/layout_records.h"

class CLayoutList {
 public:
  std::string name;
  std::string image;  // empty when the list has no background
  plat::RECT rect;
  std::vector<LayoutListItem> items;
  std::vector<LayoutImage> actions;
  std::vector<LayoutIndicator> links;  // secondImage holds the hyperlink
  std::vector<LayoutText> texts;
  std::vector<LayoutImage> images;

  // Item slots.
  int GetItemCount(int& count) const;
  int GetItemImage(std::string& image, int j) const;
  int GetItemRect(plat::RECT& rect, int j) const;
  int GetItemTextRect(plat::RECT& rect, int j) const;
  int GetItemCheckRect(plat::RECT& rect, int j) const;
  int GetItemIconImage(std::string& image, int j) const;
  int GetItemIconRect(plat::RECT& rect, int j) const;

  // List actions.
  int GetActionCount(int& count) const;
  int GetActionName(std::string& name, int j) const;
  int GetActionImage(std::string& image, int j) const;
  int GetActionRect(plat::RECT& rect, int j) const;
  int FindAction(const std::string& name, int& j) const;

  // List links.
  int GetLinkCount(int& count) const;
  int GetLinkName(std::string& name, int j) const;
  int GetLinkImage(std::string& image, int j) const;
  int GetLinkTarget(std::string& target, int j) const;
  int GetLinkRect(plat::RECT& rect, int j) const;
  int FindLink(const std::string& name, int& j) const;

  // List texts.
  int GetTextCount(int& count) const;
  int GetTextName(std::string& name, int j) const;
  int GetTextRect(plat::RECT& rect, int j) const;
  int FindText(const std::string& name, int& j) const;
  int GetTextFont(std::string& font, int j) const;
  int GetTextDependency(std::string& dependency, int j) const;
  int GetTextColors(int j, plat::COLORREF& normal, plat::COLORREF& highlight, plat::COLORREF& pressed,
                    plat::COLORREF& disabled) const;
  int GetTextAlign(int& align, int j) const;
  int GetTextDynamicFit(int& dynamicFit, int j) const;

  // List images.
  int GetImageCount(int& count) const;
  int GetImageName(std::string& name, int j) const;
  int GetImageFile(std::string& file, int j) const;
  int GetImageRect(plat::RECT& rect, int j) const;
};
