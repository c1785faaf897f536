#include "ui/CheckBox.h"

#include "ui/DialogSkin.h"
#include "ui/DialogUnits.h"
#include "ui/Handles.h"

namespace kv {

namespace {

// The mark and the caption of a check box or radio button.
void drawChoice(const DRAWITEMSTRUCT& d, const std::string& caption, bool checked, bool radio, bool hover) {
    HDC dc = d.hDC;
    RECT r = d.rcItem;
    FillRect(dc, &r, dialogFaceBrush());
    DrawState s = (d.itemState & ODS_DISABLED)   ? DrawState::Disabled
                  : (d.itemState & ODS_SELECTED) ? DrawState::Pressed
                  : hover                        ? DrawState::Hover
                                                 : DrawState::Normal;
    int box = MulDiv(13, screenDpi(), 96);
    int top = (r.top + r.bottom - box) / 2;
    RECT mark{r.left, top, r.left + box, top + box};
    if (radio)
        drawRadioMark(dc, mark, checked, s);
    else
        drawCheckMark(dc, mark, checked, s);
    SelectGuard font(dc, dialogFont());
    RECT text{mark.right + 4, r.top, r.right, r.bottom};
    RECT measured = text;
    DrawTextA(dc, caption.c_str(), -1, &measured, DT_SINGLELINE | DT_VCENTER | DT_CALCRECT);
    drawCaption(dc, caption.c_str(), text, DT_SINGLELINE | DT_VCENTER,
                s == DrawState::Pressed ? DrawState::Normal : s);
    if (d.itemState & ODS_FOCUS) {
        int h = measured.bottom - measured.top;
        RECT f{text.left - 1, (r.top + r.bottom - h) / 2 - 1,
               text.left + (measured.right - measured.left) + 1, (r.top + r.bottom + h) / 2 + 1};
        IntersectRect(&f, &f, &r);
        SetTextColor(dc, kDialogText);
        SetBkColor(dc, kDialogFace);
        DrawFocusRect(dc, &f);
    }
}

}  // namespace

bool CheckBox::create(int x, int y, int w, int h, int id, const std::string& caption) {
    return createDialogControl("BUTTON", BS_OWNERDRAW | WS_TABSTOP, 0, x, y, w, h, id, caption);
}

void CheckBox::setChecked(bool c) {
    if (c == checked_) return;
    checked_ = c;
    invalidate();
    if (onClick) onClick();
}

bool CheckBox::reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == WM_COMMAND && (HIWORD(wp) == BN_CLICKED || HIWORD(wp) == BN_DOUBLECLICKED)) {
        click();
        result = 0;
        return true;
    }
    if (msg == WM_DRAWITEM) {
        drawChoice(*reinterpret_cast<DRAWITEMSTRUCT*>(lp), text(), checked_, dynamic_cast<RadioButton*>(this),
                   hover_);
        result = TRUE;
        return true;
    }
    return false;
}

std::vector<RadioButton*> RadioButton::group() const {
    std::vector<RadioButton*> out;
    if (!parent_) return out;
    for (Control* c : parent_->children())
        if (auto* r = dynamic_cast<RadioButton*>(c)) out.push_back(r);
    return out;
}

void RadioButton::setChecked(bool c) {
    if (c == checked_) return;
    checked_ = c;
    invalidate();
    if (!c) return;
    for (RadioButton* r : group()) {
        if (r != this && r->checked_) {
            r->checked_ = false;
            r->invalidate();
        }
    }
    if (onClick) onClick();
}

bool RadioButton::reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == WM_COMMAND && (HIWORD(wp) == BN_CLICKED || HIWORD(wp) == BN_DOUBLECLICKED)) {
        click();
        result = 0;
        return true;
    }
    return CheckBox::reflect(msg, wp, lp, result);
}

bool RadioGroup::create(int x, int y, int w, int h, int id, const std::string& caption) {
    x_ = x;
    y_ = y;
    w_ = w;
    h_ = h;
    caption_ = caption;
    nextId_ = id * 100;
    color_ = kDialogFace;
    registerWindowClass("KvRadioGroup");
    if (!createControl("KvRadioGroup", 0, WS_EX_CONTROLPARENT, caption)) return false;
    SetWindowLongPtrA(handle(), GWLP_ID, id);
    onResize = [this] { layout(); };
    return true;
}

void RadioGroup::setItems(const std::vector<std::string>& items) {
    int old = itemIndex();
    buttons_.clear();
    for (const std::string& item : items) {
        auto b = std::make_unique<RadioButton>(this);
        b->create(0, 0, 10, 10, ++nextId_, item);
        b->onClick = [this] {
            if (onClick) onClick();
        };
        buttons_.push_back(std::move(b));
    }
    layout();
    if (old >= 0 && old < count()) setItemIndex(old);
}

void RadioGroup::setColumns(int columns) {
    columns_ = columns < 1 ? 1 : columns;
    layout();
}

int RadioGroup::itemIndex() const {
    for (size_t i = 0; i < buttons_.size(); ++i)
        if (buttons_[i]->checked()) return static_cast<int>(i);
    return -1;
}

void RadioGroup::setItemIndex(int index) {
    if (index < 0 || index >= count()) {
        for (auto& b : buttons_) {
            RadioButton* r = b.get();
            if (r->checked()) {
                // Unchecking raises no click; the group reports the change itself.
                r->onClick = nullptr;
                r->setChecked(false);
                r->onClick = [this] {
                    if (onClick) onClick();
                };
            }
        }
        return;
    }
    buttons_[static_cast<size_t>(index)]->setChecked(true);
}

void RadioGroup::layout() {
    if (buttons_.empty() || !handle()) return;
    RECT c = clientRect();
    DialogUnits u = DialogUnits::forDpi();
    int top = u.y(10), left = u.x(6);
    int rows = (count() + columns_ - 1) / columns_;
    int colWidth = (c.right - left * 2) / columns_;
    int rowHeight = rows ? (c.bottom - top - u.y(4)) / rows : 0;
    int itemHeight = u.y(10);
    for (int i = 0; i < count(); ++i) {
        int col = i / rows, row = i % rows;
        int y = top + row * rowHeight + (rowHeight - itemHeight) / 2;
        buttons_[static_cast<size_t>(i)]->setBounds(left + col * colWidth, y, colWidth, itemHeight);
    }
}

void RadioGroup::paint(HDC dc, const RECT& client) { paintGroupFrame(dc, client, caption_, enabled()); }

bool GroupBox::create(int x, int y, int w, int h, const std::string& caption) {
    x_ = x;
    y_ = y;
    w_ = w;
    h_ = h;
    caption_ = caption;
    color_ = kDialogFace;
    registerWindowClass("KvGroupBox");
    return createControl("KvGroupBox", 0, WS_EX_CONTROLPARENT, caption);
}

void GroupBox::setCaption(const std::string& c) {
    caption_ = c;
    invalidate();
}

void GroupBox::paint(HDC dc, const RECT& client) { paintGroupFrame(dc, client, caption_, enabled()); }

void paintGroupFrame(HDC dc, const RECT& client, const std::string& caption, bool enabled) {
    SelectGuard font(dc, dialogFont());
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    RECT frame = client;
    frame.top += tm.tmHeight / 2;
    frameRect(dc, frame, kDialogBorder);
    if (caption.empty()) return;
    RECT text{client.left + 8, client.top, client.right - 8, client.top + tm.tmHeight};
    RECT measured = text;
    DrawTextA(dc, caption.c_str(), -1, &measured, DT_SINGLELINE | DT_CALCRECT);
    RECT gap{measured.left - 2, client.top, measured.right + 2, client.top + tm.tmHeight};
    FillRect(dc, &gap, dialogFaceBrush());
    drawCaption(dc, caption.c_str(), text, DT_SINGLELINE | DT_END_ELLIPSIS,
                enabled ? DrawState::Normal : DrawState::Disabled);
}

}  // namespace kv
