// UTF-16 to UTF-8 for the wide text calls. Internal.
#pragma once

#include <string>
#include <string_view>

namespace plat::gdi {

// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
// Length of a NUL-terminated or counted (count >= 0) text.
std::u16string_view WideView(const char16_t* text, int count);
std::string_view NarrowView(const char* text, int count);

}  // namespace plat::gdi
