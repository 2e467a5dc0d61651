#include "outside/authoring/job_runner.h"

namespace authoring {

JobOutcome RunJob(const Job&, const JobControl&) {
  JobOutcome outcome;
  outcome.result = plat::E_NOTIMPL;
  return outcome;
}

}  // namespace authoring
