// The texts of the authoring progress page, chosen from the authoring job
// section and the active module of the configuration root.
#pragma once

#include <optional>
#include <string>

class CConfig;

// A text element's text ("Authoring Module Title", "Authoring BurningProgress
// Info"), or nullopt for other names (the page base draws those).
std::optional<std::string> AuthoringText(const CConfig& config, const std::string& name);
// A list text's text, or nullopt for other names.
std::optional<std::string> AuthoringListText(const CConfig& config, const std::string& name);

// The string-table key of a disc type (1 DVD .. 5 data CD); empty otherwise.
std::string DiscTypeKey(int discType);
