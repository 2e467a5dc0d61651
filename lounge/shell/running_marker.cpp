#include "lounge/shell/running_marker.h"

#include "platform/com/object.h"
#include "platform/com/rot.h"

namespace {

class CRunningMarker : public IMarivelRunning {
 public:
  using Interfaces = plat::InterfaceList<IMarivelRunning>;
  static constexpr bool kAggregatable = false;
  int Notify(std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t) override { return 1; }
};

}  // namespace

CRunningObjectRegistration::CRunningObjectRegistration() {
  auto marker = plat::MakeComObject<CRunningMarker>();
  if (!marker) return;
  // The table takes its own reference; ours goes when `marker` does.
  m_registered = plat::SUCCEEDED(plat::RotRegister(static_cast<IMarivelRunning*>(marker.Get()),
                                                   plat::ClassMonikerDisplayName(CLSID_MarivelRunning), &m_cookie));
}

void CRunningObjectRegistration::Revoke() {
  if (!m_registered) return;
  plat::RotRevoke(m_cookie);
  m_registered = false;
}
