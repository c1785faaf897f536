#include "playback/FrameNumbers.h"

#include <climits>

#include "app/AppState.h"
#include "playback/PlayForm.h"
#include "ui/UiServices.h"

namespace kv {

namespace {

std::string prompt(const char* lead, int total) { return std::string(lead) + std::to_string(total) + "）："; }

// The runtime's error box for a conversion that failed.
bool convert(HWND owner, const std::string& text, int& value) {
    if (TryTextToInt(text, value)) return true;
    ui().messageBox(owner, InvalidIntegerText(text), kAppTitle, MB_OK | MB_ICONSTOP);
    return false;
}

}  // namespace

std::string JumpPrompt(int total) { return prompt("请输入要跳转到的帧数（0—", total); }
std::string PlayAreaPrompt(int total) { return prompt("请输入要播放的范围（0—", total); }
std::string ABCirclePrompt(int total) { return prompt("请输入要进行循环的范围（0—", total); }

FieldKey FrameFieldKey(char ch, bool firstOfRange) {
    if (ch == '\r') return firstOfRange ? FieldKey::NextField : FieldKey::Confirm;
    if (ch == 27) return FieldKey::Close;
    if ((ch >= '0' && ch <= '9') || ch == '\b') return FieldKey::Keep;
    return FieldKey::Drop;
}

bool TryTextToInt(const std::string& text, int& value) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size()) return false;
    long long v = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
        if (v > static_cast<long long>(INT_MAX) + 1) return false;
    }
    if (negative) v = -v;
    if (v < INT_MIN || v > INT_MAX) return false;
    value = static_cast<int>(v);
    return true;
}

std::string InvalidIntegerText(const std::string& text) {
    return "'" + text + "' is not a valid integer value";
}

bool ApplyJump(HWND owner, const std::string& frame) {
    if (frame.empty()) return true;
    int n = 0;
    if (!convert(owner, frame, n)) return false;
    if (PlayForm) PlayForm->MoveToPosition(n);
    return true;
}

bool ApplyRange(HWND owner, const std::string& begin, const std::string& end, bool abLoop) {
    if (begin.empty() || end.empty()) return true;
    int first = 0, last = 0;
    // Both numbers first: a text that does not convert leaves the range or
    // loop that runs, and its bounds, as they were.
    if (!convert(owner, begin, first) || !convert(owner, end, last)) return false;
    (abLoop ? ABCircleActive : PlayAreaActive) = true;
    AreaBeginFrame = first;
    AreaEndFrame = last;
    if (PlayForm) PlayForm->MoveToPosition(AreaBeginFrame);
    return true;
}

}  // namespace kv
