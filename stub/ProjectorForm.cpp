#include "stub/ProjectorForm.h"

#include <algorithm>

#include "flash/core/Player.h"
#include "options/FunctionUnit.h"
#include "stub/AppendedMovie.h"
#include "ui/Application.h"
#include "ui/Handles.h"
#include "ui/UiServices.h"

namespace kv {

const char* const kNoMovieText = "该程序中没有可播放的Flash动画。";

UINT projectorPixelMessage() {
    static UINT msg = RegisterWindowMessageA("KvProjectorPixel");
    return msg;
}

ProjectorForm::ProjectorForm() {
    flash_.OnFSCommand = [this](const std::string& c, const std::string& a) { fsCommand(c, a); };
}

bool ProjectorForm::open(const std::vector<uint8_t>& movie, const std::string& caption) {
    // The movie is checked before any window appears.
    flash::Player probe;
    if (!probe.load(movie.data(), movie.size(), false)) return false;
    // Client area = stage; a degenerate or huge stage is kept within bounds.
    int sw = std::clamp(probe.stageWidth(), 16, 8192), sh = std::clamp(probe.stageHeight(), 16, 8192);
    probe.unload();

    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    RECT r{0, 0, sw, sh};
    AdjustWindowRectEx(&r, style, FALSE, 0);
    int w = r.right - r.left, h = r.bottom - r.top;
    int x = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - w) / 2);
    int y = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - h) / 2);
    if (!createForm("KvProjector", caption, x, y, w, h, style, 0, nullptr,
                    LoadIcon(nullptr, IDI_APPLICATION)))
        return false;
    RECT client{};
    GetClientRect(handle(), &client);
    if (!flash_.create(0, 0, client.right, client.bottom)) return false;
    flash_.setAlign(Align::Client);
    if (!flash_.loadFromMemory(movie.data(), movie.size(), caption)) return false;
    flash_.Play();
    return true;
}

void ProjectorForm::fsCommand(const std::string& command, const std::string& args) {
    // A movie may end its projector or show itself on the whole screen.
    if (lstrcmpiA(command.c_str(), "quit") == 0 && handle()) {
        PostMessageA(handle(), WM_CLOSE, 0, 0);
    } else if (lstrcmpiA(command.c_str(), "fullscreen") == 0) {
        setFullScreen(lstrcmpiA(args.c_str(), "true") == 0);
    }
}

void ProjectorForm::setFullScreen(bool on) {
    if (!handle() || on == fullScreen_) return;
    const DWORD framed = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    fullScreen_ = on;
    if (on) {
        GetWindowRect(handle(), &normalBounds_);
        MONITORINFO mi{sizeof mi, {}, {}, 0};
        GetMonitorInfoA(MonitorFromWindow(handle(), MONITOR_DEFAULTTONEAREST), &mi);
        SetWindowLongA(handle(), GWL_STYLE, (GetWindowLongA(handle(), GWL_STYLE) & ~framed) | WS_POPUP);
        const RECT& m = mi.rcMonitor;
        SetWindowPos(handle(), HWND_TOP, m.left, m.top, m.right - m.left, m.bottom - m.top,
                     SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    } else {
        SetWindowLongA(handle(), GWL_STYLE, (GetWindowLongA(handle(), GWL_STYLE) & ~WS_POPUP) | framed);
        const RECT& r = normalBounds_;
        SetWindowPos(handle(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_FRAMECHANGED | SWP_NOZORDER | SWP_SHOWWINDOW);
    }
}

void ProjectorForm::FormKeyDown(WORD& key, ShiftState) {
    // The form previews the keys of the control: Esc leaves full screen.
    if (key == VK_ESCAPE && fullScreen_) {
        setFullScreen(false);
        key = 0;
    }
}

bool ProjectorForm::handleFormMessage(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    if (msg != projectorPixelMessage()) return false;
    int x = static_cast<short>(LOWORD(wp)), y = static_cast<short>(HIWORD(wp));
    result = -1;
    UniqueBitmap bmp(flash_.paintToBitmap());
    DIBSECTION ds{};
    if (bmp && GetObject(bmp.get(), sizeof ds, &ds) == sizeof ds && ds.dsBm.bmBits && x >= 0 && y >= 0 &&
        x < ds.dsBm.bmWidth && y < ds.dsBm.bmHeight) {
        const auto* row =
            static_cast<const uint8_t*>(ds.dsBm.bmBits) + static_cast<size_t>(y) * ds.dsBm.bmWidthBytes;
        uint32_t px = reinterpret_cast<const uint32_t*>(row)[x];
        result = static_cast<LRESULT>(px & 0xFFFFFF);
    }
    return true;
}

int RunProjector(const std::string& exePath) {
    std::vector<uint8_t> movie;
    ProjectorForm form;
    if (!readAppendedMovie(exePath, movie) || !form.open(movie, ExtractFileTitle(exePath))) {
        ui().messageBox(nullptr, kNoMovieText, kAppTitle, MB_OK | MB_ICONWARNING);
        return 1;
    }
    movie.clear();
    movie.shrink_to_fit();
    Application& app = Application::instance();
    app.title = form.caption();
    app.mainForm = &form;
    form.show();
    SetForegroundWindow(form.handle());
    form.flash().setFocus();
    app.run();
    app.mainForm = nullptr;
    form.release();
    return 0;
}

}  // namespace kv
