#include "ui/Edit.h"

#include "ui/DialogSkin.h"

namespace kv {

bool Edit::create(int x, int y, int w, int h, int id, const std::string& text, DWORD extraStyle) {
    return createDialogControl("EDIT", ES_AUTOHSCROLL | WS_TABSTOP | extraStyle, WS_EX_CLIENTEDGE, x, y, w, h,
                               id, text);
}

void Edit::setReadOnly(bool r) { SendMessageA(handle(), EM_SETREADONLY, r ? TRUE : FALSE, 0); }

bool Edit::readOnly() const { return (GetWindowLongA(handle(), GWL_STYLE) & ES_READONLY) != 0; }

void Edit::setMaxLength(int n) { SendMessageA(handle(), EM_LIMITTEXT, static_cast<WPARAM>(n), 0); }

void Edit::selectAll() { SendMessageA(handle(), EM_SETSEL, 0, -1); }

bool Edit::keyPress(unsigned& key) {
    if (digitsOnly_ && key >= 0x20 && !(key >= '0' && key <= '9')) key = 0;
    if (key && onKeyPress) onKeyPress(key);
    return key != 0;
}

bool Edit::reflect(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    if (msg == WM_COMMAND && HIWORD(wp) == EN_CHANGE) {
        change();
        result = 0;
        return true;
    }
    if (msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORSTATIC) {
        HDC dc = reinterpret_cast<HDC>(wp);
        bool field = msg == WM_CTLCOLOREDIT;
        SetTextColor(dc, IsWindowEnabled(handle()) ? kDialogText : kDialogDisabledText);
        SetBkColor(dc, field ? kDialogField : kDialogFace);
        result = reinterpret_cast<LRESULT>(field ? dialogFieldBrush() : dialogFaceBrush());
        return true;
    }
    return false;
}

LRESULT Edit::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CHAR: {
            unsigned b = static_cast<unsigned char>(wp);
            if (lead_) {
                unsigned lead = lead_;
                lead_ = 0;
                unsigned key = (lead << 8) | b;
                if (!keyPress(key)) return 0;
                if (key <= 0xFF) return DialogControl::handleMessage(WM_CHAR, key, lp);
                // The whole character goes in as typed text (undo included).
                const char both[3] = {static_cast<char>(key >> 8), static_cast<char>(key & 0xFF), '\0'};
                return SendMessageA(handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(both));
            }
            if (IsDBCSLeadByte(static_cast<BYTE>(b))) {
                lead_ = b;
                return 0;
            }
            unsigned key = b;
            if (!keyPress(key)) return 0;
            return DialogControl::handleMessage(WM_CHAR, key, lp);
        }
        case WM_IME_CHAR: {
            unsigned key = static_cast<unsigned>(wp) & 0xFFFF;
            if (!keyPress(key)) return 0;
            return DialogControl::handleMessage(WM_IME_CHAR, key, lp);
        }
        case WM_KILLFOCUS:
            lead_ = 0;
            break;
        default:
            break;
    }
    return DialogControl::handleMessage(msg, wp, lp);
}

bool Memo::create(int x, int y, int w, int h, int id, const std::string& text) {
    return createDialogControl("EDIT",
                               ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP,
                               WS_EX_CLIENTEDGE, x, y, w, h, id, text);
}

std::vector<std::string> Memo::lines() const {
    std::vector<std::string> out;
    std::string t = text();
    size_t start = 0;
    while (start <= t.size()) {
        size_t end = t.find("\r\n", start);
        if (end == std::string::npos) {
            if (start < t.size()) out.push_back(t.substr(start));
            break;
        }
        out.push_back(t.substr(start, end - start));
        start = end + 2;
    }
    return out;
}

void Memo::setLines(const std::vector<std::string>& lines) {
    std::string t;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i) t += "\r\n";
        t += lines[i];
    }
    setText(t);
}

void Memo::addLine(const std::string& line) {
    std::vector<std::string> l = lines();
    l.push_back(line);
    setLines(l);
}

}  // namespace kv
