// Keeps the module that holds this code loaded for the rest of the process.
// The disc libraries keep process-wide state (their message threads and
// tables) from their first use on; unloading the engine would take that state
// away under them, and loading it again would start them a second time.
#pragma once

namespace authoring {

// Once is enough; later calls do nothing. Harmless where the code is not in
// a loadable module (a test program).
void KeepThisModuleLoaded();

}  // namespace authoring
