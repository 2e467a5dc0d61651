// The authoring engine's component server.
#include "outside/authoring/authoring_engine.h"
#include "platform/com/server.h"

namespace {
const plat::ClassEntry kClasses[] = {
    {CLSID_AuthoringEngine, "AuthoringEngine", &plat::CreateComObject<CAuthoringEngine>, "Both"},
};
}  // namespace

PLAT_COM_SERVER(kClasses);
