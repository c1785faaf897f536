// Single-line edit and memo. Every typed character passes the key-press hook
// first (whole GBK characters, also those the IME sends), so a field can refuse
// characters; clipboard, undo, IME and the context menu are the system edit's.
#pragma once

#include <string>
#include <vector>

#include "ui/DialogControl.h"

namespace kv {

class Edit : public DialogControl {
public:
    explicit Edit(Control* parent) : DialogControl(parent) { flatFrame_ = true; }
    bool create(int x, int y, int w, int h, int id, const std::string& text = "", DWORD extraStyle = 0);

    // A typed character before it reaches the field: a byte (control keys
    // such as backspace and Ctrl+V are below 0x20) or a two-byte GBK
    // character as (lead << 8) | trail. Setting it to 0 swallows the key.
    std::function<void(unsigned& key)> onKeyPress;
    // Only the digits 0-9 (and control keys) can be typed; pasted text is not
    // filtered, so readers convert with StrToInt and report what fails.
    void setDigitsOnly(bool d) { digitsOnly_ = d; }
    bool digitsOnly() const { return digitsOnly_; }
    void setReadOnly(bool r);
    bool readOnly() const;
    void setMaxLength(int n);
    void selectAll();
    int textLength() const { return handle() ? GetWindowTextLengthA(handle()) : 0; }

    // Runs a typed character through the digit filter and the hook; false
    // when swallowed (the key may be changed).
    bool keyPress(unsigned& key);

protected:
    LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    bool reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    bool digitsOnly_ = false;
    unsigned lead_ = 0;  // lead byte of a GBK character waiting for its trail byte
};

class Memo : public Edit {
public:
    explicit Memo(Control* parent) : Edit(parent) {}
    bool create(int x, int y, int w, int h, int id, const std::string& text = "");
    // Lines of the text (CRLF separated).
    std::vector<std::string> lines() const;
    void setLines(const std::vector<std::string>& lines);
    void addLine(const std::string& line);
    // Enter makes a new line (true) or presses the default button.
    bool wantReturns = true;
    // Tab is typed into the text (true) or moves the focus.
    bool wantTabs = false;
};

}  // namespace kv
