#include "corebridge/core/general_config.h"

CGeneralConfig::CGeneralConfig(CConfig* root) : m_pRoot(root) {}

CGeneralConfig::~CGeneralConfig() = default;

int CGeneralConfig::GeneralConfigLoad(CXmlSettings&) { return 1; }

int CGeneralConfig::GeneralConfigSave(CXmlSettings&) { return 1; }
