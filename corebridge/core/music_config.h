// CMusicConfig: the Music module's section of the configuration root: stored
// music settings (section "MUSICCONFIG") and the live state of the Music
// module.
// So far it holds the back pointer to the configuration root and the load
// and save hooks through which the root reads and writes "Config.xml".
#pragma once

class CConfig;
class CXmlSettings;

class CMusicConfig {
 public:
  explicit CMusicConfig(CConfig* root);
  virtual ~CMusicConfig();
  CMusicConfig(const CMusicConfig&) = delete;
  CMusicConfig& operator=(const CMusicConfig&) = delete;

  // Read and write this section of "Config.xml"; 1 for success.
  int MusicConfigLoad(CXmlSettings& xml);
  int MusicConfigSave(CXmlSettings& xml);

  CConfig* m_pRoot;  // not owned
};
