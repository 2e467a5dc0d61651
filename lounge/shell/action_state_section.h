// Small helpers the state queries share for reading the sections safely.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

// The entry of `list` at `index`; empty when the index lies outside the list
// (a live index may briefly point past a list that was just rebuilt).
template <class T>
std::optional<T> EntryAt(const std::vector<T>& list, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= list.size()) return std::nullopt;
  return list[static_cast<std::size_t>(index)];
}
