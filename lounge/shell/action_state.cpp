#include "lounge/shell/action_state.h"

int QueryDisabledState(int&, int& enabled, int&) {
  enabled = 0;
  return 1;
}

int QueryHiddenState(int& shown, int& enabled, int&) {
  shown = 0;
  enabled = 0;
  return 1;
}
