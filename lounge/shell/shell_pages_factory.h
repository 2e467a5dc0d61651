// The program's module pages, made for the main frame.
#pragma once

#include "lounge/shell/shell_pages.h"

class IShellFrame;

// Makes every page of this build for `frame`; a page that is not built yet
// is null, and so is its event table.
ShellPages MakeShellPages(IShellFrame& frame);
