#include "flash/ShockwaveFlash.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "app/AppState.h"
#include "flash/AcmMp3Decoder.h"
#include "flash/ContentLoader.h"
#include "flash/FrameClock.h"
#include "flash/RenderYield.h"
#include "flash/WaveOutput.h"
#include "flash/WicImageDecoder.h"
#include "flash/core/Player.h"
#include "platform/ExclusiveFile.h"
#include "ui/Canvas.h"
#include "ui/Handles.h"

namespace kv {

namespace {

const char* const kClassName = "KvShockwaveFlash";
constexpr UINT_PTR kFrameTimerId = 1;
// Files larger than this are not movies the player could hold anyway.
constexpr long long kMaxMovieBytes = 256LL * 1024 * 1024;
// Pages for a browser window one engine call may raise; more are dropped.
constexpr long kMaxPagesAtOnce = 4;

double secondsNow() {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(freq.QuadPart);
}

// One trace() line to the debugger output: UTF-8 from version 6, the
// system code page before.
void debugOutput(const std::string& line, bool utf8) {
    std::string text = line + "\n";
    int n = MultiByteToWideChar(utf8 ? CP_UTF8 : CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                nullptr, 0);
    if (n <= 0) return;
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(utf8 ? CP_UTF8 : CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
    OutputDebugStringW(wide.c_str());
}

}  // namespace

struct TShockwaveFlash::Impl {
    AcmCodecs codecs;
    flash::Player player;
    WicImageDecoder decoder;
    FrameClock clock;
    ContentLoader content{player.engine()};
    bool timerOn = false;
    UINT timerInterval = 0;

    // The picture: premultiplied 0xAARRGGBB, which a 32-bit DIB shows as is.
    UniqueBitmap dib;
    uint32_t* bits = nullptr;
    int dibW = 0, dibH = 0;
    bool stale = true;
    std::vector<flash::DirtyRect> drawn;  // rectangles the last render drew
    // The frame being drawn; it reaches the picture only when whole.
    std::vector<uint32_t> frame;
    RenderYield yield;
    bool mayYield = false;

    // What the movie raised for the program: FSCommands (command, arguments)
    // and pages for a browser window (url, window, posted data).
    struct Raised {
        bool page;
        std::string a, b, post;
    };
    std::vector<Raised> commands;
    int engineDepth = 0;
    bool delivering = false;
    unsigned loads = 0;  // counts loads, so a reload drops the old movie's commands

    // Last pointer position in stage twips, for the engine's buttons.
    double pointerX = 0, pointerY = 0;
    bool pointerDown = false;
    bool cursorHidden = false;  // what the cursor last showed

    // Last: its thread mixes from the player until it is destroyed.
    WaveOutput output;
};

TShockwaveFlash::TShockwaveFlash(Control* parent) : Control(parent), impl_(std::make_unique<Impl>()) {
    color_ = RGB(0, 0, 0);
    impl_->player.setImageDecoder(&impl_->decoder);
    impl_->player.setAudioCodecs(&impl_->codecs);
    impl_->player.setLoop(true);
    impl_->player.engine().host = &impl_->content;
    impl_->content.setSharedFolder(ExecutableFolder() + "SharedObjects\\");
    impl_->player.setRenderInterrupt([this] { return impl_->mayYield && impl_->yield.due(); });
    impl_->player.setFSCommandHandler([this](const std::string& c, const std::string& a) {
        impl_->commands.push_back({false, c, a, {}});
    });
    impl_->content.onOpenUrl = [this](const std::string& url, const std::string& target,
                                      const std::string& post) {
        // A script calling getURL in a loop must not open a window per call.
        auto& queued = impl_->commands;
        if (std::count_if(queued.begin(), queued.end(), [](const Impl::Raised& r) { return r.page; }) <
            kMaxPagesAtOnce)
            queued.push_back({true, url, target, post});
    };
    impl_->player.engine().onTrace = [this](const std::string& line) {
        debugOutput(line, impl_->player.version() >= 6);
    };
}

TShockwaveFlash::~TShockwaveFlash() {
    // The window goes first, while the engine it paints from still exists.
    destroy();
}

bool TShockwaveFlash::create(int x, int y, int w, int h) {
    registerWindowClass(kClassName, CS_DBLCLKS);
    x_ = x;
    y_ = y;
    w_ = w;
    h_ = h;
    if (!createControl(kClassName)) return false;
    updateTimer();
    return true;
}

flash::Player& TShockwaveFlash::player() { return impl_->player; }

bool TShockwaveFlash::loaded() const { return impl_->player.isLoaded(); }

void TShockwaveFlash::setMovie(const std::string& path) {
    movie_ = path;
    std::vector<uint8_t> bytes;
    // "1.swf" is how the player asks for an empty control: never read it.
    bool unload = path.empty() || lstrcmpiA(path.c_str(), "1.swf") == 0 ||
                  !ReadWholeFile(path, bytes, kMaxMovieBytes) || bytes.empty();
    impl_->content.setMoviePath(path);
    if (unload) {
        loadBytes(nullptr, 0);
    } else {
        loadBytes(bytes.data(), bytes.size());
    }
}

bool TShockwaveFlash::loadFromMemory(const uint8_t* data, size_t size, const std::string& name) {
    movie_ = name;
    impl_->content.setMoviePath(name);
    return loadBytes(data, size);
}

bool TShockwaveFlash::loadBytes(const uint8_t* data, size_t size) {
    impl_->commands.clear();
    impl_->player.engine().clearTraceLog();
    ++impl_->loads;
    bool ok = false;
    runEngine([&] {
        impl_->player.unload();
        if (data && size > 0) ok = impl_->player.load(data, size, /*autoStart=*/false);
        if (!ok) impl_->player.unload();
        RECT rc = clientRect();
        if (ok) impl_->player.setViewSize(rc.right - rc.left, rc.bottom - rc.top);
        impl_->player.setLoop(true);
        impl_->player.setQuality(flash::qualityFromControl(quality_));
        impl_->player.setScaleMode(scaleMode_ == 1 ? flash::ScaleMode::NoBorder : flash::ScaleMode::ShowAll);
    });
    impl_->clock.setRate(impl_->player.frameRate());
    impl_->clock.restart(secondsNow());
    updateTimer();
    updateSound();
    redraw();
    return ok;
}

template <typename F>
void TShockwaveFlash::runEngine(F&& f) {
    ++impl_->engineDepth;
    f();
    --impl_->engineDepth;
    if (impl_->engineDepth == 0) {
        updateSound();
        deliverCommands();
    }
}

void TShockwaveFlash::updateSound() {
    // The device runs while something may sound: a playing movie or event
    // sounds still going. Otherwise it is closed, so nothing is written.
    Impl& m = *impl_;
    bool want = m.player.isLoaded() && (m.player.isPlaying() || m.player.sound().voiceCount() > 0);
    if (want && !m.output.running()) {
        m.output.start([&m](int16_t* out, size_t frames) { m.player.sound().render(out, frames); });
    } else if (!want && m.output.running()) {
        m.output.stop();
    }
}

int TShockwaveFlash::streamFramesDue() {
    // The sound heard now is what the mixer made less what the device holds.
    Impl& m = *impl_;
    if (!m.output.running()) return -1;
    uint64_t made = m.player.sound().rendered(), queued = m.output.latency();
    return m.player.streamFramesDue(made > queued ? made - queued : 0);
}

void TShockwaveFlash::deliverCommands() {
    // A handler that drives the control again only queues more commands;
    // the outer loop hands them on in order.
    if (impl_->delivering) return;
    impl_->delivering = true;
    while (!impl_->commands.empty()) {
        auto batch = std::move(impl_->commands);
        impl_->commands.clear();
        unsigned movie = impl_->loads;
        for (auto& c : batch) {
            // Commands the old movie raised are dropped once another is loaded.
            if (impl_->loads != movie) break;
            if (c.page) {
                if (OnGetURL) OnGetURL(c.a, c.b, c.post);
            } else if (OnFSCommand) {
                OnFSCommand(c.a, c.b);
            }
        }
    }
    impl_->delivering = false;
}

void TShockwaveFlash::Play() {
    if (!loaded()) return;
    // The frame clock runs on while the movie stands (loading restarts it):
    // a stop and play in quick succession keeps the time already waited for
    // the next frame, so a slow movie restarted often still advances.
    runEngine([&] { impl_->player.play(); });
}

void TShockwaveFlash::Stop() {
    runEngine([&] { impl_->player.stop(); });
}

void TShockwaveFlash::StopPlay() { Stop(); }

void TShockwaveFlash::GotoFrame(int frame) {
    if (!loaded()) return;
    runEngine([&] { impl_->player.gotoFrame(frame); });
    redraw();
}

int TShockwaveFlash::CurrentFrame() const { return impl_->player.currentFrame(); }

bool TShockwaveFlash::IsPlaying() const { return impl_->player.isPlaying(); }

int TShockwaveFlash::TotalFrames() const { return impl_->player.totalFrames(); }

void TShockwaveFlash::setQuality(int q) {
    quality_ = q;
    impl_->player.setQuality(flash::qualityFromControl(q));
    redraw();
}

void TShockwaveFlash::setScaleMode(int m) {
    if (m != 0 && m != 1) return;  // only show all and no border exist here
    scaleMode_ = m;
    impl_->player.setScaleMode(m == 1 ? flash::ScaleMode::NoBorder : flash::ScaleMode::ShowAll);
    redraw();
}

void TShockwaveFlash::Zoom(int percent) {
    impl_->player.zoom(percent);
    redraw();
}

void TShockwaveFlash::tick() {
    if (!loaded()) return;
    impl_->content.deliver();
    runEngine([&] { impl_->player.tick(); });
    redraw();
}

void TShockwaveFlash::redraw() {
    impl_->stale = true;
    RECT rc = clientRect();
    if (!impl_->dib || !loaded() || rc.right - rc.left != impl_->dibW || rc.bottom - rc.top != impl_->dibH) {
        invalidate();
        return;
    }
    // Only the rectangles whose picture changes are painted again: a
    // picture that stays the same costs no painting at all.
    for (const flash::DirtyRect& r : impl_->player.changedRects(impl_->dibW, impl_->dibH)) {
        RECT area{r.left, r.top, r.right, r.bottom};
        InvalidateRect(handle(), &area, FALSE);
    }
}

void TShockwaveFlash::renderIfStale(bool mayYield) {
    RECT rc = clientRect();
    int w = std::max<int>(rc.right - rc.left, 1), h = std::max<int>(rc.bottom - rc.top, 1);
    if (!impl_->dib || w != impl_->dibW || h != impl_->dibH) {
        impl_->dib.reset(createDibSection(w, h, &impl_->bits));
        impl_->dibW = impl_->dib ? w : 0;
        impl_->dibH = impl_->dib ? h : 0;
        impl_->stale = true;
        impl_->player.forgetPicture();
    }
    impl_->drawn.clear();
    if (!impl_->stale || !impl_->bits) return;
    if (loaded()) {
        // A frame given up for a waiting message leaves the last whole
        // picture on screen and is drawn anew once the queue is quiet. The
        // frame buffer keeps the player's last picture: only the rectangles
        // that changed are drawn into it and copied.
        std::vector<uint32_t>& frame = impl_->frame;
        if (frame.size() != static_cast<size_t>(w) * h) {
            frame.resize(static_cast<size_t>(w) * h);
            impl_->player.forgetPicture();
        }
        impl_->yield.start();
        // A message that waits already (with no grace period set) gives the
        // frame up before it starts: band threads could otherwise finish a
        // short frame before this thread gets to ask.
        if (mayYield && impl_->yield.due()) {
            InvalidateRect(handle(), nullptr, FALSE);
            return;
        }
        impl_->mayYield = mayYield;
        bool whole = true;
        std::vector<flash::DirtyRect> rects = impl_->player.renderChanged(frame.data(), w, h, w, &whole);
        impl_->mayYield = false;
        if (!whole) {
            InvalidateRect(handle(), nullptr, FALSE);
            return;
        }
        for (const flash::DirtyRect& r : rects)
            for (int y = r.top; y < r.bottom; ++y) {
                const size_t at = static_cast<size_t>(y) * w;
                std::copy(frame.begin() + static_cast<ptrdiff_t>(at + r.left),
                          frame.begin() + static_cast<ptrdiff_t>(at + r.right), impl_->bits + at + r.left);
            }
        impl_->drawn = std::move(rects);
    } else {
        impl_->player.forgetPicture();
        // An empty control shows its own colour.
        uint32_t c = 0xFF000000u | (GetRValue(color_) << 16) | (GetGValue(color_) << 8) | GetBValue(color_);
        std::fill(impl_->bits, impl_->bits + static_cast<size_t>(w) * h, c);
    }
    GdiFlush();
    impl_->stale = false;
}

void TShockwaveFlash::paintDrawnRects(const RECT* painted) {
    // Changes made since the last invalidation are painted next.
    for (const flash::DirtyRect& r : impl_->drawn) {
        if (painted && painted->left <= r.left && painted->right >= r.right && painted->top <= r.top &&
            painted->bottom >= r.bottom)
            continue;
        RECT area{r.left, r.top, r.right, r.bottom};
        if (handle()) InvalidateRect(handle(), &area, FALSE);
    }
    impl_->drawn.clear();
}

void TShockwaveFlash::setYieldAfter(double ms) { impl_->yield.setGrace(ms); }

HBITMAP TShockwaveFlash::paintToBitmap() {
    renderIfStale();
    paintDrawnRects(nullptr);
    if (!impl_->bits) return nullptr;
    uint32_t* bits = nullptr;
    HBITMAP copy = createDibSection(impl_->dibW, impl_->dibH, &bits);
    if (copy) std::memcpy(bits, impl_->bits, static_cast<size_t>(impl_->dibW) * impl_->dibH * 4);
    return copy;
}

void TShockwaveFlash::updateTimer() {
    bool want = handle() && loaded();
    // Two timer events per frame period at least, so each frame comes close
    // to its time; the clock keeps the average rate exact.
    UINT interval = 0;
    if (want) {
        double half = impl_->clock.period() * 1000.0 / 2;
        interval = static_cast<UINT>(std::max(10.0, std::min(half, 100.0)));
    }
    if (impl_->timerOn && (!want || interval != impl_->timerInterval)) {
        if (handle()) KillTimer(handle(), kFrameTimerId);
        impl_->timerOn = false;
    }
    if (want && !impl_->timerOn) {
        impl_->timerOn = SetTimer(handle(), kFrameTimerId, interval, nullptr) != 0;
        impl_->timerInterval = interval;
    }
}

void TShockwaveFlash::frameTimer() {
    // A modal loop run by an FSCommand handler still dispatches timer
    // messages; the engine is not entered again meanwhile.
    if (!loaded() || impl_->engineDepth > 0 || impl_->delivering) {
        if (!impl_->delivering) updateSound();
        return;
    }
    impl_->content.deliver();
    double now = secondsNow();
    int frames = impl_->clock.advance(now);
    int due = streamFramesDue();
    if (due >= 0) {
        // A stream leads: its frames are shown when they are heard, and a
        // picture that fell behind skips frames rather than the sound.
        impl_->clock.restart(now);
        frames = std::min(due, std::max(4, static_cast<int>(impl_->player.frameRate())));
    }
    if (frames <= 0) {
        updateSound();
        return;
    }
    runEngine([&] {
        for (int i = 0; i < frames && impl_->player.isLoaded(); ++i) impl_->player.tick();
    });
    redraw();
    // A frame script may have hidden or shown the pointer.
    if (pointerHidden() != impl_->cursorHidden) showCursor();
}

void TShockwaveFlash::pointerInput(int x, int y, bool down) {
    // The pointer reaches the engine in stage twips, through the view the
    // control paints with; buttons may change their look and run scripts.
    flash::Matrix inv;
    RECT rc = clientRect();
    if (!impl_->player.viewMatrix(rc.right, rc.bottom).invert(inv)) return;
    impl_->pointerX = inv.mapX(x, y);
    impl_->pointerY = inv.mapY(x, y);
    impl_->pointerDown = down;
    // A modal loop of an FSCommand handler may deliver pointer messages; the
    // engine is not entered again meanwhile.
    if (!loaded() || impl_->engineDepth > 0 || impl_->delivering) return;
    bool changed = false;
    runEngine([&] { changed = impl_->player.mouseAtStage(impl_->pointerX, impl_->pointerY, down); });
    if (changed) redraw();
    showCursor();
}

unsigned TShockwaveFlash::takeTypedCharacter() {
    MSG m;
    if (!PeekMessageA(&m, handle(), WM_CHAR, WM_CHAR, PM_REMOVE)) return 0;
    char bytes[2] = {static_cast<char>(m.wParam & 0xFF), 0};
    int n = 1;
    if (static_cast<unsigned char>(bytes[0]) < 0x80) return static_cast<unsigned char>(bytes[0]);
    // A double-byte character arrives as two WM_CHARs, lead byte first.
    if (IsDBCSLeadByte(static_cast<BYTE>(bytes[0])) &&
        PeekMessageA(&m, handle(), WM_CHAR, WM_CHAR, PM_REMOVE)) {
        bytes[1] = static_cast<char>(m.wParam & 0xFF);
        n = 2;
    }
    wchar_t wide = 0;
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes, n, &wide, 1) != 1) return 0;
    return wide;
}

void TShockwaveFlash::keyInput(int code, unsigned character, bool down) {
    if (!loaded() || impl_->engineDepth > 0 || impl_->delivering) return;
    bool changed = false;
    flash::Engine& engine = impl_->player.engine();
    runEngine(
        [&] { changed = down ? engine.keyDown(code, static_cast<int>(character)) : engine.keyUp(code); });
    if (changed) redraw();
    showCursor();
}

bool TShockwaveFlash::wantsHandCursor() const { return impl_->player.wantsHandCursor(); }

bool TShockwaveFlash::pointerHidden() const {
    return impl_->player.isLoaded() && impl_->player.engine().pointerHidden;
}

const std::vector<std::string>& TShockwaveFlash::traceLog() const {
    return impl_->player.engine().traceLog();
}

void TShockwaveFlash::showCursor() {
    // WM_SETCURSOR comes before the move that changes the button under the
    // pointer, so the cursor is set again once the engine has seen it.
    impl_->cursorHidden = pointerHidden();
    POINT pt;
    if (!GetCursorPos(&pt) || WindowFromPoint(pt) != handle()) return;
    SetCursor(pointerHidden() ? nullptr : LoadCursorA(nullptr, wantsHandCursor() ? IDC_HAND : IDC_ARROW));
}

LRESULT TShockwaveFlash::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT: {
            PaintDc pdc(handle());
            renderIfStale(true);
            paintDrawnRects(&pdc.area());
            if (impl_->dib) {
                // Only the part asked for is copied to the screen.
                const RECT& a = pdc.area();
                UniqueMemDc mem(CreateCompatibleDC(pdc.get()));
                SelectGuard sel(mem.get(), impl_->dib.get());
                BitBlt(pdc.get(), a.left, a.top, a.right - a.left, a.bottom - a.top, mem.get(), a.left, a.top,
                       SRCCOPY);
            }
            return 0;
        }
        case WM_PRINTCLIENT: {
            // PrintWindow and WM_PRINT: the same picture into the caller's DC.
            renderIfStale(true);
            paintDrawnRects(nullptr);
            if (impl_->dib) {
                UniqueMemDc mem(CreateCompatibleDC(reinterpret_cast<HDC>(wp)));
                SelectGuard sel(mem.get(), impl_->dib.get());
                BitBlt(reinterpret_cast<HDC>(wp), 0, 0, impl_->dibW, impl_->dibH, mem.get(), 0, 0, SRCCOPY);
            }
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_SIZE: {
            LRESULT r = Control::handleMessage(msg, wp, lp);
            // Movies that do not scale hear of the new size (Stage.onResize).
            if (loaded() && impl_->engineDepth == 0 && !impl_->delivering)
                runEngine([&] { impl_->player.setViewSize(LOWORD(lp), HIWORD(lp)); });
            redraw();
            return r;
        }
        case WM_TIMER:
            if (wp == kFrameTimerId) {
                frameTimer();
                return 0;
            }
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (GetFocus() != handle()) SetFocus(handle());
            // The control keeps the pointer while the button is held, so a
            // release outside it still reaches the engine.
            if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) SetCapture(handle());
            pointerInput(GET_X_LPARAM(lp), GET_Y_LPARAM(lp), msg != WM_RBUTTONDOWN && msg != WM_MBUTTONDOWN);
            break;
        case WM_LBUTTONUP:
        case WM_MOUSEMOVE:
            pointerInput(GET_X_LPARAM(lp), GET_Y_LPARAM(lp), (wp & MK_LBUTTON) != 0 && msg != WM_LBUTTONUP);
            if (msg == WM_LBUTTONUP && GetCapture() == handle()) ReleaseCapture();
            break;
        case WM_SETCURSOR:
            if (LOWORD(lp) == HTCLIENT && (pointerHidden() || wantsHandCursor())) {
                SetCursor(pointerHidden() ? nullptr : LoadCursorA(nullptr, IDC_HAND));
                return TRUE;
            }
            break;
        case WM_KEYDOWN: {
            int code = static_cast<int>(wp & 0xFF);
            keyInput(code, takeTypedCharacter(), true);
            return 0;
        }
        case WM_KEYUP:
            keyInput(static_cast<int>(wp & 0xFF), 0, false);
            return 0;
        case WM_CHAR:
            return 0;  // taken with the key that typed it
        case WM_GETDLGCODE: {
            // Tab and Enter belong to the movie (focus moves, buttons press),
            // also inside a dialog.
            LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB;
            const MSG* m = reinterpret_cast<const MSG*>(lp);
            if (m && m->message == WM_KEYDOWN && m->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
            return code;
        }
        default:
            break;
    }
    return Control::handleMessage(msg, wp, lp);
}

void TShockwaveFlash::onHandleDestroyed() {
    impl_->timerOn = false;  // the timer died with the window
    Control::onHandleDestroyed();
}

}  // namespace kv
