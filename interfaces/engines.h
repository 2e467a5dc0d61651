// Class and interface ids of the engines the core object hands out.
#pragma once

#include "interfaces/discrunner.h"
#include "platform/com/guid.h"

// CLSID_DiscRunner and IID_IDiscRunner come with the engine's interface.
inline constexpr plat::CLSID CLSID_WMPlayer = plat::MakeGuid("{BDDB3494-A25E-48A7-B30F-36C11087BE35}");
inline constexpr plat::IID IID_IWMPlayer = plat::MakeGuid("{01B5F5B5-4F4C-4828-B1F1-616B565D5517}");
inline constexpr plat::IID IID_ICdToWma = plat::MakeGuid("{E3917FFC-665A-4FB8-9481-C0124794E6FA}");
