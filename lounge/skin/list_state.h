// The live state a page keeps for each element and each list of its layout.
#pragma once

#include <vector>

// Shown, enabled, checked and pressed flags of one button, link, list item,
// list action or list link. State queries preset shown 1, enabled 1 and
// checked 0 and change only what differs.
struct ElementState {
  int shown = 1;
  int enabled = 1;
  int checked = 0;
  int pressed = 0;
};

// The run-time state of one list of a page.
struct CListState {
  std::vector<ElementState> itemStates;
  std::vector<ElementState> listLinkStates;
  std::vector<ElementState> listActionStates;
  std::vector<int> listTextShown;
  std::vector<int> listImageShown;
  int highlightedItem = -1;
  int pressedItem = -1;
  int highlightedListLink = -1;
  int pressedListLink = -1;
  int highlightedListAction = -1;
  int pressedListAction = -1;
  int shown = 1;
  int selectedItem = -1;     // the item drawn as current; -1 none
  int rememberedEntry = -1;  // the entry that last had the focus in this list
};
