#include "core/devices/port.h"
