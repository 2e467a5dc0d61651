// Whether a string may stand as an element or attribute name in the files we
// write. Non-ASCII bytes are accepted as name characters as XML allows them;
// ASCII is held to the XML rules so that a saved file always reads back.
#pragma once

#include <string_view>

namespace plat::xml {

bool isValidName(std::string_view name);

}  // namespace plat::xml
