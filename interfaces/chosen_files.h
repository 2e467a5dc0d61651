// Files chosen in one module for another (Music's "Music Copy" for the
// record hub and burning): the files, the filter they were chosen with and a
// name for the selection. Passed by address as the first action argument;
// valid only during that call.
#pragma once

#include <string>
#include <vector>

struct ChosenFiles {
  std::vector<std::string> files;
  std::string filter;         // ".mp3;.wma;.wav;"
  std::string selectionName;  // the folder, album or disc the files came from
};
