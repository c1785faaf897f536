#include "ui/TrackBar.h"

#include <commctrl.h>

#include "ui/DialogSkin.h"

namespace kv {

bool TrackBar::create(int x, int y, int w, int h, int id, int minValue, int maxValue, bool vertical) {
    ensureCommonControls();
    DWORD style = WS_TABSTOP | TBS_AUTOTICKS | (vertical ? TBS_VERT : TBS_HORZ);
    if (!createDialogControl(TRACKBAR_CLASSA, style, 0, x, y, w, h, id)) return false;
    setRange(minValue, maxValue);
    return true;
}

void TrackBar::setRange(int minValue, int maxValue) {
    SendMessageA(handle(), TBM_SETRANGEMIN, FALSE, minValue);
    SendMessageA(handle(), TBM_SETRANGEMAX, TRUE, maxValue);
    last_ = position();
}

int TrackBar::minValue() const { return static_cast<int>(SendMessageA(handle(), TBM_GETRANGEMIN, 0, 0)); }

int TrackBar::maxValue() const { return static_cast<int>(SendMessageA(handle(), TBM_GETRANGEMAX, 0, 0)); }

int TrackBar::position() const { return static_cast<int>(SendMessageA(handle(), TBM_GETPOS, 0, 0)); }

void TrackBar::setPosition(int p) {
    SendMessageA(handle(), TBM_SETPOS, TRUE, p);
    last_ = position();
}

void TrackBar::setTickFrequency(int f) { SendMessageA(handle(), TBM_SETTICFREQ, static_cast<WPARAM>(f), 0); }

void TrackBar::setPageSize(int p) { SendMessageA(handle(), TBM_SETPAGESIZE, 0, p); }

bool TrackBar::reflect(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    if (msg == WM_HSCROLL || msg == WM_VSCROLL) {
        int p = position();
        if (p != last_) {
            last_ = p;
            change();
        }
        result = 0;
        return true;
    }
    if (msg == WM_CTLCOLORSTATIC) {
        SetBkColor(reinterpret_cast<HDC>(wp), kDialogFace);
        result = reinterpret_cast<LRESULT>(dialogFaceBrush());
        return true;
    }
    return false;
}

LRESULT TrackBar::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_MOUSEWHEEL) {
        // As the system track bar does: a notch away from the user is a line up (toward the minimum).
        wheelRest_ += GET_WHEEL_DELTA_WPARAM(wp);
        int notches = wheelRest_ / WHEEL_DELTA;
        wheelRest_ -= notches * WHEEL_DELTA;
        if (notches) {
            int line = static_cast<int>(SendMessageA(handle(), TBM_GETLINESIZE, 0, 0));
            SendMessageA(handle(), TBM_SETPOS, TRUE, position() - notches * (line > 0 ? line : 1));
            bool vertical = (GetWindowLongA(handle(), GWL_STYLE) & TBS_VERT) != 0;
            SendMessageA(parentHandle(), vertical ? WM_VSCROLL : WM_HSCROLL,
                         MAKEWPARAM(notches > 0 ? TB_LINEUP : TB_LINEDOWN, 0),
                         reinterpret_cast<LPARAM>(handle()));
        }
        return 0;
    }
    return DialogControl::handleMessage(msg, wp, lp);
}

bool ProgressBar::create(int x, int y, int w, int h, int id, int minValue, int maxValue) {
    ensureCommonControls();
    if (!createDialogControl(PROGRESS_CLASSA, PBS_SMOOTH, 0, x, y, w, h, id)) return false;
    SendMessageA(handle(), PBM_SETBARCOLOR, 0, kDialogAccent);
    SendMessageA(handle(), PBM_SETBKCOLOR, 0, kDialogField);
    setRange(minValue, maxValue);
    return true;
}

void ProgressBar::setRange(int minValue, int maxValue) {
    SendMessageA(handle(), PBM_SETRANGE32, static_cast<WPARAM>(minValue), maxValue);
}

int ProgressBar::position() const { return static_cast<int>(SendMessageA(handle(), PBM_GETPOS, 0, 0)); }

void ProgressBar::setPosition(int p) { SendMessageA(handle(), PBM_SETPOS, static_cast<WPARAM>(p), 0); }

}  // namespace kv
