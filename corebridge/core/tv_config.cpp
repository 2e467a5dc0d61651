#include "corebridge/core/tv_config.h"

CTVConfig::CTVConfig(CConfig* root) : m_pRoot(root) {}

CTVConfig::~CTVConfig() = default;

int CTVConfig::TVConfigLoad(CXmlSettings&) { return 1; }

int CTVConfig::TVConfigSave(CXmlSettings&) { return 1; }
