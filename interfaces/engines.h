// Class and interface ids of the engines the core object hands out.
#pragma once

#include "interfaces/cdtowma.h"
#include "interfaces/discrunner.h"
#include "interfaces/grabber.h"
#include "interfaces/imagefx.h"
#include "interfaces/wmhost/wmplayer.h"
#include "platform/com/guid.h"

// Each engine's ids come with its interface: CLSID_DiscRunner and
// IID_IDiscRunner, CLSID_WMPlayer and IID_IWMPlayer, IID_ICdToWma.
