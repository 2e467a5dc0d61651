// The whole COM layer: GUIDs, HRESULTs, IUnknown and ComPtr, the object base
// and server helpers, the runtime and the running-object table.
#pragma once

#include "platform/com/com_ptr.h"
#include "platform/com/guid.h"
#include "platform/com/hresult.h"
#include "platform/com/object.h"
#include "platform/com/rot.h"
#include "platform/com/runtime.h"
#include "platform/com/server.h"
#include "platform/com/unknown.h"
