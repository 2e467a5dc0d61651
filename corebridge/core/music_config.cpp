#include "corebridge/core/music_config.h"

CMusicConfig::CMusicConfig(CConfig* root) : m_pRoot(root) {}

CMusicConfig::~CMusicConfig() = default;

int CMusicConfig::MusicConfigLoad(CXmlSettings&) { return 1; }

int CMusicConfig::MusicConfigSave(CXmlSettings&) { return 1; }
