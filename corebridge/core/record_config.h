// CRecordConfig: the record and burning hub's section of the configuration
// root. It is not stored in "Config.xml"; the Record page and the record hub
// controller fill and read it in place. So far it holds the back pointer to
// the root.
#pragma once

class CConfig;

class CRecordConfig {
 public:
  explicit CRecordConfig(CConfig* root);
  virtual ~CRecordConfig();
  CRecordConfig(const CRecordConfig&) = delete;
  CRecordConfig& operator=(const CRecordConfig&) = delete;

  CConfig* m_pRoot;  // not owned
};
