// The name a listener reads for a station's programme type: RDS sends the
// type as a number that arrives here as its eight-character short label
// ("Pop_M"); the page shows the full name ("Pop music").
#pragma once

#include <string>
#include <string_view>

namespace radio_text {

// The full name of a short programme-type label; an unknown label as it
// came, "-" (no type) as nothing.
std::string ProgrammeTypeName(std::string_view label);

}  // namespace radio_text
