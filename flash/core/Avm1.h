// The script runtime lives in flash/core/avm1/.
#pragma once
#include "flash/core/avm1/Avm1.h"
