// The recorder's component server: the recorder and the profile store.
#include "outside/tvrecorder/profile_store.h"
#include "outside/tvrecorder/sys_recorder.h"
#include "platform/com/server.h"

namespace {
const plat::ClassEntry kClasses[] = {
    {CLSID_SysRecorder, "SysRecorder", &plat::CreateComObject<CSysRecorder>, "Both"},
    {CLSID_ProfileStore, "SysRecorder Profile Store", &plat::CreateComObject<CProfileStore>, "Both"},
};
}  // namespace

PLAT_COM_SERVER(kClasses);
