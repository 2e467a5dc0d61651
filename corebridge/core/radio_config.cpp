#include "corebridge/core/radio_config.h"

CRadioConfig::CRadioConfig(CConfig* root) : m_pRoot(root) {}

CRadioConfig::~CRadioConfig() = default;

int CRadioConfig::RadioConfigLoad(CXmlSettings&) { return 1; }

int CRadioConfig::RadioConfigSave(CXmlSettings&) { return 1; }
