// Registration of the individual control classes (RegisterControlClasses
// calls them once).
#pragma once

namespace plat::controls {

void RegisterEditClass();
void RegisterTooltipClass();

}  // namespace plat::controls
