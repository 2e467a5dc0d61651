// CRecordConfig: the record and burning hub's section of the configuration
// root. It is not stored in "Config.xml"; the Record page and the record hub
// controller fill and read it in place.
#pragma once

#include <string>
#include <vector>

class CConfig;

class CRecordConfig {
 public:
  explicit CRecordConfig(CConfig* root);
  virtual ~CRecordConfig();
  CRecordConfig(const CRecordConfig&) = delete;
  CRecordConfig& operator=(const CRecordConfig&) = delete;

  CConfig* m_pRoot;                      // not owned
  int m_nState = 0;                      // state of the record hub
  int m_nChosenKind = 0;                 // the chosen kind
  std::vector<std::string> m_arrFiles;   // paths of the files to record
  std::string m_strTitleImage;           // title image
  std::string m_strTargetPath;           // target path
  std::string m_strSelectionName;        // selection name
  std::vector<std::string> m_arrChoices; // the choice list

  // --- Further fields of the Record page and the hub controller ------------
  int m_nResultState = 0;  // result state of the last recording
  std::string m_strFilter;  // extension filter of the copy, e.g. "|.jpg|.jpeg|"; empty copies all
};
