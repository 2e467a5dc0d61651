// Reading and writing a hive as REGEDIT4 text:
//
//   REGEDIT4
//
//   [HKEY_LOCAL_MACHINE\SoftWare\Kestrovia\Marivel]
//   @="default value"
//   "Vendor"="text with \\ and \" escaped"
//   "PowerSave"=dword:00000001
//   "Blob"=hex:01,02,ff
//
// Long hex lists wrap with a trailing backslash. Data that the quoted or
// dword forms cannot carry exactly (a string with an embedded zero or a line
// break, a dword of another size, other types) is written as hex(<type>): so
// that every value reads back byte for byte.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/hive_tree.h"

namespace plat::reg {

// A root name that section headers may start with, and the path inside the
// hive it stands for (HKEY_CLASSES_ROOT is Software\Classes of the machine).
struct HiveRoot {
  std::string name;
  std::vector<std::string> prefix;
};

struct ParseError {
  int line = 0;  // 1-based
  std::string reason;
};

// Parses `text` into `out` (which should start empty). `roots` lists the root
// names accepted in section headers; the first is the hive's own. Text that
// is empty or blank is an empty hive.
std::optional<ParseError> ParseHiveText(std::string_view text, std::span<const HiveRoot> roots, Key& out);

// Writes every key below `root` as a section headed by `rootName`; the root
// itself gets a section only when it holds values.
std::string WriteHiveText(const Key& root, std::string_view rootName);

}  // namespace plat::reg
