#include "corebridge/core/record_config.h"

CRecordConfig::CRecordConfig(CConfig* root) : m_pRoot(root) {}

CRecordConfig::~CRecordConfig() = default;
