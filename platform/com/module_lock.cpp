#include <atomic>

#include "platform/com/object.h"

namespace plat {
namespace {

// Hidden: every module that links this library has its own count.
std::atomic<long> moduleLockCount{0};

}  // namespace

void ModuleAddRef() noexcept { moduleLockCount.fetch_add(1, std::memory_order_relaxed); }
void ModuleRelease() noexcept { moduleLockCount.fetch_sub(1, std::memory_order_acq_rel); }
long ModuleLockCount() noexcept { return moduleLockCount.load(std::memory_order_acquire); }

}  // namespace plat
