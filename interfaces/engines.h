// Class and interface ids of the engines the core object hands out.
#pragma once

#include "interfaces/cdtomp3.h"
#include "interfaces/cdtowma.h"
#include "interfaces/discrunner.h"
#include "interfaces/grabber.h"
#include "interfaces/imagefx.h"
#include "interfaces/slidedraw.h"
#include "interfaces/wmhost/wmplayer.h"
#include "platform/com/guid.h"

// Each engine's ids come with its interface: CLSID_DiscRunner and
// IID_IDiscRunner, CLSID_WMPlayer and IID_IWMPlayer, CLSID_CdToWma and IID_ICdToWma,
// CLSID_CdToMp3 and IID_ICdToMp3.
