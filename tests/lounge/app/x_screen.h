// Reads an X server's screen as a picture. Kept apart from the tests so that
// the X headers' macros meet no other code.
#pragma once

#include <optional>
#include <string>

#include "platform/gdi/surface.h"

namespace app_test {

// The top-left `width` x `height` of screen 0 of `display` (":N"), or
// nothing when the server cannot be reached or read.
std::optional<plat::Surface> ReadXScreen(const std::string& display, int width, int height);

}  // namespace app_test
