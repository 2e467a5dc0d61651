// Parsed page layouts, shared: each page's layout file is read and parsed
// once per skin folder and kept while the file stays as it was, so that
// switching to a page already seen costs no parsing. The layouts handed out
// are read-only and may be held by several pages at once.
#pragma once

#include <memory>
#include <string>

#include "lounge/skin/layout_reader.h"

struct LayoutLoad {
  std::shared_ptr<const CLayoutReader> layout;  // null when it did not load
  std::string file;                             // the layout file, as found on disk
  std::string error;                            // why it did not load (no path)
};

// The layout of `pagePath` below SkinBaseFolder().
LayoutLoad SharedLayout(const std::string& pagePath);

// Forgets every parsed layout (tests).
void ClearLayoutCache();
