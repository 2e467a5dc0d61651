#include "corebridge/core/authoring_config.h"

#include <cstdlib>

std::string AuthoringCacheFolder() {
  if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && *xdg == '/') return std::string(xdg) + "/Marivel";
  if (const char* home = std::getenv("HOME"); home && *home) return std::string(home) + "/.cache/Marivel";
  return "/tmp/Marivel";
}

std::string AuthoringWorkFolder() { return AuthoringCacheFolder() + "/WUTemp"; }

std::string AuthoringDvdFolder() { return AuthoringCacheFolder() + "/Work Folder/DVD Folder"; }

std::string AuthoringStagingFolder() { return AuthoringCacheFolder() + "/Work Folder/Data Disc"; }
