#include "lounge/skin/layout_list.h"

#include "lounge/skin/table_access.h"

using namespace skin_detail;

int CLayoutList::GetItemCount(int& count) const { return Count(items, count); }
int CLayoutList::GetItemImage(std::string& out, int j) const { return Read(items, j, &LayoutListItem::image, out); }
int CLayoutList::GetItemRect(plat::RECT& out, int j) const { return Read(items, j, &LayoutListItem::rect, out); }
int CLayoutList::GetItemTextRect(plat::RECT& out, int j) const {
  return Read(items, j, &LayoutListItem::textRect, out);
}
int CLayoutList::GetItemCheckRect(plat::RECT& out, int j) const {
  return Read(items, j, &LayoutListItem::checkRect, out);
}
int CLayoutList::GetItemIconImage(std::string& out, int j) const {
  return Read(items, j, &LayoutListItem::iconImage, out);
}
int CLayoutList::GetItemIconRect(plat::RECT& out, int j) const {
  return Read(items, j, &LayoutListItem::iconRect, out);
}

int CLayoutList::GetActionCount(int& count) const { return Count(actions, count); }
int CLayoutList::GetActionName(std::string& out, int j) const { return Read(actions, j, &LayoutImage::name, out); }
int CLayoutList::GetActionImage(std::string& out, int j) const { return Read(actions, j, &LayoutImage::image, out); }
int CLayoutList::GetActionRect(plat::RECT& out, int j) const { return Read(actions, j, &LayoutImage::rect, out); }
int CLayoutList::FindAction(const std::string& name, int& j) const {
  return Find(actions, &LayoutImage::name, name, j);
}

int CLayoutList::GetLinkCount(int& count) const { return Count(links, count); }
int CLayoutList::GetLinkName(std::string& out, int j) const { return Read(links, j, &LayoutIndicator::name, out); }
int CLayoutList::GetLinkImage(std::string& out, int j) const { return Read(links, j, &LayoutIndicator::image, out); }
int CLayoutList::GetLinkTarget(std::string& out, int j) const {
  return Read(links, j, &LayoutIndicator::secondImage, out);
}
int CLayoutList::GetLinkRect(plat::RECT& out, int j) const { return Read(links, j, &LayoutIndicator::rect, out); }
int CLayoutList::FindLink(const std::string& name, int& j) const {
  return Find(links, &LayoutIndicator::name, name, j);
}

int CLayoutList::GetTextCount(int& count) const { return Count(texts, count); }
int CLayoutList::GetTextName(std::string& out, int j) const { return Read(texts, j, &LayoutText::name, out); }
int CLayoutList::GetTextRect(plat::RECT& out, int j) const { return Read(texts, j, &LayoutText::rect, out); }
int CLayoutList::FindText(const std::string& name, int& j) const { return Find(texts, &LayoutText::name, name, j); }
int CLayoutList::GetTextFont(std::string& out, int j) const { return Read(texts, j, &LayoutText::font, out); }
int CLayoutList::GetTextDependency(std::string& out, int j) const {
  return Read(texts, j, &LayoutText::dependency, out);
}
int CLayoutList::GetTextColors(int j, plat::COLORREF& normal, plat::COLORREF& highlight, plat::COLORREF& pressed,
                               plat::COLORREF& disabled) const {
  return ReadColors(texts, j, normal, highlight, pressed, disabled);
}
int CLayoutList::GetTextAlign(int& out, int j) const { return Read(texts, j, &LayoutText::align, out); }
int CLayoutList::GetTextDynamicFit(int& out, int j) const { return Read(texts, j, &LayoutText::dynamicFit, out); }

int CLayoutList::GetImageCount(int& count) const { return Count(images, count); }
int CLayoutList::GetImageName(std::string& out, int j) const { return Read(images, j, &LayoutImage::name, out); }
int CLayoutList::GetImageFile(std::string& out, int j) const { return Read(images, j, &LayoutImage::image, out); }
int CLayoutList::GetImageRect(plat::RECT& out, int j) const { return Read(images, j, &LayoutImage::rect, out); }
