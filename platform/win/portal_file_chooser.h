// The desktop's file chooser through the desktop portal on the session bus
// (org.freedesktop.portal.FileChooser.OpenFile): the user picks the files in
// the desktop's own dialog. While it is open this thread's messages keep
// being dispatched, so the program goes on drawing; the wait is bounded.
#pragma once

#include <chrono>
#include <string>

#include "platform/win/file_dialog.h"

namespace plat {

// A chooser over the portal at `busAddress` (the user's session bus when
// empty). It answers "cancelled" when there is no portal, the user cancels,
// or `limit` passes.
FileChooser MakePortalFileChooser(std::string busAddress = {},
                                  std::chrono::seconds limit = std::chrono::minutes(10));

// The filter text's pairs ("Name|*.a;*.b||") as (name, patterns).
std::vector<std::pair<std::string, std::vector<std::string>>> ParseFileFilter(const std::string& filter);

// The local path of a "file://" URI (percent escapes decoded); empty for
// any other kind of URI.
std::string PathFromFileUri(const std::string& uri);

}  // namespace plat
