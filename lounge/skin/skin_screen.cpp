#include "lounge/skin/skin_screen.h"

#include "platform/win/system.h"

int GetScreenSize(int& width, int& height) {
  width = plat::GetSystemMetrics(plat::SM_CXSCREEN);
  height = plat::GetSystemMetrics(plat::SM_CYSCREEN);
  return 1;
}
