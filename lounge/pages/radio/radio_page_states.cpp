// CRadioPage: the states of buttons and list_actions. The Radio module's
// shared state table answers first; the page adds what only it knows (list
// scrolling, the station rows of the frequency setting page, the sources).
#include <string_view>

#include "corebridge/core/config.h"
#include "corebridge/core/radio_config.h"
#include "lounge/pages/radio/radio_page.h"
#include "lounge/skin/layout_reader.h"
#include "lounge/skin/page_element_index.h"

namespace {

// "Radio Station N Up|Down|Delete" -> row N - 1 and the verb; false otherwise.
bool ParseStationRow(std::string_view name, int& row, std::string_view& verb) {
  static constexpr std::string_view kPrefix = "Radio Station ";
  if (name.substr(0, kPrefix.size()) != kPrefix) return false;
  name.remove_prefix(kPrefix.size());
  const std::size_t space = name.find(' ');
  if (space == 0 || space == std::string_view::npos || space > 2) return false;
  int n = 0;
  for (char c : name.substr(0, space)) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + (c - '0');
  }
  verb = name.substr(space + 1);
  if (n < 1 || n > 10 || (verb != "Up" && verb != "Down" && verb != "Delete")) return false;
  row = n - 1;
  return true;
}

}  // namespace

int CRadioPage::RadioSourceCount() const {
  const CRadioConfig* radio = Radio();
  return radio && radio->m_pProfiles1 ? static_cast<int>(radio->m_pProfiles1->m_profiles.size()) : 0;
}

int CRadioPage::CurrentSourceLineInCount() const {
  const CRadioConfig* radio = Radio();
  if (!radio || !radio->m_pProfiles1) return 0;
  const auto& sources = radio->m_pProfiles1->m_profiles;
  const int i = radio->m_nSourceDevice;
  if (i < 0 || i >= static_cast<int>(sources.size())) return 0;
  return static_cast<int>(sources[static_cast<std::size_t>(i)].m_wideItems.size());
}

int CRadioPage::QueryRadioListAction(const std::string& name, int* shown, int* enabled, int* checked) {
  CRadioConfig* radio = Radio();
  if (!radio) return 0;
  const int list = DisplayList();
  if (name == "pageup" || name == "pagedown") {
    int can = 0;
    const bool up = name == "pageup";
    if (list < 0 || !(up ? ElementIndex().CanScrollUp(list, &can) : ElementIndex().CanScrollDown(list, &can)))
      return 0;
    *enabled = can ? 1 : 0;
    return 1;
  }
  int row = -1;
  std::string_view verb;
  if (ParseStationRow(name, row, verb)) {
    const int index = ItemOfRow(row);
    const int count = radio->GetRadioStationCount(RADIO_BAND_CURRENT);
    if (index < 0 || index >= count) {
      *shown = *enabled = 0;
      return 1;
    }
    *shown = 1;
    const bool scanning = radio->m_nRecordState == RADIO_SCANNING;
    if (verb == "Up") *enabled = !scanning && index > 0 ? 1 : 0;
    if (verb == "Down") *enabled = !scanning && index + 1 < count ? 1 : 0;
    if (verb == "Delete") *enabled = scanning ? 0 : 1;
    return 1;
  }
  // Answered with what the caller preset (the shared table leaves them to the
  // playback bar's default).
  if (name == "Radio Schedule Page" || name == "Radio Setting Page") return 1;
  const int answered = QueryRadioActionState(*radio, name, *shown, *enabled, *checked, RadioStateCaller::kPage, this);
  // These three keep the skin's default although the table enables them.
  if (name == "Radio RecordSetting Page" || name == "Radio Sch RecordFormat Left" ||
      name == "Radio Sch RecordFormat Right")
    return 0;
  return answered;
}

int CRadioPage::QueryListActionState(int list, int action, int* shown, int* enabled, int* checked) {
  const CLayoutReader* layout = Layout();
  if (!layout || list < 0 || list >= static_cast<int>(layout->Lists().size())) return 0;
  const CLayoutList& l = layout->Lists()[static_cast<std::size_t>(list)];
  if (action < 0 || action >= static_cast<int>(l.actions.size())) return 0;
  return QueryRadioListAction(l.actions[static_cast<std::size_t>(action)].name, shown, enabled, checked);
}

int CRadioPage::QueryButtonState(const std::string& action, int* shown, int* enabled, int* checked) {
  if (action == "Radio CurrentSettingSchedule") {
    *enabled = 0;
    return 1;
  }
  return CShellPage::QueryButtonState(action, shown, enabled, checked);
}
