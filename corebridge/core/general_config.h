// CGeneralConfig: the general section of the configuration root. It keeps a
// list of named entries in memory and contributes nothing to "Config.xml":
// its load and save hooks do nothing and report success.
#pragma once

#include <string>
#include <vector>

class CConfig;
class CXmlSettings;

struct CGeneralEntry {
  std::string strName;
  int nValue1 = 0;
  int nValue2 = 0;
};

class CGeneralConfig {
 public:
  explicit CGeneralConfig(CConfig* root);
  virtual ~CGeneralConfig();
  CGeneralConfig(const CGeneralConfig&) = delete;
  CGeneralConfig& operator=(const CGeneralConfig&) = delete;

  int GeneralConfigLoad(CXmlSettings& xml);
  int GeneralConfigSave(CXmlSettings& xml);

  int m_nGeneral = 1;
  std::vector<CGeneralEntry> m_arrEntries;
  CConfig* m_pRoot;  // not owned
};
