// The module controllers' operations as the system core calls them, until
// each controller is built with its module: action handlers answer 0 (the
// action fails), device-change and power hooks do nothing, and leaving a
// module clears the active-module number as the controllers will. Each call
// is reported to the controller-step hook so the callers' order can be seen.
#include "corebridge/core/config.h"
#include "corebridge/core/ui_system_object.h"

#include <string>

int CUISystem::AuthoringAction(std::intptr_t, std::intptr_t) {
  RunStep("AuthoringAction");
  return 0;
}



