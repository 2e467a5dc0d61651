// The standard file-open dialog with multiple selection. Where the answers
// come from is a chooser the program installs: the desktop's file chooser on
// a real screen, scripted answers on the headless display. With no chooser
// the dialog is cancelled.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/core/types.h"

namespace plat {

inline constexpr DWORD OFN_ALLOWMULTISELECT = 0x00000200;
inline constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;

struct OpenFileRequest {
  // "Description (*.a;*.b)|*.a;*.b||": pairs of texts separated by '|'.
  std::string filter;
  DWORD flags = 0;
};

// Answers a request with the chosen paths; false when the user cancelled.
using FileChooser = std::function<bool(const OpenFileRequest& request, std::vector<std::string>& paths)>;

// Installs the process's chooser (an empty function removes it).
void SetFileChooser(FileChooser chooser);

// Runs the dialog. True with at least one path when the user chose files;
// with OFN_FILEMUSTEXIST an answer naming anything but an existing regular
// file is refused as the dialog refuses it; without OFN_ALLOWMULTISELECT only
// the first path is kept.
bool GetOpenFileNames(const OpenFileRequest& request, std::vector<std::string>& paths);

}  // namespace plat
