// Script filter objects (the flash.filters classes) and the filters the
// renderer draws, converted both ways.
#pragma once

#include "flash/core/Filter.h"
#include "flash/core/avm1/Value.h"

namespace flash {

class Avm1;

// The filter a script object of one of the filter classes stands for;
// false for any other value.
bool filterOfObject(const Value& v, Filter& out);
// A new object of the filter's class with the filter's values (undefined
// when the classes are not installed or no object can be made).
Value objectOfFilter(Avm1& vm, const Filter& f);

}  // namespace flash
