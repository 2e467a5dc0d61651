#include "corebridge/core/video_config.h"

CVideoConfig::CVideoConfig(CConfig* root) : m_pRoot(root) {}

CVideoConfig::~CVideoConfig() = default;

int CVideoConfig::VideoConfigLoad(CXmlSettings&) { return 1; }

int CVideoConfig::VideoConfigSave(CXmlSettings&) { return 1; }
