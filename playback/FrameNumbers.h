// What the three frame dialogs do with the numbers typed into them: their
// prompts, the key filter of their fields, the conversion of the texts and
// the jump or range that OK starts in the player.
#pragma once

#include <string>

namespace kv {

// "请输入要跳转到的帧数（0—300）：" and the like, for a movie of `total` frames.
std::string JumpPrompt(int total);
std::string PlayAreaPrompt(int total);
std::string ABCirclePrompt(int total);

// What a character typed into a frame field does. Enter confirms, or in the
// first field of a range moves on to the second; Esc closes the dialog; only
// digits and Backspace reach the field.
// `key` is a typed character as the edit's key-press hook gets it (a two-byte
// character as lead << 8 | trail).
enum class FieldKey { Keep, Drop, Confirm, NextField, Close };
FieldKey FrameFieldKey(unsigned key, bool firstOfRange);

// OK of the jump dialog: an empty field changes nothing; a number seeks there
// (unchecked against the movie's frames). False, after the runtime's error
// report ("'x' is not a valid integer value."), when the text does not
// convert: the dialog stays open.
bool ApplyJump(const std::string& frame);
// OK of the range dialogs: with both fields filled, the play range (or the
// A-B loop) gets its bounds and is switched on, and the player seeks to the
// first frame. Nothing changes unless both texts convert.
bool ApplyRange(const std::string& begin, const std::string& end, bool abLoop);

}  // namespace kv
