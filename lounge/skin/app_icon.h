// The program's icons. They ship as picture files "icon<id>.png" in the
// folder "Resources" beside the executable, named by their resource number.
#pragma once

#include "platform/core/types.h"

// Loads icon `resourceId` of the program. `instance` names the module whose
// icons are meant; the program has only its own, so it is not consulted.
// 1 when loaded (the caller destroys it with DestroyIcon), else 0 and `icon`
// is left alone.
int LoadAppIcon(plat::HINSTANCE instance, int resourceId, plat::HICON& icon);
