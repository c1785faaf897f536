// Tells a long drawing of a frame when to give way to the message loop: once
// it has run for a grace period, as soon as a message waits that someone
// expects a prompt answer to (a sent or posted message such as WM_CLOSE, a
// key or a mouse button). Timers, paints and pointer moves do not count, so
// frames drawn within the grace period are never given up.
#pragma once

#include <windows.h>

namespace kv {

class RenderYield {
public:
    explicit RenderYield(double graceMs = 40) : graceMs_(graceMs) {}
    void setGrace(double ms) { graceMs_ = ms; }
    // Starts timing one drawing.
    void start();
    // True when the drawing should stop now.
    bool due();

    // The messages that make a drawing give way.
    static constexpr UINT kWaitingKinds =
        QS_SENDMESSAGE | QS_POSTMESSAGE | QS_KEY | QS_MOUSEBUTTON | QS_HOTKEY;

private:
    static double nowMs();
    double graceMs_;
    double start_ = 0;
    double lastAsked_ = 0;
};

}  // namespace kv
