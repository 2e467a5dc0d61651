// The record hub's action names, with their ids and handlers.
#include "corebridge/core/ui_system_object.h"

namespace {
struct Registration {
  const char* name;
  int id;
  ActionHandler handler;
};
}  // namespace

void CUISystem::RegisterRecordActions() {
  static const Registration kActions[] = {
      {"Record Enter Other Module", 498, &CUISystem::RecordEnterOtherModule},
      {"Record Go Back Door", 499, &CUISystem::RecordGoBackDoor},
  };
  for (const auto& r : kActions) m_actions.Register(r.name, r.id, r.handler);
}
