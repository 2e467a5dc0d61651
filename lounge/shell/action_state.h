// Action state queries: whether a page element or a bar button is shown,
// enabled and drawn checked, answered from the live state in the system
// core's configuration sections. Each query takes the three outputs as the
// caller preset them (shown 1, enabled 1, checked 0), writes only those its
// rule is about and returns 1. An action runs only when it is shown and
// enabled.
//
// Every module has one header with a query per rule and a lookup by action
// name (action_state_movie.h, _music, _photo, _radio, _tv, _video). The
// lookup returns 0, leaving the outputs untouched, for a name it does not
// know; the caller decides what that means (the playback bar, for example,
// treats it differently per active module).
#pragma once

#include <algorithm>
#include <span>
#include <string_view>

// Any element that is never enabled.
int QueryDisabledState(int& shown, int& enabled, int& checked);
// Any element that is neither shown nor enabled.
int QueryHiddenState(int& shown, int& enabled, int& checked);

// One row of a module's name table.
template <class Section>
struct ActionStateRow {
  std::string_view name;
  int (*query)(const Section&, int& shown, int& enabled, int& checked);
};

// Runs the query of `action` from `rows`; 0 when the name has none.
template <class Section>
int LookUpActionState(std::span<const ActionStateRow<Section>> rows, const Section& section, std::string_view action,
                      int& shown, int& enabled, int& checked) {
  const auto row = std::find_if(rows.begin(), rows.end(), [&](const auto& r) { return r.name == action; });
  if (row == rows.end()) return 0;
  return row->query(section, shown, enabled, checked);
}
