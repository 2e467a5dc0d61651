// The outside radio component's server.
#include "outside/radiotuner/radio_tuner.h"
#include "platform/com/server.h"

namespace {
const plat::ClassEntry kClasses[] = {
    {CLSID_RadioTuner, "Marivel Radio Tuner", &plat::CreateComObject<CRadioTuner>, "Both"},
};
}  // namespace

PLAT_COM_SERVER(kClasses);
