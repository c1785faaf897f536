// A long drawing gives way to the message queue: which waiting messages make
// it stop, and what the control shows when a frame is given up.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "flash/RenderYield.h"
#include "flash/ShockwaveFlash.h"
#include "tests/platform/TempFolder.h"
#include "tools/swfwriter/CrowdMovie.h"
#include "ui/Form.h"
#include "ui/Handles.h"

using namespace kv;

namespace {

// Handles what waits, except closing requests the cases post.
void drainQueue() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
        if (m.message != WM_CLOSE) DispatchMessageA(&m);
}

// The picture a window paints for WM_PRINTCLIENT, as raw 32-bit pixels.
std::vector<uint32_t> printedPixels(HWND w, int width, int height) {
    UniqueMemDc dc(CreateCompatibleDC(nullptr));
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    UniqueBitmap bmp(CreateDIBSection(dc.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    SelectGuard sel(dc.get(), bmp.get());
    SendMessageA(w, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
    GdiFlush();
    const auto* p = static_cast<const uint32_t*>(bits);
    return std::vector<uint32_t>(p, p + static_cast<size_t>(width) * height);
}

}  // namespace

TEST(RenderYield, GivesWayOnlyToMessagesThatWaitForAnAnswer) {
    Form host;
    ASSERT_TRUE(host.createForm("KvYieldTestHost", "host", 0, 0, 100, 100, WS_POPUP | WS_VISIBLE));
    HWND w = host.handle();
    struct Case {
        const char* what;
        void (*arrange)(HWND);
        bool yields;
    };
    const Case cases[] = {
        {"nothing waits", [](HWND) {}, false},
        {"a posted message", [](HWND h) { PostMessageA(h, WM_CLOSE, 0, 0); }, true},
        {"a thread message", [](HWND) { PostThreadMessageA(GetCurrentThreadId(), WM_USER, 0, 0); }, true},
        {"a paint", [](HWND h) { InvalidateRect(h, nullptr, FALSE); }, false},
        {"a timer",
         [](HWND h) {
             SetTimer(h, 7, 1, nullptr);
             Sleep(20);
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        drainQueue();
        ValidateRect(w, nullptr);
        c.arrange(w);
        RenderYield y(30);
        y.start();
        EXPECT_FALSE(y.due());  // within the grace period nothing counts
        Sleep(40);
        EXPECT_EQ(y.due(), c.yields);
        KillTimer(w, 7);
        drainQueue();
    }

    // A message sent from another thread waits for this thread's answer.
    drainQueue();
    RenderYield y(30);
    y.start();
    std::thread sender([w] {
        DWORD_PTR r = 0;
        SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &r);
    });
    Sleep(40);
    bool sawSent = false;
    for (int i = 0; i < 100 && !sawSent; ++i, Sleep(5)) sawSent = y.due();
    EXPECT_TRUE(sawSent);
    drainQueue();  // answers the sender
    sender.join();
}

TEST(RenderYield, FrameGivenUpKeepsThePreviousPictureUntilAWholeOneIsDrawn) {
    kvtest::TempFolder folder;
    Form host;
    ASSERT_TRUE(host.createForm("KvYieldFlashHost", "host", 0, 0, 220, 220, WS_POPUP | WS_VISIBLE));
    TShockwaveFlash flash{&host};
    ASSERT_TRUE(flash.create(0, 0, 200, 200));
    // Every frame is too long here: it gives way at once when a message waits.
    flash.setYieldAfter(0);
    const std::string path = folder.file("crowd.swf");
    swfw::writeFile(path, swfw::crowdMovie(500, 20));
    flash.setMovie(path);
    ASSERT_TRUE(flash.loaded());
    HWND w = flash.handle();
    drainQueue();
    const std::vector<uint32_t> first = printedPixels(w, 200, 200);

    // A new view while a message waits: the drawing is given up, the old
    // picture stays (no half-drawn frame) and the control asks to paint again.
    flash.Zoom(50);
    PostMessageA(host.handle(), WM_USER, 0, 0);
    ValidateRect(w, nullptr);
    EXPECT_TRUE(printedPixels(w, 200, 200) == first);
    EXPECT_TRUE(GetUpdateRect(w, nullptr, FALSE));

    // Once the queue is quiet the whole new frame is drawn.
    drainQueue();
    const std::vector<uint32_t> zoomed = printedPixels(w, 200, 200);
    EXPECT_FALSE(zoomed == first);
    EXPECT_FALSE(GetUpdateRect(w, nullptr, FALSE));
    EXPECT_TRUE(printedPixels(w, 200, 200) == zoomed);
}
