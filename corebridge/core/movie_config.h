// CMovieConfig: the Movie module's section of the configuration root: stored
// movie settings (section "MOVIECONFIG") and the live state of disc playback.
// So far it holds the back pointer to the configuration root and the load
// and save hooks through which the root reads and writes "Config.xml".
#pragma once

class CConfig;
class CXmlSettings;

class CMovieConfig {
 public:
  explicit CMovieConfig(CConfig* root);
  virtual ~CMovieConfig();
  CMovieConfig(const CMovieConfig&) = delete;
  CMovieConfig& operator=(const CMovieConfig&) = delete;

  // Read and write this section of "Config.xml"; 1 for success.
  int MovieConfigLoad(CXmlSettings& xml);
  int MovieConfigSave(CXmlSettings& xml);

  CConfig* m_pRoot;  // not owned
};
