// Writing a CUE/BIN image (audio CD, VCD, SVCD): to a virtual writer by our
// own writer (the BIN and the sheet appear atomically at the writer's path),
// to a real writer through cdrdao (libburn writes no Mode 2 sectors; audio
// CDs go to real writers through libburn instead, see WriteAudioTracks).
#pragma once

#include <functional>
#include <string>

#include "outside/authoring/job.h"
#include "platform/com/hresult.h"

namespace authoring {

// `jobBin` is the BIN in the job's folder, `sectors` its count of 2352-byte
// sectors; `sheetFor` makes the CUE sheet for a BIN of the given file name
// beside it. Reports kAuthoringStageWriting.
plat::HRESULT WriteCueBin(const std::string& jobBin, std::int64_t sectors,
                          const std::function<std::string(const std::string& binName)>& sheetFor, const Job& job,
                          const JobControl& control);

// Replaces the file name of a sheet's FILE lines (vcdimager names its own).
std::string RenameCueFile(const std::string& sheet, const std::string& binName);

}  // namespace authoring
