#include "lounge/skin/layout_reader.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

#include "lounge/shell/app_services.h"
#include "lounge/skin/number_text.h"
#include "lounge/skin/skin_paths.h"
#include "lounge/skin/skin_report.h"
#include "lounge/skin/table_access.h"

using plat::xml::Element;
using namespace skin_detail;

namespace {

constexpr const char* kLayoutFile = "layout.xml";

constexpr std::array<std::string_view, 7> kAlignWords{
    "LEFT", "RIGHT", "CENTER", "MULTIPLELINE", "MULTIPLELINECENTER", "MULTIPLELINETOP", "MULTIPLELINECENTERTOP",
};

// An attribute's text; nullopt when the element is null or lacks it, so that
// an absent attribute always counts as "not there".
std::optional<std::string> Attribute(const Element& element, std::string_view name) {
  if (!element) return std::nullopt;
  return element.attribute(name);
}

// The "value" attribute of the first child `name`; nullopt when the child or
// its value is missing.
std::optional<std::string> ChildValue(const Element& parent, std::string_view name) {
  if (!parent) return std::nullopt;
  return Attribute(parent.child(name), "value");
}

}  // namespace

CLayoutReader::CLayoutReader(const std::string& pagePath) : CLayoutReader(pagePath, SkinBaseFolder()) {}

CLayoutReader::CLayoutReader(const std::string& pagePath, const std::filesystem::path& baseFolder)
    : m_folder(LayoutFolderOf(baseFolder, pagePath)) {
  // An empty page path names no page: the folder would be the layout root.
  if (pagePath.empty()) {
    m_loadError = "no page named";
  } else {
    LoadXmlFile(JoinSkinFile(m_folder, kLayoutFile));
  }
}

CLayoutReader::~CLayoutReader() = default;

int CLayoutReader::LoadXmlFile(const std::string& path) {
  const std::string file = ResolveSkinPath(path);
  const plat::xml::Status status = m_document.loadFile(file);
  m_loadError = status ? std::string() : SkinLoadReason(status.message, file);
  return status ? 1 : 0;
}

std::string CLayoutReader::LayoutFile() const { return JoinSkinFile(m_folder, kLayoutFile); }

int CLayoutReader::ParseRect(const Element& position, plat::RECT& rect) {
  std::optional<std::string> left = Attribute(position, "left");
  std::optional<std::string> top = Attribute(position, "top");
  std::optional<std::string> width = Attribute(position, "width");
  std::optional<std::string> height = Attribute(position, "height");
  if (!left || !top || !width || !height) return 0;
  // Sums in 64 bits: a skin may hold any numbers, and the rectangle must not
  // come from an overflowing addition.
  auto sum = [](int a, int b) {
    long long s = static_cast<long long>(a) + b;
    if (s > INT32_MAX) s = INT32_MAX;
    if (s < INT32_MIN) s = INT32_MIN;
    return static_cast<plat::LONG>(s);
  };
  int l = ParseDecimalInt(*left);
  int t = ParseDecimalInt(*top);
  rect = plat::RECT{l, t, sum(l, ParseDecimalInt(*width)), sum(t, ParseDecimalInt(*height))};
  return 1;
}

int CLayoutReader::ParseColors(const Element& color, plat::COLORREF& normal, plat::COLORREF& highlight,
                               plat::COLORREF& pressed, plat::COLORREF& disabled) {
  auto read = [&color](std::string_view name, int state) {
    std::optional<std::string> value = Attribute(color, name);
    return value ? static_cast<plat::COLORREF>(ParseHexValue(*value)) : GetSchemeColor(state);
  };
  normal = read("normalcolor", STATE_NORMAL);
  highlight = read("highlightcolor", STATE_HIGHLIGHTED);
  pressed = read("pressedcolor", STATE_PRESSED);
  disabled = read("disabledcolor", STATE_DISABLED);
  return 1;
}

int CLayoutReader::LoadAll() {
  // Every parser runs; the first that fails names the reason.
  const std::pair<int (CLayoutReader::*)(), const char*> parts[] = {
      {&CLayoutReader::ParseBackground, "background"}, {&CLayoutReader::ParseButtons, "buttons"},
      {&CLayoutReader::ParseLinks, "links"},           {&CLayoutReader::ParseTexts, "texts"},
      {&CLayoutReader::ParseLists, "lists"},           {&CLayoutReader::ParseStillImages, "still images"},
      {&CLayoutReader::ParseProgress, "progress bars"}, {&CLayoutReader::ParseIndicators, "indicators"},
      {&CLayoutReader::ParseHotkeys, "hot keys"},
  };
  const bool loaded = m_loadError.empty();
  int ok = 1;
  for (const auto& [parse, name] : parts) {
    if ((this->*parse)()) continue;
    if (ok && loaded) m_loadError = std::string("a required part of its ") + name + " is missing or unreadable";
    ok = 0;
  }
  if (!ok) ClearTables();
  return ok;
}

void CLayoutReader::ClearTables() {
  m_background.clear();
  m_pageRect = plat::RECT{};
  m_buttons.clear();
  m_links.clear();
  m_texts.clear();
  m_stillImages.clear();
  m_progress.clear();
  m_indicators.clear();
  m_lists.clear();
  m_hotkeys.clear();
}

int CLayoutReader::ParseBackground() {
  m_background.clear();
  m_pageRect = plat::RECT{};
  Element root = m_document.documentElement();
  if (!root) return 0;
  std::optional<std::string> image = ChildValue(root, "image");
  plat::RECT rect;
  if (!image || !ParseRect(root.child("position"), rect)) return 0;
  // Every screen rectangle is scaled by the page size; a page without area
  // cannot be shown.
  if (rect.right <= rect.left || rect.bottom <= rect.top) return 0;
  m_background = JoinSkinFile(m_folder, *image);
  m_pageRect = rect;
  return 1;
}

int CLayoutReader::ParseButtons() {
  m_buttons.clear();
  Element root = m_document.documentElement();
  if (!root) return 0;
  std::vector<LayoutButton> table;
  for (const Element& element : root.children("action")) {
    LayoutButton button;
    std::optional<std::string> action = Attribute(element, "value");
    std::optional<std::string> image = ChildValue(element, "image");
    if (!action || !image || !ParseRect(element.child("position"), button.rect)) return 0;
    button.action = std::move(*action);
    button.image = JoinSkinFile(m_folder, *image);
    button.tooltip = ChildValue(element, "tooltips").value_or("");
    table.push_back(std::move(button));
  }
  m_buttons = std::move(table);
  return 1;
}

int CLayoutReader::ParseLinks() {
  m_links.clear();
  Element root = m_document.documentElement();
  if (!root) return 0;
  std::vector<LayoutLink> table;
  for (const Element& element : root.children("link")) {
    LayoutLink link;
    std::optional<std::string> name = Attribute(element, "value");
    std::optional<std::string> image = ChildValue(element, "image");
    std::optional<std::string> hyperlink = ChildValue(element, "hyperlink");
    if (!name || !image || !hyperlink || !ParseRect(element.child("position"), link.rect)) return 0;
    link.name = std::move(*name);
    link.image = JoinSkinFile(m_folder, *image);
    link.hyperlink = std::move(*hyperlink);
    link.tooltip = ChildValue(element, "tooltips").value_or("");
    table.push_back(std::move(link));
  }
  m_links = std::move(table);
  return 1;
}

int CLayoutReader::ParseText(const Element& element, int defaultDynamicFit, LayoutText& text) {
  text = LayoutText{};
  text.dynamicFit = defaultDynamicFit;
  std::optional<std::string> name = Attribute(element, "value");
  if (!name || !ParseRect(element.child("position"), text.rect)) return 0;
  text.name = std::move(*name);
  if (auto dependency = ChildValue(element, "dependency")) text.dependency = std::move(*dependency);
  if (auto font = ChildValue(element, "font")) text.font = std::move(*font);
  ParseColors(element.child("color"), text.normalColor, text.highlightColor, text.pressedColor, text.disabledColor);
  if (auto align = ChildValue(element, "align")) {
    for (std::size_t code = 0; code < kAlignWords.size(); ++code) {
      if (*align == kAlignWords[code]) text.align = static_cast<int>(code);
    }
  }
  if (auto fit = ChildValue(element, "dynamic_fit")) text.dynamicFit = (*fit == "TRUE") ? 1 : 0;
  return 1;
}

int CLayoutReader::ParseTexts() {
  m_texts.clear();
  Element root = m_document.documentElement();
  if (!root) return 0;
  std::vector<LayoutText> table;
  for (const Element& element : root.children("text")) {
    LayoutText text;
    if (!ParseText(element, 1, text)) return 0;
    table.push_back(std::move(text));
  }
  m_texts = std::move(table);
  return 1;
}

int CLayoutReader::ParseList(const Element& element, CLayoutList& list) {
  std::optional<std::string> name = Attribute(element, "value");
  Element image = element.child("image");
  if (!name || !image || !ParseRect(element.child("position"), list.rect)) return 0;
  list.name = std::move(*name);
  // An image element without a value gives the list no background.
  std::string imageValue = Attribute(image, "value").value_or("");
  list.image = imageValue.empty() ? std::string() : JoinSkinFile(m_folder, imageValue);

  // The optional parts of an item carry over to the next item of the same
  // list when that item lacks them; they start empty with each list.
  LayoutListItem carried;
  for (const Element& entry : element.children("list_item")) {
    LayoutListItem item;
    std::optional<std::string> itemName = Attribute(entry, "value");
    std::optional<std::string> itemImage = ChildValue(entry, "image");
    if (!itemName || !itemImage || !ParseRect(entry.child("position"), item.rect)) return 0;
    item.name = std::move(*itemName);
    item.image = JoinSkinFile(m_folder, *itemImage);
    // With several "icon" children the last one wins.
    for (const Element& icon : entry.children("icon")) {
      std::optional<std::string> iconImage = ChildValue(icon, "icon_image");
      if (!iconImage) return 0;
      carried.iconImage = JoinSkinFile(m_folder, *iconImage);
      if (Element iconPosition = icon.child("icon_position")) {
        if (!ParseRect(iconPosition, carried.iconRect)) return 0;
      }
    }
    if (Element textPosition = entry.child("text_position")) {
      if (!ParseRect(textPosition, carried.textRect)) return 0;
    }
    if (Element checkPosition = entry.child("check_position")) {
      ParseRect(checkPosition, carried.checkRect);  // an unreadable one is ignored
    }
    item.iconImage = carried.iconImage;
    item.iconRect = carried.iconRect;
    item.textRect = carried.textRect;
    item.checkRect = carried.checkRect;
    list.items.push_back(std::move(item));
  }
  for (const Element& entry : element.children("list_action")) {
    LayoutImage action;
    std::optional<std::string> actionName = Attribute(entry, "value");
    std::optional<std::string> actionImage = ChildValue(entry, "image");
    if (!actionName || !actionImage || !ParseRect(entry.child("position"), action.rect)) return 0;
    action.name = std::move(*actionName);
    action.image = JoinSkinFile(m_folder, *actionImage);
    list.actions.push_back(std::move(action));
  }
  for (const Element& entry : element.children("list_link")) {
    LayoutIndicator link;
    std::optional<std::string> linkName = Attribute(entry, "value");
    std::optional<std::string> linkImage = ChildValue(entry, "image");
    std::optional<std::string> hyperlink = ChildValue(entry, "hyperlink");
    if (!linkName || !linkImage || !hyperlink || !ParseRect(entry.child("position"), link.rect)) return 0;
    link.name = std::move(*linkName);
    link.image = JoinSkinFile(m_folder, *linkImage);
    link.secondImage = std::move(*hyperlink);  // a page path, as written
    list.links.push_back(std::move(link));
  }
  for (const Element& entry : element.children("list_text")) {
    LayoutText text;
    if (!ParseText(entry, 0, text)) return 0;
    list.texts.push_back(std::move(text));
  }
  for (const Element& entry : element.children("list_image")) {
    LayoutImage picture;
    std::optional<std::string> pictureName = Attribute(entry, "value");
    std::optional<std::string> pictureImage = ChildValue(entry, "image");
    if (!pictureName || !pictureImage || !ParseRect(entry.child("position"), picture.rect)) return 0;
    picture.name = std::move(*pictureName);
    picture.image = JoinSkinFile(m_folder, *pictureImage);
    list.images.push_back(std::move(picture));
  }
  return 1;
}

int CLayoutReader::ParseLists() {
  m_lists.clear();
  Element root = m_document.documentElement();
  if (!root) return 0;
  std::vector<CLayoutList> table;
  for (const Element& element : root.children("list")) {
    CLayoutList list;
    if (!ParseList(element, list)) return 0;
    table.push_back(std::move(list));
  }
  m_lists = std::move(table);
  return 1;
}

namespace {

// Still images and progress bars share one shape: name, image, position.
int ParseImageKind(const Element& root, std::string_view kind, const std::string& folder, CLayoutReader& reader,
                   std::vector<LayoutImage>& out) {
  std::vector<LayoutImage> table;
  for (const Element& element : root.children(kind)) {
    LayoutImage record;
    std::optional<std::string> name = Attribute(element, "value");
    std::optional<std::string> image = ChildValue(element, "image");
    if (!name || !image || !reader.ParseRect(element.child("position"), record.rect)) return 0;
    record.name = std::move(*name);
    record.image = JoinSkinFile(folder, *image);
    table.push_back(std::move(record));
  }
  out = std::move(table);
  return 1;
}

}  // namespace

int CLayoutReader::ParseStillImages() {
  m_stillImages.clear();
  Element root = m_document.documentElement();
  return root ? ParseImageKind(root, "still_image", m_folder, *this, m_stillImages) : 0;
}

int CLayoutReader::ParseProgress() {
  m_progress.clear();
  Element root = m_document.documentElement();
  return root ? ParseImageKind(root, "progress", m_folder, *this, m_progress) : 0;
}

int CLayoutReader::ParseIndicators() {
  m_indicators.clear();
  Element root = m_document.documentElement();
  if (!root) return 0;
  std::vector<LayoutIndicator> table;
  for (const Element& element : root.children("indicator")) {
    LayoutIndicator indicator;
    std::optional<std::string> name = Attribute(element, "value");
    std::optional<std::string> image = ChildValue(element, "image");
    std::optional<std::string> knob = ChildValue(element, "indi_image");
    if (!name || !image || !knob || !ParseRect(element.child("position"), indicator.rect)) return 0;
    indicator.name = std::move(*name);
    indicator.image = JoinSkinFile(m_folder, *image);
    indicator.secondImage = JoinSkinFile(m_folder, *knob);
    table.push_back(std::move(indicator));
  }
  m_indicators = std::move(table);
  return 1;
}

int CLayoutReader::ParseHotkeys() {
  m_hotkeys.clear();
  Element root = m_document.documentElement();
  if (!root) return 0;
  std::vector<LayoutHotkey> table;
  for (const Element& element : root.children("hotkey")) {
    std::optional<std::string> id = Attribute(element, "id");
    std::optional<std::string> action = Attribute(element, "value");
    if (!id || !action) return 0;
    table.push_back(LayoutHotkey{ParseHotkeyName(*id), std::move(*action)});
  }
  m_hotkeys = std::move(table);
  return 1;
}

// ---- Queries ----

const CLayoutList* CLayoutReader::ListAt(int l) const { return At(m_lists, l); }

int CLayoutReader::GetBackgroundImage(std::string& path) const {
  path = m_background;
  return 1;
}

int CLayoutReader::GetPageSize(int& width, int& height) const {
  width = m_pageRect.right - m_pageRect.left;
  height = m_pageRect.bottom - m_pageRect.top;
  return 1;
}

int CLayoutReader::GetButtonCount(int& count) const { return Count(m_buttons, count); }
int CLayoutReader::GetButtonAction(std::string& out, int i) const {
  return Read(m_buttons, i, &LayoutButton::action, out);
}
int CLayoutReader::GetButtonImage(std::string& out, int i) const {
  return Read(m_buttons, i, &LayoutButton::image, out);
}
int CLayoutReader::GetButtonRect(plat::RECT& out, int i) const { return Read(m_buttons, i, &LayoutButton::rect, out); }
int CLayoutReader::GetButtonTooltip(std::string& out, int i) const { return ReadTooltip(m_buttons, i, out); }
int CLayoutReader::FindButton(const std::string& action, int& i) const {
  return Find(m_buttons, &LayoutButton::action, action, i);
}

int CLayoutReader::GetLinkCount(int& count) const { return Count(m_links, count); }
int CLayoutReader::GetLinkName(std::string& out, int i) const { return Read(m_links, i, &LayoutLink::name, out); }
int CLayoutReader::GetLinkImage(std::string& out, int i) const { return Read(m_links, i, &LayoutLink::image, out); }
int CLayoutReader::GetLinkTarget(std::string& out, int i) const {
  return Read(m_links, i, &LayoutLink::hyperlink, out);
}
int CLayoutReader::GetLinkRect(plat::RECT& out, int i) const { return Read(m_links, i, &LayoutLink::rect, out); }
int CLayoutReader::GetLinkTooltip(std::string& out, int i) const { return ReadTooltip(m_links, i, out); }
int CLayoutReader::FindLink(const std::string& name, int& i) const { return Find(m_links, &LayoutLink::name, name, i); }

int CLayoutReader::GetStillImageCount(int& count) const { return Count(m_stillImages, count); }
int CLayoutReader::GetStillImageName(std::string& out, int i) const {
  return Read(m_stillImages, i, &LayoutImage::name, out);
}
int CLayoutReader::GetStillImageFile(std::string& out, int i) const {
  return Read(m_stillImages, i, &LayoutImage::image, out);
}
int CLayoutReader::GetStillImageFileByName(const std::string& name, std::string& file) const {
  int i = 0;
  return FindStillImage(name, i) ? GetStillImageFile(file, i) : 0;
}
int CLayoutReader::GetStillImageRect(plat::RECT& out, int i) const {
  return Read(m_stillImages, i, &LayoutImage::rect, out);
}
int CLayoutReader::FindStillImage(const std::string& name, int& i) const {
  return Find(m_stillImages, &LayoutImage::name, name, i);
}

int CLayoutReader::GetTextCount(int& count) const { return Count(m_texts, count); }
int CLayoutReader::GetTextName(std::string& out, int i) const { return Read(m_texts, i, &LayoutText::name, out); }
int CLayoutReader::GetTextRect(plat::RECT& out, int i) const { return Read(m_texts, i, &LayoutText::rect, out); }
int CLayoutReader::GetTextFont(std::string& out, int i) const { return Read(m_texts, i, &LayoutText::font, out); }
int CLayoutReader::GetTextDependency(std::string& out, int i) const {
  return Read(m_texts, i, &LayoutText::dependency, out);
}
int CLayoutReader::GetTextColors(int i, plat::COLORREF& normal, plat::COLORREF& highlight, plat::COLORREF& pressed,
                                 plat::COLORREF& disabled) const {
  return ReadColors(m_texts, i, normal, highlight, pressed, disabled);
}
int CLayoutReader::GetTextAlign(int& out, int i) const { return Read(m_texts, i, &LayoutText::align, out); }
int CLayoutReader::GetTextDynamicFit(int& out, int i) const { return Read(m_texts, i, &LayoutText::dynamicFit, out); }
int CLayoutReader::FindText(const std::string& name, int& i) const { return Find(m_texts, &LayoutText::name, name, i); }

int CLayoutReader::GetProgressCount(int& count) const { return Count(m_progress, count); }
int CLayoutReader::GetProgressName(std::string& out, int i) const {
  return Read(m_progress, i, &LayoutImage::name, out);
}
int CLayoutReader::GetProgressImage(std::string& out, int i) const {
  return Read(m_progress, i, &LayoutImage::image, out);
}
int CLayoutReader::GetProgressRect(plat::RECT& out, int i) const {
  return Read(m_progress, i, &LayoutImage::rect, out);
}
int CLayoutReader::FindProgress(const std::string& name, int& i) const {
  return Find(m_progress, &LayoutImage::name, name, i);
}

int CLayoutReader::GetIndicatorCount(int& count) const { return Count(m_indicators, count); }
int CLayoutReader::GetIndicatorImages(int i, std::string& image, std::string& secondImage) const {
  const LayoutIndicator* indicator = At(m_indicators, i);
  if (!indicator) return 0;
  image = indicator->image;
  secondImage = indicator->secondImage;
  return 1;
}
int CLayoutReader::GetIndicatorRect(plat::RECT& out, int i) const {
  return Read(m_indicators, i, &LayoutIndicator::rect, out);
}

int CLayoutReader::GetListCount(int& count) const { return Count(m_lists, count); }
int CLayoutReader::GetListName(std::string& out, int l) const { return Read(m_lists, l, &CLayoutList::name, out); }
int CLayoutReader::GetListImage(std::string& out, int l) const { return Read(m_lists, l, &CLayoutList::image, out); }
int CLayoutReader::GetListRect(plat::RECT& out, int l) const { return Read(m_lists, l, &CLayoutList::rect, out); }
int CLayoutReader::FindList(const std::string& name, int& l) const {
  return Find(m_lists, &CLayoutList::name, name, l);
}

// List entries: the list index is checked here, the entry index by the list.

int CLayoutReader::GetListItemCount(int& count, int l) const {
  return WithList(l, [&](const CLayoutList& list) { return list.GetItemCount(count); });
}
int CLayoutReader::GetListItemImage(std::string& out, int j, int l) const {
  return WithList(l, [&](const CLayoutList& list) { return list.GetItemImage(out, j); });
}
int CLayoutReader::GetListItemRect(plat::RECT& out, int j, int l) const {
  return WithList(l, [&](const CLayoutList& list) { return list.GetItemRect(out, j); });
}
int CLayoutReader::GetListItemTextRect(plat::RECT& out, int j, int l) const {
  return WithList(l, [&](const CLayoutList& list) { return list.GetItemTextRect(out, j); });
}
int CLayoutReader::GetListItemCheckRect(plat::RECT& out, int j, int l) const {
  return WithList(l, [&](const CLayoutList& list) { return list.GetItemCheckRect(out, j); });
}
int CLayoutReader::GetListItemIconImage(std::string& out, int j, int l) const {
  return WithList(l, [&](const CLayoutList& list) { return list.GetItemIconImage(out, j); });
}
int CLayoutReader::GetListItemIconRect(plat::RECT& out, int j, int l) const {
  return WithList(l, [&](const CLayoutList& list) { return list.GetItemIconRect(out, j); });
}

int CLayoutReader::GetListActionCount(int& count, int l) const {
  return WithList(l, [&](const CLayoutList& list) { return list.GetActionCount(count); });
}
int CLayoutReader::GetListActionName(std::string& out, int j, int l) const {
  return WithList(l, [&](const CLayoutList& list) { return list.GetActionName(out, j); });
}
int CLayoutReader::GetListActionImage(std::string& out, int j, int l) const {
  return WithList(l, [&](const CLayoutList& list) { return list.GetActionImage(out, j); });
}
int CLayoutReader::GetListActionRect(plat::RECT& out, int j, int l) const {
  return WithList(l, [&](const CLayoutList& list) { return list.GetActionRect(out, j); });
}
int CLayoutReader::FindListAction(const std::string& name, int& j, int l) const {
  return WithList(l, [&](const CLayoutList& list) { return list.FindAction(name, j); });
}

int CLayoutReader::GetListLinkCount(int& count, int l) const {
  return WithList(l, [&](const CLayoutList& list) { return list.GetLinkCount(count); });
}
int CLayoutReader::GetListLinkName(std::string& out, int j, int l) const {
  return WithList(l, [&](const CLayoutList& list) { return list.GetLinkName(out, j); });
}
int CLayoutReader::GetListLinkImage(std::string& out, int j, int l) const {
  return WithList(l, [&](const CLayoutList& list) { return list.GetLinkImage(out, j); });
}
int CLayoutReader::GetListLinkTarget(std::string& out, int j, int l) const {
  return WithList(l, [&](const CLayoutList& list) { return list.GetLinkTarget(out, j); });
}
int CLayoutReader::GetListLinkRect(plat::RECT& out, int j, int l) const {
  return WithList(l, [&](const CLayoutList& list) { return list.GetLinkRect(out, j); });
}
int CLayoutReader::FindListLink(const std::string& name, int& j, int l) const {
  return WithList(l, [&](const CLayoutList& list) { return list.FindLink(name, j); });
}

int CLayoutReader::GetListTextCount(int& count, int l) const {
  return WithList(l, [&](const CLayoutList& list) { return list.GetTextCount(count); });
}
int CLayoutReader::GetListTextName(std::string& out, int j, int l) const {
  return WithList(l, [&](const CLayoutList& list) { return list.GetTextName(out, j); });
}
int CLayoutReader::GetListTextRect(plat::RECT& out, int j, int l) const {
  return WithList(l, [&](const CLayoutList& list) { return list.GetTextRect(out, j); });
}
int CLayoutReader::FindListText(const std::string& name, int& j, int l) const {
  return WithList(l, [&](const CLayoutList& list) { return list.FindText(name, j); });
}
int CLayoutReader::GetListTextFont(std::string& out, int j, int l) const {
  return WithList(l, [&](const CLayoutList& list) { return list.GetTextFont(out, j); });
}
int CLayoutReader::GetListTextDependency(std::string& out, int j, int l) const {
  return WithList(l, [&](const CLayoutList& list) { return list.GetTextDependency(out, j); });
}
int CLayoutReader::GetListTextColors(int j, int l, plat::COLORREF& normal, plat::COLORREF& highlight,
                                     plat::COLORREF& pressed, plat::COLORREF& disabled) const {
  return WithList(l,
                  [&](const CLayoutList& list) { return list.GetTextColors(j, normal, highlight, pressed, disabled); });
}
int CLayoutReader::GetListTextAlign(int& out, int j, int l) const {
  return WithList(l, [&](const CLayoutList& list) { return list.GetTextAlign(out, j); });
}
int CLayoutReader::GetListTextDynamicFit(int& out, int j, int l) const {
  return WithList(l, [&](const CLayoutList& list) { return list.GetTextDynamicFit(out, j); });
}

int CLayoutReader::GetListImageCount(int& count, int l) const {
  return WithList(l, [&](const CLayoutList& list) { return list.GetImageCount(count); });
}
int CLayoutReader::GetListImageName(std::string& out, int j, int l) const {
  return WithList(l, [&](const CLayoutList& list) { return list.GetImageName(out, j); });
}
int CLayoutReader::GetListImageFile(std::string& out, int j, int l) const {
  return WithList(l, [&](const CLayoutList& list) { return list.GetImageFile(out, j); });
}
int CLayoutReader::GetListImageRect(plat::RECT& out, int j, int l) const {
  return WithList(l, [&](const CLayoutList& list) { return list.GetImageRect(out, j); });
}

int CLayoutReader::GetHotkeyAction(KeyCode keyCode, std::string& action) const {
  for (const LayoutHotkey& hotkey : m_hotkeys) {
    if (hotkey.keyCode == keyCode) {
      action = hotkey.action;
      return 1;
    }
  }
  return 0;
}
