#include "lounge/pages/radio/radio_programme_type.h"

#include <array>
#include <utility>

namespace radio_text {

std::string ProgrammeTypeName(std::string_view label) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 32> kNames{{
      {"-", ""},
      {"News", "News"},
      {"Affairs", "Current affairs"},
      {"Info", "Information"},
      {"Sport", "Sport"},
      {"Educate", "Education"},
      {"Drama", "Drama"},
      {"Culture", "Culture"},
      {"Science", "Science"},
      {"Varied", "Varied"},
      {"Pop_M", "Pop music"},
      {"Rock_M", "Rock music"},
      {"Easy_M", "Easy listening"},
      {"Light_M", "Light classical"},
      {"Classics", "Serious classical"},
      {"Other_M", "Other music"},
      {"Weather", "Weather"},
      {"Finance", "Finance"},
      {"Children", "Children's programmes"},
      {"Social", "Social affairs"},
      {"Religion", "Religion"},
      {"Phone_In", "Phone-in"},
      {"Travel", "Travel"},
      {"Leisure", "Leisure"},
      {"Jazz", "Jazz music"},
      {"Country", "Country music"},
      {"Nation_M", "National music"},
      {"Oldies", "Oldies music"},
      {"Folk_M", "Folk music"},
      {"Document", "Documentary"},
      {"TEST", "Alarm test"},
      {"Alarm!", "Alarm"},
  }};
  for (const auto& [shortLabel, name] : kNames)
    if (shortLabel == label) return std::string(name);
  return std::string(label);
}

}  // namespace radio_text
