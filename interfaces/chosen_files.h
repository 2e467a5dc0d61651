// ChosenFiles: what a module hands back to the record hub on its way back
// ("Record Go Back Door", b = the record's address, 0 for none): the files
// the user chose, the extension filter of the copy, the selection's name and,
// when the module chose one, the target folder. The caller owns the record;
// the hub copies what it needs during the call.
#pragma once

#include <string>
#include <vector>

struct ChosenFiles {
  std::vector<std::string> files;
  std::string filter;   // e.g. "|.jpg|.jpeg|"; empty copies every file
  std::string name;     // the selection's name
  std::string folder;   // the target folder; empty keeps the hub's
};
