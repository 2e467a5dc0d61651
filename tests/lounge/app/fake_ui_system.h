// A UI system that records the actions it is asked to run, with what the
// configuration root said about the start drive at that moment.
#pragma once

#include <string>
#include <vector>

#include "corebridge/core/config.h"
#include "tests/support/null_ui_system.h"

namespace app_test {

struct ExecutedAction {
  std::string name;
  std::intptr_t first = 0, second = 0;
  int driveIndex = 0, startFromCd = 0;  // the root's fields during the call
};

class FakeUISystem final : public test_support::NullUISystem {
 public:
  CConfig* config = nullptr;
  std::vector<ExecutedAction> executed;

  plat::HRESULT GetConfig(CConfig** out) override {
    *out = config;
    return config ? plat::S_OK : plat::E_NOTIMPL;
  }
  plat::HRESULT ExecuteAction(const char* name, std::intptr_t a, std::intptr_t b) override {
    executed.push_back({name, a, b, config ? config->m_nStartDriveIndex : -1, config ? config->m_bStartFromCd : -1});
    return plat::S_OK;
  }
};

}  // namespace app_test
