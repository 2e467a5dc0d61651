// The video format record the authoring controller hands the engine for a
// job's video-quality type.
#pragma once

#include "interfaces/authoring.h"

// The record for quality type 1..16; every other type gives the all-zero
// record (the engine then uses the standard's figures).
AuthoringFormatRecord MakeAuthoringFormatRecord(int qualityType);
