// CTVConfig: the TV module's section of the configuration root: stored TV
// settings and the live state of the TV module.
// So far it holds the back pointer to the configuration root and the load
// and save hooks through which the root reads and writes "Config.xml".
#pragma once

class CConfig;
class CXmlSettings;

class CTVConfig {
 public:
  explicit CTVConfig(CConfig* root);
  virtual ~CTVConfig();
  CTVConfig(const CTVConfig&) = delete;
  CTVConfig& operator=(const CTVConfig&) = delete;

  // Read and write this section of "Config.xml"; 1 for success.
  int TVConfigLoad(CXmlSettings& xml);
  int TVConfigSave(CXmlSettings& xml);

  CConfig* m_pRoot;  // not owned
};
