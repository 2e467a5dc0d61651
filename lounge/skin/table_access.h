// Index-checked reads from element tables, shared by the layout queries.
#pragma once

#include <string>
#include <vector>

namespace skin_detail {

template <typename Record>
const Record* At(const std::vector<Record>& table, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= table.size()) return nullptr;
  return &table[static_cast<std::size_t>(index)];
}

// Copies one field of record `index` into `out`; 0 for a bad index.
template <typename Record, typename Field, typename Out>
int Read(const std::vector<Record>& table, int index, Field Record::*field, Out& out) {
  const Record* record = At(table, index);
  if (!record) return 0;
  out = record->*field;
  return 1;
}

template <typename Record>
int Count(const std::vector<Record>& table, int& count) {
  count = static_cast<int>(table.size());
  return 1;
}

// First record whose field equals `name` exactly; 0 when none (index untouched).
template <typename Record>
int Find(const std::vector<Record>& table, std::string Record::*field, const std::string& name, int& index) {
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (table[i].*field == name) {
      index = static_cast<int>(i);
      return 1;
    }
  }
  return 0;
}

// Tooltips: the text is copied even when empty; 1 only when it is not empty.
template <typename Record>
int ReadTooltip(const std::vector<Record>& table, int index, std::string& out) {
  const Record* record = At(table, index);
  if (!record) return 0;
  out = record->tooltip;
  return out.empty() ? 0 : 1;
}

template <typename Text, typename Colour>
int ReadColors(const std::vector<Text>& table, int index, Colour& normal, Colour& highlight, Colour& pressed,
               Colour& disabled) {
  const Text* text = At(table, index);
  if (!text) return 0;
  normal = text->normalColor;
  highlight = text->highlightColor;
  pressed = text->pressedColor;
  disabled = text->disabledColor;
  return 1;
}

}  // namespace skin_detail
