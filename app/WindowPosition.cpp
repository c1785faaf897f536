#include "app/WindowPosition.h"

#include <algorithm>
#include <cstdint>

namespace kv {

namespace {

// The offset of workspace coordinates (those of the window placement
// functions) from screen coordinates on the window's monitor.
POINT WorkspaceOffset(HMONITOR monitor) {
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (!GetMonitorInfoA(monitor, &mi)) return POINT{0, 0};
    return POINT{mi.rcWork.left - mi.rcMonitor.left, mi.rcWork.top - mi.rcMonitor.top};
}

std::int64_t Place(std::int64_t pos, std::int64_t size, std::int64_t lo, std::int64_t hi) {
    return std::max(lo, std::min(pos, hi - size));
}

}  // namespace

RECT FitRectToWorkArea(int left, int top, int width, int height, const RECT& work) {
    const std::int64_t areaW = std::int64_t{work.right} - work.left,
                       areaH = std::int64_t{work.bottom} - work.top;
    const std::int64_t w = width < 1 || width > areaW ? areaW : width;
    const std::int64_t h = height < 1 || height > areaH ? areaH : height;
    const std::int64_t x = Place(left, w, work.left, work.right);
    const std::int64_t y = Place(top, h, work.top, work.bottom);
    return RECT{static_cast<LONG>(x), static_cast<LONG>(y), static_cast<LONG>(x + w),
                static_cast<LONG>(y + h)};
}

RECT NearestWorkArea(int left, int top, int width, int height) {
    // Far-off values are brought near the desktop first: right and bottom must not overflow.
    const std::int64_t limit = 1 << 20;
    auto pull = [&](std::int64_t v) { return static_cast<LONG>(std::max(-limit, std::min(v, limit))); };
    RECT r{pull(left), pull(top), pull(std::int64_t{left} + std::max(width, 1)),
           pull(std::int64_t{top} + std::max(height, 1))};
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (GetMonitorInfoA(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &mi)) return mi.rcWork;
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

RECT NormalRectOnScreen(HWND window) {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    GetWindowPlacement(window, &wp);
    RECT r = wp.rcNormalPosition;
    if (!(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)) {
        POINT off = WorkspaceOffset(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST));
        OffsetRect(&r, off.x, off.y);
    }
    return r;
}

void SetNormalRect(HWND window, int left, int top, int width, int height) {
    RECT r = FitRectToWorkArea(left, top, width, height, NearestWorkArea(left, top, width, height));
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    GetWindowPlacement(window, &wp);
    if (!(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)) {
        POINT off = WorkspaceOffset(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST));
        OffsetRect(&r, -off.x, -off.y);
    }
    wp.rcNormalPosition = r;
    wp.showCmd = IsWindowVisible(window) ? wp.showCmd : SW_HIDE;
    wp.flags = 0;
    SetWindowPlacement(window, &wp);
}

}  // namespace kv
