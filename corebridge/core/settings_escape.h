// Reversible escaping of setting values that XML cannot hold.
//
// A value is stored as it is when it is valid UTF-8 made only of characters
// XML allows (TAB, LF and CR are the only control characters it accepts).
// Any other value -- and any value that happens to begin with the marker --
// is stored as the marker "%ESC%" followed by the value's bytes, printable
// ASCII other than '%' as they are and every other byte as "%XX" (two
// upper-case hex digits). Reading undoes it, so every byte string survives a
// save and a load, and the file always parses.
#pragma once

#include <string>
#include <string_view>

namespace settings_escape {

inline constexpr std::string_view kMarker = "%ESC%";

// True when `text` is valid UTF-8 of characters allowed in XML 1.0.
bool IsXmlText(std::string_view text);

std::string EscapeValue(std::string_view raw);
std::string UnescapeValue(std::string_view stored);

}  // namespace settings_escape
