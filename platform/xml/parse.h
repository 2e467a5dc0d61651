// Loads XML text into a pugixml document, refusing what pugixml would let
// through silently: several document elements, text outside the document
// element, unknown entities and malformed character references.
#pragma once

#include <string_view>

#include "platform/xml/document.h"

namespace pugi {
class xml_document;
}

namespace plat::xml {

// On failure the document may hold a partial tree; the caller resets it.
Status parseInto(pugi::xml_document& doc, std::string_view bytes);

}  // namespace plat::xml
