// Script values live in flash/core/avm1/.
#pragma once
#include "flash/core/avm1/Value.h"
#include "flash/core/avm1/Object.h"
