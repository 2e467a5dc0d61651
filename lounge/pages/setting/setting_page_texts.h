// The texts the setting page draws in place of its layout's names: the
// current value of each setting (string-table texts chosen by the
// configuration) and the About page's texts, whose formats come from the
// string table and are therefore filled only by the checked formatter.
#pragma once

#include <optional>
#include <string>

class CConfig;

// The text of a setting's list text, or nullopt when `name` is not one of the
// setting page's own (the page base then draws it). An empty text draws
// nothing.
std::optional<std::string> SettingListText(const CConfig& config, int vendor, const std::string& name);

// The About page's texts by text-element name, or nullopt for other names.
// `version` and `userName` fill the string table's formats; a format the
// checked formatter refuses is shown as it stands, never filled.
std::optional<std::string> SettingAboutText(const std::string& name, const std::string& version,
                                            const std::string& userName);

// The user name the About page shows: HKEY_LOCAL_MACHINE
// "SoftWare\Kestrovia\Marivel" value "UserName" (empty when missing).
std::string RegisteredUserName();
