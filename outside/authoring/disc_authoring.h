// The outside authoring tools, run through the spawner with an argument
// vector: dvdauthor makes VIDEO_TS from MPEG files (its control file
// written with every text escaped), genisoimage makes the DVD-Video image
// (ISO 9660 with UDF, which DVD players and libdvdread need), vcdimager the
// (S)VCD's CUE/BIN.
#pragma once

#include <string>
#include <vector>

#include "outside/authoring/job.h"
#include "platform/com/hresult.h"

namespace authoring {

// One title: its MPEG files, each starting a chapter.
using DvdTitle = std::vector<std::string>;

// The dvdauthor control file for the titles, VIDEO_TS going below `dest`.
std::string DvdAuthorXml(const std::string& dest, const std::vector<DvdTitle>& titles, bool pal);

// Makes `dest`/VIDEO_TS; `logFolder` receives the control file.
plat::HRESULT AuthorDvd(const std::string& dest, const std::vector<DvdTitle>& titles, bool pal,
                        const std::string& logFolder, const JobControl& control);

// The DVD-Video image of `folder` (which holds VIDEO_TS) at `iso`.
plat::HRESULT MakeDvdIso(const std::string& folder, const std::string& label, const std::string& iso,
                         const JobControl& control);

// A (S)VCD of the MPEG files, one track each, as `bin` and `cue`.
plat::HRESULT MakeVcdImage(const std::vector<std::string>& tracks, bool svcd, const std::string& label,
                           const std::string& bin, const std::string& cue, const JobControl& control);

std::string XmlEscape(const std::string& text);

}  // namespace authoring
