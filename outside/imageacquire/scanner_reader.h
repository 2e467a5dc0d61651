// One scan through SANE: the device's current settings, read line by line
// into a picture saved as PNG. The caller's stop test runs between lines, so
// a scan ends within one line of being told to.
#pragma once

#include <functional>
#include <string>

namespace imageacquire {

struct ScanCallbacks {
  std::function<bool()> shouldStop;
  std::function<void(int percent)> progress;
};

// True when the whole page was written to `target` (created new, never
// replacing a file); false with the reason in `error` otherwise, and no file.
bool ScanToPng(const std::string& device, const std::string& target, const ScanCallbacks& callbacks,
               std::string* error);

}  // namespace imageacquire
