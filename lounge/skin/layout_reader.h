// CLayoutReader: reads one page's "layout.xml" into typed element tables and
// answers queries about them by kind and index or by kind and name.
//
// The file lies at <base>/Layout/XML/<page path>/layout.xml, where the page
// path keeps its backslash form ("Music\Tracks") as the page's identifier.
// Every image the layout names is joined to that page folder. The reader
// loads the file at construction and parses it in LoadAll(); it never writes.
//
// Query conventions: 1 done, 0 refused; outputs are written only on 1 (the
// tooltip queries copy the tooltip and return 1 only when it is not empty).
// Count queries always succeed. Indices are 0-based; for list entries both
// the list index l and the entry index j are checked. Find operations compare
// whole names case-sensitively and report the first match, leaving the index
// untouched when there is none. Rectangles are in layout coordinates.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "lounge/skin/layout_list.h"
#include "lounge/skin/layout_records.h"
#include "platform/xml/document.h"

class CLayoutReader {
 public:
  // Loads the layout of `pagePath` below SkinBaseFolder() (or `baseFolder`).
  // A missing or unreadable file is not reported here; LoadAll() returns 0.
  explicit CLayoutReader(const std::string& pagePath);
  CLayoutReader(const std::string& pagePath, const std::filesystem::path& baseFolder);
  virtual ~CLayoutReader();
  CLayoutReader(const CLayoutReader&) = delete;
  CLayoutReader& operator=(const CLayoutReader&) = delete;

  // Reads "left", "top", "width" and "height" of a "position" element into
  // left, top, left + width, top + height. 0, with `rect` untouched, when an
  // attribute is missing.
  virtual int ParseRect(const plat::xml::Element& position, plat::RECT& rect);
  // Reads a "color" element (may be null): each colour it names is read as
  // hexadecimal, each it lacks takes the scheme colour of its state. Returns 1.
  virtual int ParseColors(const plat::xml::Element& color, plat::COLORREF& normal, plat::COLORREF& highlight,
                          plat::COLORREF& pressed, plat::COLORREF& disabled);
  // Runs every parser below, also after a failure, and returns 1 only when
  // all succeeded. On failure every table is left empty, so that no caller
  // sees a half-read page.
  virtual int LoadAll();
  // Each parser replaces its own table with the elements of its kind, in
  // document order. 1 when all were read (also when there are none); 0, with
  // the table left empty, when a required part is missing or unreadable or the
  // document has no root.
  virtual int ParseBackground();
  virtual int ParseButtons();
  virtual int ParseLinks();
  virtual int ParseTexts();
  virtual int ParseLists();
  virtual int ParseStillImages();
  virtual int ParseProgress();
  virtual int ParseIndicators();
  virtual int ParseHotkeys();

  // Loads `path` into the document; 0 when it is missing or not well-formed.
  int LoadXmlFile(const std::string& path);

  // Frees the parsed document once the tables are read; the queries answer
  // from the tables alone.
  void ReleaseDocument() { m_document = plat::xml::Document(); }

  // Why the layout did not load (the file or a part of it), without the
  // path; empty while nothing failed.
  const std::string& LoadError() const { return m_loadError; }
  // The layout file as the page names it (not yet matched without regard to
  // case).
  std::string LayoutFile() const;

  // The page's folder (POSIX path); images are joined to it.
  const std::string& GetFolder() const { return m_folder; }

  // Page.
  int GetBackgroundImage(std::string& path) const;
  // Width and height of the background position; 0 by 0 before a successful
  // parse. Always 1.
  int GetPageSize(int& width, int& height) const;

  // Buttons ("action" elements).
  int GetButtonCount(int& count) const;
  int GetButtonAction(std::string& action, int i) const;
  int GetButtonImage(std::string& image, int i) const;
  int GetButtonRect(plat::RECT& rect, int i) const;
  int GetButtonTooltip(std::string& tooltip, int i) const;
  int FindButton(const std::string& action, int& i) const;

  // Links.
  int GetLinkCount(int& count) const;
  int GetLinkName(std::string& name, int i) const;
  int GetLinkImage(std::string& image, int i) const;
  int GetLinkTarget(std::string& target, int i) const;
  int GetLinkRect(plat::RECT& rect, int i) const;
  int GetLinkTooltip(std::string& tooltip, int i) const;
  int FindLink(const std::string& name, int& i) const;

  // Still images.
  int GetStillImageCount(int& count) const;
  int GetStillImageName(std::string& name, int i) const;
  int GetStillImageFile(std::string& file, int i) const;
  int GetStillImageFileByName(const std::string& name, std::string& file) const;
  int GetStillImageRect(plat::RECT& rect, int i) const;
  int FindStillImage(const std::string& name, int& i) const;

  // Texts.
  int GetTextCount(int& count) const;
  int GetTextName(std::string& name, int i) const;
  int GetTextRect(plat::RECT& rect, int i) const;
  int GetTextFont(std::string& font, int i) const;
  int GetTextDependency(std::string& dependency, int i) const;
  int GetTextColors(int i, plat::COLORREF& normal, plat::COLORREF& highlight, plat::COLORREF& pressed,
                    plat::COLORREF& disabled) const;
  int GetTextAlign(int& align, int i) const;
  int GetTextDynamicFit(int& dynamicFit, int i) const;
  int FindText(const std::string& name, int& i) const;

  // Progress bars.
  int GetProgressCount(int& count) const;
  int GetProgressName(std::string& name, int i) const;
  int GetProgressImage(std::string& image, int i) const;
  int GetProgressRect(plat::RECT& rect, int i) const;
  int FindProgress(const std::string& name, int& i) const;

  // Indicators.
  int GetIndicatorCount(int& count) const;
  int GetIndicatorImages(int i, std::string& image, std::string& secondImage) const;
  int GetIndicatorRect(plat::RECT& rect, int i) const;

  // Lists.
  int GetListCount(int& count) const;
  int GetListName(std::string& name, int l) const;
  int GetListImage(std::string& image, int l) const;  // empty: no background
  int GetListRect(plat::RECT& rect, int l) const;
  int FindList(const std::string& name, int& l) const;

  // List item slots.
  int GetListItemCount(int& count, int l) const;
  int GetListItemImage(std::string& image, int j, int l) const;
  int GetListItemRect(plat::RECT& rect, int j, int l) const;
  int GetListItemTextRect(plat::RECT& rect, int j, int l) const;
  int GetListItemCheckRect(plat::RECT& rect, int j, int l) const;
  int GetListItemIconImage(std::string& image, int j, int l) const;
  int GetListItemIconRect(plat::RECT& rect, int j, int l) const;

  // List actions.
  int GetListActionCount(int& count, int l) const;
  int GetListActionName(std::string& name, int j, int l) const;
  int GetListActionImage(std::string& image, int j, int l) const;
  int GetListActionRect(plat::RECT& rect, int j, int l) const;
  int FindListAction(const std::string& name, int& j, int l) const;

  // List links.
  int GetListLinkCount(int& count, int l) const;
  int GetListLinkName(std::string& name, int j, int l) const;
  int GetListLinkImage(std::string& image, int j, int l) const;
  int GetListLinkTarget(std::string& target, int j, int l) const;
  int GetListLinkRect(plat::RECT& rect, int j, int l) const;
  int FindListLink(const std::string& name, int& j, int l) const;

  // List texts.
  int GetListTextCount(int& count, int l) const;
  int GetListTextName(std::string& name, int j, int l) const;
  int GetListTextRect(plat::RECT& rect, int j, int l) const;
  int FindListText(const std::string& name, int& j, int l) const;
  int GetListTextFont(std::string& font, int j, int l) const;
  int GetListTextDependency(std::string& dependency, int j, int l) const;
  int GetListTextColors(int j, int l, plat::COLORREF& normal, plat::COLORREF& highlight, plat::COLORREF& pressed,
                        plat::COLORREF& disabled) const;
  int GetListTextAlign(int& align, int j, int l) const;
  int GetListTextDynamicFit(int& dynamicFit, int j, int l) const;

  // List images.
  int GetListImageCount(int& count, int l) const;
  int GetListImageName(std::string& name, int j, int l) const;
  int GetListImageFile(std::string& file, int j, int l) const;
  int GetListImageRect(plat::RECT& rect, int j, int l) const;

  // Hot keys: the action of the first record whose key code equals `keyCode`
  // exactly (modifier bits included).
  int GetHotkeyAction(KeyCode keyCode, std::string& action) const;

  // Whole tables, for callers that walk them.
  const std::vector<LayoutButton>& Buttons() const { return m_buttons; }
  const std::vector<LayoutLink>& Links() const { return m_links; }
  const std::vector<LayoutText>& Texts() const { return m_texts; }
  const std::vector<LayoutImage>& StillImages() const { return m_stillImages; }
  const std::vector<LayoutImage>& ProgressBars() const { return m_progress; }
  const std::vector<LayoutIndicator>& Indicators() const { return m_indicators; }
  const std::vector<CLayoutList>& Lists() const { return m_lists; }
  const std::vector<LayoutHotkey>& Hotkeys() const { return m_hotkeys; }

 private:
  const CLayoutList* ListAt(int l) const;
  // Runs `query` on list l; 0 for a bad list index.
  template <typename Query>
  int WithList(int l, Query&& query) const {
    const CLayoutList* list = ListAt(l);
    return list ? query(*list) : 0;
  }
  int ParseText(const plat::xml::Element& element, int defaultDynamicFit, LayoutText& text);
  int ParseList(const plat::xml::Element& element, CLayoutList& list);
  void ClearTables();

  std::string m_folder;
  std::string m_loadError;
  plat::xml::Document m_document;
  std::string m_background;
  plat::RECT m_pageRect;
  std::vector<LayoutButton> m_buttons;
  std::vector<LayoutLink> m_links;
  std::vector<LayoutText> m_texts;
  std::vector<LayoutImage> m_stillImages;
  std::vector<LayoutImage> m_progress;
  std::vector<LayoutIndicator> m_indicators;
  std::vector<CLayoutList> m_lists;
  std::vector<LayoutHotkey> m_hotkeys;
};
