// Flat push button (drawn by the dialog skin) and speed button (no focus, no
// frame until hovered, optional glyph and "down" state).
#pragma once

#include "ui/DialogControl.h"
#include "ui/Handles.h"

namespace kv {

class Button : public DialogControl {
public:
    explicit Button(Control* parent) : DialogControl(parent) { tracksHover_ = true; }
    bool create(int x, int y, int w, int h, int id, const std::string& caption);

    // Enter presses the default button, Esc the cancel button (see DialogForm).
    bool isDefault = false;
    bool isCancel = false;
    // Non-zero: a click closes the modal form with this result (IDOK, IDCANCEL).
    int modalResult = 0;

    // Presses the button as a user click does: onClick, then the modal result.
    void click();

protected:
    LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    bool reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
};

class SpeedButton : public DialogControl {
public:
    explicit SpeedButton(Control* parent) : DialogControl(parent) {}
    bool create(int x, int y, int w, int h, const std::string& caption);
    // A picture drawn centred (left of the caption when there is one); the
    // button keeps it. Magenta (255, 0, 255) pixels are transparent.
    void setGlyph(UniqueBitmap glyph);
    // The caption's colour while the button shows no face (not hovered,
    // pressed or down), for a button on a dark panel.
    void setCaptionColor(COLORREF c);
    // A speed button that stays down (for toggles).
    void setDown(bool d);
    bool down() const { return down_; }
    // Presses the button as a user click does.
    void click();

protected:
    void paint(HDC dc, const RECT& client) override;
    LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    UniqueBitmap glyph_;
    std::string caption_;
    bool down_ = false;
    bool ownCaptionColor_ = false;
    COLORREF captionColor_ = 0;
};

// The form a control sits on (nullptr when none).
class Form;
Form* formOf(Control* c);

}  // namespace kv
