// CRadioConfig: the Radio module's section of the configuration root: stored
// radio settings (section "RADIOCONFIG"), station lists and the live state of
// the Radio module.
// So far it holds the back pointer to the configuration root and the load
// and save hooks through which the root reads and writes "Config.xml".
#pragma once

class CConfig;
class CXmlSettings;

class CRadioConfig {
 public:
  explicit CRadioConfig(CConfig* root);
  virtual ~CRadioConfig();
  CRadioConfig(const CRadioConfig&) = delete;
  CRadioConfig& operator=(const CRadioConfig&) = delete;

  // Read and write this section of "Config.xml"; 1 for success.
  int RadioConfigLoad(CXmlSettings& xml);
  int RadioConfigSave(CXmlSettings& xml);

  CConfig* m_pRoot;  // not owned
};
