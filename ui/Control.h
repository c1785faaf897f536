// Child controls with Delphi-like alignment, mouse events and transparent
// painting over their parent's background.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/Window.h"

namespace kv {

enum class Align { None, Top, Bottom, Left, Right, Client };
enum class MouseButton { Left, Right, Middle };

struct MouseEvent {
    MouseButton button = MouseButton::Left;
    int x = 0, y = 0;      // client coordinates of the control
    WPARAM keys = 0;       // MK_* flags
};

// The shift state of a key or mouse event.
struct ShiftState {
    bool shift = false, ctrl = false, alt = false;
    static ShiftState current();
};

class Control : public Window {
public:
    explicit Control(Control* parent = nullptr);
    ~Control() override;

    Control* parentControl() const { return parent_; }
    HWND parentHandle() const;

    void setBounds(int x, int y, int w, int h);
    void setLeft(int x) { setBounds(x, top(), width(), height()); }
    void setTop(int y) { setBounds(left(), y, width(), height()); }
    void setWidth(int w) { setBounds(left(), top(), w, height()); }
    void setHeight(int h) { setBounds(left(), top(), width(), h); }
    int left() const { return x_; }
    int top() const { return y_; }
    int width() const { return w_; }
    int height() const { return h_; }
    RECT clientRect() const;

    void setVisible(bool v);
    bool visible() const { return visible_; }
    void setEnabled(bool e);
    bool enabled() const;
    void setAlign(Align a);
    Align align() const { return align_; }
    void setColor(COLORREF c);
    COLORREF color() const { return color_; }
    // A transparent control shows its parent's background where it paints nothing.
    void setTransparent(bool t) { transparent_ = t; invalidate(); }
    bool transparent() const { return transparent_; }
    void setCursor(HCURSOR c) { cursor_ = c; }
    void invalidate();
    void setFocus();
    void bringToFront();

    std::string hint;
    int tag = 0;

    std::function<void(const MouseEvent&)> onMouseDown, onMouseUp, onMouseMove;
    std::function<void()> onClick, onDblClick, onMouseEnter, onMouseLeave, onResize;

    // Lays out the aligned children inside the client area.
    void realign();
    // Paints this control's background into dc for a child at (ox, oy).
    virtual void paintBackgroundFor(HDC dc, int ox, int oy, const RECT& area);
    const std::vector<Control*>& children() const { return children_; }

    // A notification this control sent to its parent window (WM_COMMAND,
    // WM_NOTIFY, WM_DRAWITEM, WM_MEASUREITEM, WM_CTLCOLOR*, WM_HSCROLL,
    // WM_VSCROLL), handed back by the parent; true when handled.
    virtual bool reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

    // Mouse-event entry points, also used by tests to simulate the user.
    void mouseDown(const MouseEvent& e);
    void mouseUp(const MouseEvent& e);
    void mouseMove(const MouseEvent& e);
    void mouseEnter();
    void mouseLeave();
    bool mouseInside() const { return mouseInside_; }

protected:
    // Creates the HWND as a child of the parent control (or top level).
    bool createControl(const char* className, DWORD style = 0, DWORD exStyle = 0, const std::string& text = "");
    // Creates a system control and routes its messages through this object.
    bool createNative(const char* className, DWORD style, DWORD exStyle = 0);
    LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    // Paints the control; the default fills with the background.
    virtual void paint(HDC dc, const RECT& client);
    void paintBackground(HDC dc, const RECT& area);
    void onHandleDestroyed() override;

    Control* parent_ = nullptr;
    std::vector<Control*> children_;
    int x_ = 0, y_ = 0, w_ = 0, h_ = 0;
    bool visible_ = true;
    bool transparent_ = false;
    COLORREF color_ = GetSysColor(COLOR_BTNFACE);
    Align align_ = Align::None;
    HCURSOR cursor_ = nullptr;
    bool mouseInside_ = false;
    bool pressed_ = false;
    bool native_ = false;  // a system control (list box, list view...) that paints itself

private:
    void syncBounds();
    // Hands a child's notification back to the child control that sent it.
    bool reflectToChild(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
};

// A plain container with a background colour or picture.
class Panel : public Control {
public:
    explicit Panel(Control* parent) : Control(parent) {}
    bool create(int x = 0, int y = 0, int w = 0, int h = 0);
    // A picture drawn stretched (or tiled) over the whole panel.
    void setBackgroundPicture(HBITMAP bmp, bool stretch = true);
    void paintBackgroundFor(HDC dc, int ox, int oy, const RECT& area) override;

protected:
    void paint(HDC dc, const RECT& client) override;

private:
    HBITMAP background_ = nullptr;
    bool stretch_ = true;
};

void registerControlClasses();

}  // namespace kv
