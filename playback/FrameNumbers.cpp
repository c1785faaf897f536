#include "playback/FrameNumbers.h"

#include "app/AppState.h"
#include "playback/PlayForm.h"
#include "ui/RuntimeErrors.h"

namespace kv {

namespace {

std::string prompt(const char* lead, int total) { return std::string(lead) + std::to_string(total) + "）："; }

// The number of a field; a text that does not convert is reported as the
// runtime reports it.
bool convert(const std::string& text, int& value) {
    try {
        value = StrToInt(text);
        return true;
    } catch (const ConvertError& e) {
        ShowErrorReport(e);
        return false;
    }
}

}  // namespace

std::string JumpPrompt(int total) { return prompt("请输入要跳转到的帧数（0—", total); }
std::string PlayAreaPrompt(int total) { return prompt("请输入要播放的范围（0—", total); }
std::string ABCirclePrompt(int total) { return prompt("请输入要进行循环的范围（0—", total); }

FieldKey FrameFieldKey(unsigned key, bool firstOfRange) {
    if (key == '\r') return firstOfRange ? FieldKey::NextField : FieldKey::Confirm;
    if (key == 27) return FieldKey::Close;
    if ((key >= '0' && key <= '9') || key == '\b') return FieldKey::Keep;
    return FieldKey::Drop;
}

bool ApplyJump(const std::string& frame) {
    if (frame.empty()) return true;
    int n = 0;
    if (!convert(frame, n)) return false;
    if (PlayForm) PlayForm->MoveToPosition(n);
    return true;
}

bool ApplyRange(const std::string& begin, const std::string& end, bool abLoop) {
    if (begin.empty() || end.empty()) return true;
    int first = 0, last = 0;
    // Both numbers first: a text that does not convert leaves the range or
    // loop that runs, and its bounds, as they were.
    if (!convert(begin, first) || !convert(end, last)) return false;
    (abLoop ? ABCircleActive : PlayAreaActive) = true;
    AreaBeginFrame = first;
    AreaEndFrame = last;
    if (PlayForm) PlayForm->MoveToPosition(AreaBeginFrame);
    return true;
}

}  // namespace kv
