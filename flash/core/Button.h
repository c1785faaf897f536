// Buttons as read from DefineButton/DefineButton2 (state records, actions
// on pointer transitions) and the clip actions of PlaceObject2/3. The data
// points into the movie's body, which outlives these definitions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "flash/core/ByteReader.h"
#include "flash/core/Filter.h"
#include "flash/core/Types.h"

namespace flash {

enum ButtonStateBits : uint8_t { kStateUp = 1, kStateOver = 2, kStateDown = 4, kStateHit = 8 };

// Pointer transitions a button action can wait for (DefineButton2 bits).
enum ButtonCondition : uint16_t {
    kIdleToOverUp = 0x0001,
    kOverUpToIdle = 0x0002,
    kOverUpToOverDown = 0x0004,
    kOverDownToOverUp = 0x0008,
    kOverDownToOutDown = 0x0010,
    kOutDownToOverDown = 0x0020,
    kOutDownToIdle = 0x0040,
    kIdleToOverDown = 0x0080,
    kOverDownToIdle = 0x0100,
};

// Where the pointer is for a button: out and up, over and up, over and
// pressed, or pressed on the button but moved off it.
enum ButtonPhase : uint8_t { kIdle = 0, kOverUp = 1, kOverDown = 2, kOutDown = 3 };

struct ButtonRecord {
    uint8_t states = 0;  // ButtonStateBits
    uint16_t characterId = 0;
    uint16_t depth = 0;
    Matrix matrix;
    bool hasCxform = false;
    ColorTransform cxform;
    std::shared_ptr<const FilterList> filters;
    BlendMode blendMode = BlendMode::Normal;
};

struct ButtonAction {
    uint16_t conditions = 0;
    const uint8_t* data = nullptr;
    size_t size = 0;
};

struct ButtonDef {
    std::vector<ButtonRecord> records;
    std::vector<ButtonAction> actions;
    bool trackAsMenu = false;
};

// Reads DefineButton (tag 7) or DefineButton2 (tag 34); the reader covers
// the tag body, `body` is where it starts in memory. False when the tag is
// too short to hold a button.
bool parseDefineButton(ByteReader& r, int tagCode, uint16_t& id, ButtonDef& out);
// DefineButtonCxform: one transform for every record, or one per record.
void applyButtonCxform(ByteReader& r, ButtonDef& button);

enum ClipEvent : uint32_t {
    kEventLoad = 0x1,
    kEventEnterFrame = 0x2,
    kEventUnload = 0x4,
    kEventMouseMove = 0x8,
    kEventMouseDown = 0x10,
    kEventMouseUp = 0x20,
    kEventKeyDown = 0x40,
    kEventKeyUp = 0x80,
    kEventData = 0x100,  // loadVariables or loadMovie delivered
};

struct ClipAction {
    uint32_t events = 0;
    const uint8_t* data = nullptr;
    size_t size = 0;
};

// Reads CLIPACTIONS at the reader's position (flag fields two bytes wide
// before file version 6, four bytes after).
void parseClipActions(ByteReader& r, int version, std::vector<ClipAction>& out);

}  // namespace flash
