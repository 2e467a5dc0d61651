// The application tests' own home, XDG folders, runtime folder and registry
// hives for the lifetime of the object.
#pragma once

#include "tests/support/temp_environment.h"

namespace app_test {

class TempEnvironment : public test_support::TempEnvironment {
 public:
  TempEnvironment() : test_support::TempEnvironment("mrv-app") {}
};

}  // namespace app_test
