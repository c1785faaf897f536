#include "ui/SpinEdit.h"

#include <commctrl.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace kv {

bool SpinEdit::create(int x, int y, int w, int h, int id, int minValue, int maxValue, int value) {
    ensureCommonControls();
    if (!Edit::create(x, y, w, h, id, "", WS_CLIPCHILDREN)) return false;
    // The minus sign is allowed where the range has negative numbers.
    onKeyPress = [this](unsigned& key) {
        bool digit = key >= '0' && key <= '9';
        if (key >= 0x20 && !digit && !(key == '-' && min_ < 0)) key = 0;
    };
    arrows_.reset(CreateWindowExA(0, UPDOWN_CLASSA, "", WS_CHILD | WS_VISIBLE | UDS_ARROWKEYS, 0, 0, 0, 0,
                                  handle(), nullptr, GetModuleHandleA(nullptr), nullptr));
    SendMessageA(arrows_.get(), UDM_SETRANGE32, static_cast<WPARAM>(-0x7FFFFFFF), 0x7FFFFFFF);
    placeArrows();
    setRange(minValue, maxValue);
    setValue(value);
    return true;
}

void SpinEdit::placeArrows() {
    if (!arrows_) return;
    RECT c;
    GetClientRect(handle(), &c);
    int w = GetSystemMetrics(SM_CXVSCROLL);
    MoveWindow(arrows_.get(), c.right - w, 0, w, c.bottom, TRUE);
    SendMessageA(handle(), EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, w + 1));
}

void SpinEdit::setRange(int minValue, int maxValue) {
    min_ = minValue;
    max_ = maxValue < minValue ? minValue : maxValue;
    if (handle() && !text().empty()) setValue(value());
}

int SpinEdit::value() const {
    std::string t = text();
    errno = 0;
    char* end = nullptr;
    long v = std::strtol(t.c_str(), &end, 10);
    if (t.empty() || *end != '\0' || errno == ERANGE) return min_;
    if (v < min_) return min_;
    if (v > max_) return max_;
    return static_cast<int>(v);
}

void SpinEdit::setValue(int v) {
    v = clamp(v);
    std::string t = std::to_string(v);
    if (t != text()) setText(t);
}

void SpinEdit::step(int count) {
    long long v = static_cast<long long>(value()) + static_cast<long long>(count) * increment;
    if (v < min_) v = min_;
    if (v > max_) v = max_;
    setValue(static_cast<int>(v));
    SendMessageA(handle(), EM_SETSEL, 0, -1);
}

LRESULT SpinEdit::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_SIZE: {
            LRESULT r = Edit::handleMessage(msg, wp, lp);
            placeArrows();
            return r;
        }
        case WM_KEYDOWN:
            if (wp == VK_UP || wp == VK_DOWN) {
                step(wp == VK_UP ? 1 : -1);
                return 0;
            }
            break;
        case WM_MOUSEWHEEL: {
            wheelRest_ += GET_WHEEL_DELTA_WPARAM(wp);
            int notches = wheelRest_ / WHEEL_DELTA;
            wheelRest_ -= notches * WHEEL_DELTA;
            if (notches) step(notches);
            return 0;
        }
        case WM_NOTIFY: {
            auto* h = reinterpret_cast<NMHDR*>(lp);
            if (h && h->hwndFrom == arrows_.get() && h->code == UDN_DELTAPOS) {
                auto* ud = reinterpret_cast<NMUPDOWN*>(lp);
                step(ud->iDelta > 0 ? 1 : -1);
                return 1;  // the arrows keep no position of their own
            }
            break;
        }
        case WM_VSCROLL:
            if (reinterpret_cast<HWND>(lp) == arrows_.get()) return 0;
            break;
        case WM_KILLFOCUS: {
            LRESULT r = Edit::handleMessage(msg, wp, lp);
            if (!text().empty()) setValue(value());
            return r;
        }
        case WM_ENABLE:
            if (arrows_) EnableWindow(arrows_.get(), wp ? TRUE : FALSE);
            break;
        default:
            break;
    }
    return Edit::handleMessage(msg, wp, lp);
}

}  // namespace kv
