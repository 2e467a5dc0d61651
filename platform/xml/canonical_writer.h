// The one textual form in which documents are saved: UTF-8, an XML
// declaration, two-space indentation, LF line ends, empty elements
// self-closed. Elements that hold text are written on one line with their
// whole content, so no indentation creeps into the text.
#pragma once

#include <string>

namespace pugi {
class xml_document;
}

namespace plat::xml {

std::string writeCanonical(const pugi::xml_document& doc);

}  // namespace plat::xml
