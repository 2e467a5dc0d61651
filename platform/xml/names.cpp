#include "platform/xml/names.h"

namespace plat::xml {
namespace {

bool isNameStart(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' || c >= 0x80;
}

bool isNameChar(unsigned char c) {
  return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

}  // namespace

bool isValidName(std::string_view name) {
  if (name.empty() || !isNameStart(static_cast<unsigned char>(name.front()))) return false;
  for (char c : name.substr(1))
    if (!isNameChar(static_cast<unsigned char>(c))) return false;
  return true;
}

}  // namespace plat::xml
