#include "engines/capture/dvgrab/dv_grab.h"
