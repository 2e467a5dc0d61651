// Class and interface ids of the engines the core object hands out.
#pragma once

#include "platform/com/guid.h"

inline constexpr plat::CLSID CLSID_DiscRunner = plat::MakeGuid("{3F2F27A6-AC4B-48F7-9CDE-092B8CC20B8A}");
inline constexpr plat::IID IID_IDiscRunner = plat::MakeGuid("{EF8563DF-2933-4CA6-BF06-3E0862CF7B03}");
inline constexpr plat::CLSID CLSID_WMPlayer = plat::MakeGuid("{BDDB3494-A25E-48A7-B30F-36C11087BE35}");
inline constexpr plat::IID IID_IWMPlayer = plat::MakeGuid("{01B5F5B5-4F4C-4828-B1F1-616B565D5517}");
inline constexpr plat::IID IID_ICdToWma = plat::MakeGuid("{E3917FFC-665A-4FB8-9481-C0124794E6FA}");
