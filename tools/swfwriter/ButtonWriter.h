// Builders of buttons (DefineButton, DefineButton2, DefineButtonCxform) and
// of placements carrying clip event handlers, for test movies.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/swfwriter/ShapeWriter.h"

namespace swfw {

enum ButtonStates : uint8_t { kUp = 1, kOver = 2, kDown = 4, kHit = 8 };

struct ButtonRecord {
    uint8_t states = 0;  // ButtonStates
    uint16_t characterId = 0;
    uint16_t depth = 1;
    Matrix matrix;
    CxForm cxform;  // DefineButton2 only
};

struct ButtonCondAction {
    uint16_t conditions = 0;  // 0x0008 release, 0x0004 press, 0x0001 roll over...
    Bytes actions;            // without the final 0, which is added
};

Bytes defineButton(uint16_t id, const std::vector<ButtonRecord>& records, const Bytes& releaseActions);
Bytes defineButton2(uint16_t id, const std::vector<ButtonRecord>& records,
                    const std::vector<ButtonCondAction>& actions, bool trackAsMenu = false);
Bytes defineButtonCxform(uint16_t id, const CxForm& cx);

struct ClipEventHandler {
    uint32_t events = 0;  // 0x1 load, 0x2 enterFrame, 0x10 mouseDown...
    Bytes actions;        // without the final 0
};
// PlaceObject2 of a new character with a name, a matrix and clip actions;
// `version` is the file version (event flags are 4 bytes from version 6).
Bytes placeWithEvents(uint16_t characterId, uint16_t depth, const std::string& name, const Matrix& m,
                      const std::vector<ClipEventHandler>& handlers, int version);

}  // namespace swfw
