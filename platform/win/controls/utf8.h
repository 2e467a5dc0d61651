// UTF-8 and code points for the controls' text editing.
#pragma once

#include <string>

namespace plat::controls {

// Malformed bytes become U+FFFD.
std::u32string DecodeUtf8(const std::string& text);
std::string EncodeUtf8(const std::u32string& text);

}  // namespace plat::controls
