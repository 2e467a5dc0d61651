// The record hub module's action names, with their ids and
// handlers. Names whose handler the controller has not taken over yet go to
// RecordAction, which answers as an absent controller does (0).
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
      {"Record Enter Other Module", 498, &CUISystem::RecordAction},
      {"Record Go Back Door", 499, &CUISystem::RecordAction},
  };
  for (const auto& r : kActions) m_actions.Register(r.name, r.id, r.handler);
}
