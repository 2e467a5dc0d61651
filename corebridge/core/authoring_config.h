// CAuthoringConfig: the disc-authoring job's section of the configuration
// root. It is not stored in "Config.xml"; the authoring controller fills it
// while a job runs and the authoring page reads it in place.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CConfig;

// Disc types of an authoring job (m_nDiscType).
enum AuthoringDiscType : int {
  AUTHORING_DISC_NONE = 0,
  AUTHORING_DISC_DVD = 1,
  AUTHORING_DISC_SVCD = 2,
  AUTHORING_DISC_VCD = 3,
  AUTHORING_DISC_AUDIOCD = 4,
  AUTHORING_DISC_DATACD = 5,
};

class CAuthoringConfig {
 public:
  explicit CAuthoringConfig(CConfig* root) : m_pRoot(root) {}
  CAuthoringConfig(const CAuthoringConfig&) = delete;
  CAuthoringConfig& operator=(const CAuthoringConfig&) = delete;

  CConfig* m_pRoot;                       // not owned
  int m_nDiscType = AUTHORING_DISC_NONE;  // see AuthoringDiscType
  std::vector<std::string> m_arrElements; // paths of the job's elements; the count is the element count
  int m_nDiscRemainMB = 0;                // space left on the disc, MB
  std::int64_t m_llTotalBytes = 0;        // size of all elements, bytes
  int m_nElapsedSeconds = 0;              // time the burning has run so far
  int m_nVideoQuality = 1;                // video-quality type 1..16: the format record of a video disc
  int m_nStage = 0;                       // the job's stage as the engine last reported it
};

// The authoring folders in the user's cache: the engine's work files, the
// last authored DVD-Video folder (burned again by "Authoring BurnDVDFolder")
// and the staging folder where the Record page gathers a data disc.
std::string AuthoringCacheFolder();
std::string AuthoringWorkFolder();     // <cache>/WUTemp
std::string AuthoringDvdFolder();      // <cache>/Work Folder/DVD Folder
std::string AuthoringStagingFolder();  // <cache>/Work Folder/Data Disc
