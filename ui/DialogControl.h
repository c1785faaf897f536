// The common part of the dialog controls: a system control (edit, button,
// combo box...) created with the dialog font and an id, whose notifications
// come back to it through its parent (Control::reflect).
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "ui/Control.h"

namespace kv {

class DialogControl : public Control {
public:
    explicit DialogControl(Control* parent) : Control(parent) {}

    // Window text (caption of buttons, text of edits).
    std::string text() const;
    void setText(const std::string& t);
    int id() const { return handle() ? GetDlgCtrlID(handle()) : 0; }
    // Whether Tab stops at the control (WS_TABSTOP; the order is the form's table order).
    bool tabStop() const;
    void setTabStop(bool t);
    // True when the keyboard focus is on the control or on a window inside it.
    bool focused() const;
    // Off for a borderless field (no frame drawn at all).
    void setFlatFrame(bool on) { flatFrame_ = on; }

    // Raised when the value changes (text, selection, position, page).
    std::function<void()> onChange;

protected:
    // Creates the system control at (x, y, w, h) in pixels with the dialog font.
    bool createDialogControl(const char* className, DWORD style, DWORD exStyle, int x, int y, int w, int h,
                             int id, const std::string& text = "");
    void change() {
        if (onChange) onChange();
    }
    LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    // Owner-drawn controls repaint when the mouse enters and leaves them.
    bool tracksHover_ = false;
    // Fields with a sunken edge (edits, lists) draw it flat in the skin's
    // colours, blue while they have the focus or the mouse.
    bool flatFrame_ = false;
    bool hover_ = false;
};

// Draws the flat frame over a field's two-pixel sunken edge (WM_NCPAINT) or,
// for combo boxes, over the edge drawn in the client area (after WM_PAINT).
void paintFlatFrame(HWND h, bool inClient, bool hot);
// Handles the messages that repaint a flat frame; call from the handler of a
// control that draws one (hot: the mouse is over it).
void trackFlatFrame(HWND h, UINT msg, bool inClient, bool hot);

// Registers the common-control classes the dialog controls use (once).
void ensureCommonControls();

// Text of any window (GBK bytes).
std::string windowText(HWND h);

}  // namespace kv
