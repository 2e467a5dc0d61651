// A test fixture that runs the lounge program of this build in a sandbox of
// its own (see lounge_sandbox.h).
#pragma once

#include <gtest/gtest.h>

#include "tests/lounge/app/lounge_sandbox.h"

namespace app_test {

class LoungeProgramTest : public ::testing::Test, public LoungeSandbox {
 protected:
  LoungeProgramTest() : LoungeSandbox(LOUNGE_PROGRAM, MARIVEL_TEST_BIN_DIR) {}
  void SetUp() override { ASSERT_TRUE(ok()) << "cannot make the sandbox in " << dir_; }
};

}  // namespace app_test
