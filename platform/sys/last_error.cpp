#include "platform/sys/last_error.h"

namespace plat {

namespace {
thread_local DWORD t_last_error = 0;
}

void SetLastError(DWORD error) { t_last_error = error; }
DWORD GetLastError() { return t_last_error; }

}  // namespace plat
