// The variable-length codes of baseline H.263 that Sorenson video uses.
#pragma once

#include "flash/core/video/VideoBits.h"

namespace flash {
namespace h263 {

// Coefficient events: last << 12 | run << 6 | level (sign bit follows).
const int kEscape = 0x7FFF;
inline int event(int last, int run, int level) { return last << 12 | run << 6 | level; }

const VlcTable& coefficients();
// Macroblock type and chroma pattern: type << 2 | cbpc; 0x7F for stuffing.
const VlcTable& intraMcbpc();
const VlcTable& interMcbpc();
const VlcTable& cbpy();          // the intra meaning of the luma pattern
const VlcTable& motionVector();  // |difference| in half pixels (sign bit follows unless 0)
const int kStuffing = 0x7F;

extern const uint8_t kZigzag[64];

}  // namespace h263
}  // namespace flash
