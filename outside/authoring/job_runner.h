// Runs one job on the worker: checks the elements and the space, transcodes,
// builds the disc image in the job's own work folder, writes it, and removes
// the work folder whatever the outcome.
#pragma once

#include "outside/authoring/job.h"
#include "platform/com/hresult.h"

namespace authoring {

// The result of a job: S_OK, or why it failed (and at which element).
struct JobOutcome {
  plat::HRESULT result = plat::S_OK;
  std::int32_t element = -1;
  std::int32_t discRemainMB = -1;  // after the write; -1 when unknown
  std::int64_t imageBytes = 0;
};

JobOutcome RunJob(const Job& job, const JobControl& control);

}  // namespace authoring
