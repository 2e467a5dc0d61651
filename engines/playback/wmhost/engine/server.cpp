// The wmhost component server.
#include "engines/playback/wmhost/engine/wm_player.h"
#include "platform/com/server.h"

namespace {
const plat::ClassEntry kClasses[] = {
    {CLSID_WMPlayer, "WMPlayer Class", &plat::CreateComObject<CWMPlayer>, "Apartment", kWMPlayerProgId},
};
}  // namespace

PLAT_COM_SERVER(kClasses);
