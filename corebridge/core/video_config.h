// CVideoConfig: the Video module's section of the configuration root: stored
// video settings (section "VIDEOCONFIG") and the live state of the Video
// module.
// So far it holds the back pointer to the configuration root and the load
// and save hooks through which the root reads and writes "Config.xml".
#pragma once

class CConfig;
class CXmlSettings;

class CVideoConfig {
 public:
  explicit CVideoConfig(CConfig* root);
  virtual ~CVideoConfig();
  CVideoConfig(const CVideoConfig&) = delete;
  CVideoConfig& operator=(const CVideoConfig&) = delete;

  // Read and write this section of "Config.xml"; 1 for success.
  int VideoConfigLoad(CXmlSettings& xml);
  int VideoConfigSave(CXmlSettings& xml);

  CConfig* m_pRoot;  // not owned
};
