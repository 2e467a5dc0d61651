#include "corebridge/core/movie_config.h"

CMovieConfig::CMovieConfig(CConfig* root) : m_pRoot(root) {}

CMovieConfig::~CMovieConfig() = default;

int CMovieConfig::MovieConfigLoad(CXmlSettings&) { return 1; }

int CMovieConfig::MovieConfigSave(CXmlSettings&) { return 1; }
