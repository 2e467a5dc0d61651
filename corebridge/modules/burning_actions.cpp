// The burning module's action names, with their ids and handlers.
#include "corebridge/core/ui_system_object.h"

namespace {
struct Registration {
  const char* name;
  int id;
  ActionHandler handler;
};
}  // namespace

void CUISystem::RegisterBurningActions() {
  static const Registration kActions[] = {
      {"Burning Enter Other Module", 501, &CUISystem::OnBurningEnterOtherModule},
      {"Burning Go Back Door", 502, &CUISystem::OnBurningGoBackDoor},
  };
  for (const auto& r : kActions) m_actions.Register(r.name, r.id, r.handler);
}
