// What the three frame dialogs do with the numbers typed into them: their
// prompts, the key filter of their fields, the conversion of the texts and
// the jump or range that OK starts in the player.
#pragma once

#include <windows.h>

#include <string>

namespace kv {

// "请输入要跳转到的帧数（0—300）：" and the like, for a movie of `total` frames.
std::string JumpPrompt(int total);
std::string PlayAreaPrompt(int total);
std::string ABCirclePrompt(int total);

// What a character typed into a frame field does. Enter confirms, or in the
// first field of a range moves on to the second; Esc closes the dialog; only
// digits and Backspace reach the field.
enum class FieldKey { Keep, Drop, Confirm, NextField, Close };
FieldKey FrameFieldKey(char ch, bool firstOfRange);

// A decimal 32-bit integer with an optional sign (blanks before it allowed),
// as the runtime's StrToInt reads it; false for anything else.
bool TryTextToInt(const std::string& text, int& value);
// "'abc' is not a valid integer value" for a text that does not convert.
std::string InvalidIntegerText(const std::string& text);

// OK of the jump dialog: an empty field changes nothing; a number seeks there
// (unchecked against the movie's frames). False, after the error box, when
// the text does not convert: the dialog stays open.
bool ApplyJump(HWND owner, const std::string& frame);
// OK of the range dialogs: with both fields filled, the play range (or the
// A-B loop) gets its bounds and is switched on, and the player seeks to the
// first frame. Nothing changes unless both texts convert.
bool ApplyRange(HWND owner, const std::string& begin, const std::string& end, bool abLoop);

}  // namespace kv
