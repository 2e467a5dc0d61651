// CPhotoConfig: the Photo module's section of the configuration root: stored
// photo settings (section "PHOTOCONFIG") and the live state of the Photo
// module.
// So far it holds the back pointer to the configuration root and the load
// and save hooks through which the root reads and writes "Config.xml".
#pragma once

class CConfig;
class CXmlSettings;

class CPhotoConfig {
 public:
  explicit CPhotoConfig(CConfig* root);
  virtual ~CPhotoConfig();
  CPhotoConfig(const CPhotoConfig&) = delete;
  CPhotoConfig& operator=(const CPhotoConfig&) = delete;

  // Read and write this section of "Config.xml"; 1 for success.
  int PhotoConfigLoad(CXmlSettings& xml);
  int PhotoConfigSave(CXmlSettings& xml);

  CConfig* m_pRoot;  // not owned
};
