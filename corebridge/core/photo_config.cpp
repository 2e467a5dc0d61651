#include "corebridge/core/photo_config.h"

CPhotoConfig::CPhotoConfig(CConfig* root) : m_pRoot(root) {}

CPhotoConfig::~CPhotoConfig() = default;

int CPhotoConfig::PhotoConfigLoad(CXmlSettings&) { return 1; }

int CPhotoConfig::PhotoConfigSave(CXmlSettings&) { return 1; }
