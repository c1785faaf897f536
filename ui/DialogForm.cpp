#include "ui/DialogForm.h"

#include <commctrl.h>

#include <cstdlib>

#include "ui/Application.h"
#include "ui/DialogSkin.h"

namespace kv {

namespace {

constexpr int kFirstControlId = 1000;

std::vector<std::string> split(const std::string& s, char sep) {
    std::vector<std::string> out;
    if (s.empty()) return out;
    size_t start = 0;
    for (;;) {
        size_t end = s.find(sep, start);
        out.push_back(s.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return out;
}

// "min..max"; 0..100 when absent.
void parseRange(const std::string& s, int& lo, int& hi) {
    lo = 0;
    hi = 100;
    size_t dots = s.find("..");
    if (dots == std::string::npos) return;
    lo = std::atoi(s.substr(0, dots).c_str());
    hi = std::atoi(s.substr(dots + 2).c_str());
    if (hi < lo) hi = lo;
}

bool enabledUpTo(HWND h, HWND top) {
    for (; h && h != top; h = GetParent(h))
        if (!IsWindowEnabled(h)) return false;
    return true;
}

bool isInside(HWND outer, HWND h) { return h && outer && (h == outer || IsChild(outer, h)); }

bool isDroppedCombo(Control* c) {
    return (dynamic_cast<ComboBox*>(c) || dynamic_cast<ImageComboBox*>(c)) &&
           SendMessageA(c->handle(), CB_GETDROPPEDSTATE, 0, 0) != 0;
}

}  // namespace

Control* controlOf(HWND h) {
    for (; h; h = GetParent(h)) {
        if (auto* c = dynamic_cast<Control*>(Window::fromHandle(h))) return c;
        if (!(GetWindowLongA(h, GWL_STYLE) & WS_CHILD)) break;
    }
    return nullptr;
}

DialogForm::DialogForm(const FormSpec& spec) : spec_(spec), caption_(spec.caption ? spec.caption : "") {
    keyPreview = false;  // dialogKey gives the form its keys first
    color_ = kDialogFace;
}

DialogForm::~DialogForm() {
    if (hook_) Application::instance().removeMessageHook(hook_);
    hook_ = 0;
    destroy();
}

bool DialogForm::create() {
    if (created_) return handle() != nullptr;
    created_ = true;
    ensureCommonControls();
    units_ = DialogUnits::forDpi();
    unsigned f = spec_.flags;
    DWORD style = WS_POPUP | WS_CLIPCHILDREN;
    if (f & fsNoCaption)
        style |= WS_BORDER;
    else
        style |= WS_CAPTION | ((f & fsNoBorderIcons) ? 0 : WS_SYSMENU);
    if (f & fsSizeable) style |= WS_THICKFRAME;
    DWORD ex = WS_EX_CONTROLPARENT | ((f & fsSizeable) ? 0 : WS_EX_DLGMODALFRAME) |
               ((f & fsStayOnTop) ? WS_EX_TOPMOST : 0);
    RECT r{0, 0, units_.x(spec_.width), units_.y(spec_.height)};
    AdjustWindowRectEx(&r, style, FALSE, ex);
    Form* main = Application::instance().mainForm;
    HWND owner = main && main != this ? main->handle() : nullptr;
    if (!createForm("KvDialogForm", caption_, 0, 0, r.right - r.left, r.bottom - r.top, style, ex, owner))
        return false;
    if (f & fsSizeable) {
        minWidth = r.right - r.left;
        minHeight = r.bottom - r.top;
    }
    hook_ = Application::instance().addMessageHook([this](MSG& m) { return dialogKey(m); });

    int id = kFirstControlId;
    for (const ControlRow& row : rows_) {
        Control* parent = this;
        if (!row.parent.empty()) {
            parent = find(row.parent);
            if (!parent) throw std::logic_error("dialog container missing: " + row.parent);
        }
        RECT px = units_.toPixels(row.rect);
        Control* c = make(row, parent, px, id++);
        if (!c) throw std::logic_error("dialog control not made: " + row.name);
        if (!row.name.empty()) byName_[row.name] = c;
        RECT pc = parent->clientRect();
        made_.push_back({c, &row, px, {pc.right, pc.bottom}});
        if (row.flags & cfDisabled) c->setEnabled(false);
        if (row.flags & cfHidden) c->setVisible(false);
        if (auto* d = dynamic_cast<DialogControl*>(c); d && (row.flags & cfNoTabStop)) d->setTabStop(false);
        if (!row.hint.empty()) addHint(c, row.hint);
    }
    FormCreate();
    return true;
}

Control* DialogForm::make(const ControlRow& row, Control* parent, const RECT& px, int id) {
    int x = px.left, y = px.top, w = px.right - px.left, h = px.bottom - px.top;
    const std::string& cap = row.caption;
    unsigned fl = row.flags;
    const std::function<void()>& handler = row.handler;
    std::unique_ptr<Control> made;
    switch (row.kind) {
        case Ctl::Label: {
            auto c = std::make_unique<Label>(parent);
            c->setTransparent(true);
            c->create(x, y, w, h, cap);
            c->setSharedFont(dialogFont());
            c->setTextColor(kDialogText);
            c->setWordWrap((fl & cfWordWrap) != 0);
            if (fl & cfRight) c->setTextAlign(TextAlign::Right);
            if (fl & cfCenter) c->setTextAlign(TextAlign::Center);
            c->onClick = handler;
            made = std::move(c);
            break;
        }
        case Ctl::Button: {
            auto c = std::make_unique<Button>(parent);
            c->create(x, y, w, h, id, cap);
            c->isDefault = (fl & cfDefault) != 0;
            c->isCancel = (fl & cfCancel) != 0;
            if (fl & cfCancel) c->modalResult = IDCANCEL;
            if (fl & cfCloseOk) c->modalResult = IDOK;
            if (c->isDefault) default_ = c.get();
            if (c->isCancel) cancel_ = c.get();
            c->onClick = handler;
            made = std::move(c);
            break;
        }
        case Ctl::SpeedButton: {
            auto c = std::make_unique<SpeedButton>(parent);
            c->create(x, y, w, h, cap);
            c->onClick = handler;
            made = std::move(c);
            break;
        }
        case Ctl::Edit: {
            auto c = std::make_unique<Edit>(parent);
            c->create(x, y, w, h, id, cap, (fl & cfPassword) ? ES_PASSWORD : 0);
            c->setDigitsOnly((fl & cfDigits) != 0);
            if (fl & cfReadOnly) c->setReadOnly(true);
            c->onChange = handler;
            made = std::move(c);
            break;
        }
        case Ctl::Memo: {
            auto c = std::make_unique<Memo>(parent);
            c->create(x, y, w, h, id, cap);
            if (fl & cfReadOnly) c->setReadOnly(true);
            c->onChange = handler;
            made = std::move(c);
            break;
        }
        case Ctl::CheckBox:
        case Ctl::RadioButton: {
            std::unique_ptr<CheckBox> c;
            if (row.kind == Ctl::RadioButton)
                c = std::make_unique<RadioButton>(parent);
            else
                c = std::make_unique<CheckBox>(parent);
            c->create(x, y, w, h, id, cap);
            if (fl & cfChecked) {
                if (auto* r = dynamic_cast<RadioButton*>(c.get()))
                    r->setChecked(true);
                else
                    c->setChecked(true);
            }
            c->onClick = handler;
            made = std::move(c);
            break;
        }
        case Ctl::RadioGroup: {
            auto c = std::make_unique<RadioGroup>(parent);
            std::vector<std::string> parts = split(cap, '|');
            c->create(x, y, w, h, id, parts.empty() ? std::string() : parts[0]);
            if (!parts.empty()) parts.erase(parts.begin());
            c->setItems(parts);
            c->onClick = handler;
            made = std::move(c);
            break;
        }
        case Ctl::ComboList:
        case Ctl::ComboEdit: {
            auto c = std::make_unique<ComboBox>(parent);
            c->create(x, y, w, h, id, row.kind == Ctl::ComboEdit);
            c->setItems(split(cap, '|'));
            c->onChange = handler;
            made = std::move(c);
            break;
        }
        case Ctl::ImageCombo: {
            auto c = std::make_unique<ImageComboBox>(parent);
            c->create(x, y, w, h, id);
            c->onChange = handler;
            made = std::move(c);
            break;
        }
        case Ctl::GroupBox: {
            auto c = std::make_unique<GroupBox>(parent);
            c->create(x, y, w, h, cap);
            made = std::move(c);
            break;
        }
        case Ctl::Panel: {
            auto c = std::make_unique<DialogPanel>(parent);
            Bevel b = (fl & cfLowered) ? Bevel::Lowered : (fl & cfRaised) ? Bevel::Raised : Bevel::None;
            c->create(x, y, w, h, cap, b);
            if (fl & cfRight) c->setTextAlign(TextAlign::Right);
            if (fl & cfCenter) c->setTextAlign(TextAlign::Center);
            c->onClick = handler;
            made = std::move(c);
            break;
        }
        case Ctl::SpinEdit: {
            int lo, hi;
            parseRange(cap, lo, hi);
            auto c = std::make_unique<SpinEdit>(parent);
            c->create(x, y, w, h, id, lo, hi, lo);
            c->onChange = handler;
            made = std::move(c);
            break;
        }
        case Ctl::TrackBar: {
            int lo, hi;
            parseRange(cap, lo, hi);
            auto c = std::make_unique<TrackBar>(parent);
            c->create(x, y, w, h, id, lo, hi, (fl & cfVertical) != 0);
            c->onChange = handler;
            made = std::move(c);
            break;
        }
        case Ctl::ProgressBar: {
            int lo, hi;
            parseRange(cap, lo, hi);
            auto c = std::make_unique<ProgressBar>(parent);
            c->create(x, y, w, h, id, lo, hi);
            made = std::move(c);
            break;
        }
        case Ctl::PageControl: {
            auto c = std::make_unique<PageControl>(parent);
            c->create(x, y, w, h, id);
            c->onChange = handler;
            made = std::move(c);
            break;
        }
        case Ctl::TabSheet: {
            auto* pc = dynamic_cast<PageControl*>(parent);
            if (!pc) throw std::logic_error("tab sheet outside a page control: " + row.name);
            TabSheet* sheet = pc->addPage(cap);
            sheet->onClick = handler;
            return sheet;
        }
        case Ctl::ReportList: {
            auto c = std::make_unique<ReportList>(parent);
            c->create(x, y, w, h, id, (fl & cfCheckBoxes) != 0, (fl & cfEditLabels) != 0);
            for (const std::string& col : split(cap, '|')) {
                size_t colon = col.rfind(':');
                int width = colon == std::string::npos ? 50 : std::atoi(col.c_str() + colon + 1);
                c->addColumn(col.substr(0, colon), units_.x(width));
            }
            c->onChange = handler;
            made = std::move(c);
            break;
        }
        case Ctl::DrawList: {
            auto c = std::make_unique<DrawListBox>(parent);
            c->create(x, y, w, h, id);
            c->onChange = handler;
            made = std::move(c);
            break;
        }
    }
    Control* c = made.get();
    owned_.push_back(std::move(made));
    return c;
}

int DialogForm::ShowModal() {
    if (!create()) return IDCANCEL;
    if (!(spec_.flags & fsNoCentre)) centre();
    return showModal();
}

void DialogForm::showModeless() {
    if (!create()) return;
    if (!(spec_.flags & fsNoCentre)) centre();
    show();
}

void DialogForm::centre() {
    if (!handle()) return;
    RECT me;
    GetWindowRect(handle(), &me);
    int w = me.right - me.left, h = me.bottom - me.top;
    Form* main = Application::instance().mainForm;
    HWND mh = main && main != this ? main->handle() : nullptr;
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    GetMonitorInfoA(MonitorFromWindow(mh ? mh : handle(), MONITOR_DEFAULTTOPRIMARY), &mi);
    RECT area = mi.rcWork;
    if (mh && IsWindowVisible(mh) && !IsIconic(mh)) GetWindowRect(mh, &area);
    int x = area.left + (area.right - area.left - w) / 2;
    int y = area.top + (area.bottom - area.top - h) / 2;
    // Keep the whole dialog on the work area.
    if (x + w > mi.rcWork.right) x = mi.rcWork.right - w;
    if (y + h > mi.rcWork.bottom) y = mi.rcWork.bottom - h;
    if (x < mi.rcWork.left) x = mi.rcWork.left;
    if (y < mi.rcWork.top) y = mi.rcWork.top;
    SetWindowPos(handle(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Control* DialogForm::find(const std::string& name) const {
    auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : it->second;
}

std::vector<Control*> DialogForm::tabOrder() const {
    std::vector<Control*> candidates;
    for (const Made& m : made_) {
        if (auto* g = dynamic_cast<RadioGroup*>(m.control)) {
            for (int i = 0; i < g->count(); ++i) candidates.push_back(g->button(i));
        } else {
            candidates.push_back(m.control);
        }
    }
    std::vector<Control*> out;
    for (Control* c : candidates) {
        HWND h = c->handle();
        if (!h || !(GetWindowLongA(h, GWL_STYLE) & WS_TABSTOP)) continue;
        if (!IsWindowVisible(h) || !enabledUpTo(h, handle())) continue;
        if (auto* r = dynamic_cast<RadioButton*>(c)) {
            // One stop per radio group: the checked button, or the first.
            RadioButton* stop = nullptr;
            for (RadioButton* s : r->group()) {
                if (!s->handle() || !IsWindowVisible(s->handle()) || !IsWindowEnabled(s->handle())) continue;
                if (!stop) stop = s;
                if (s->checked()) {
                    stop = s;
                    break;
                }
            }
            if (stop != r) continue;
        }
        out.push_back(c);
    }
    return out;
}

void DialogForm::selectNext(bool forward) {
    std::vector<Control*> order = tabOrder();
    if (order.empty()) return;
    HWND focus = GetFocus();
    int n = static_cast<int>(order.size()), at = -1;
    // The innermost stop holding the focus (a page control holds its pages' controls).
    for (HWND h = focus; h && h != handle() && at < 0; h = GetParent(h))
        for (int i = 0; i < n && at < 0; ++i)
            if (order[static_cast<size_t>(i)]->handle() == h) at = i;
    if (at < 0) {
        // Focus on a radio button that is not its group's stop.
        if (auto* r = dynamic_cast<RadioButton*>(controlOf(focus))) {
            for (int i = 0; i < n && at < 0; ++i) {
                auto* o = dynamic_cast<RadioButton*>(order[static_cast<size_t>(i)]);
                if (o && o->parentControl() == r->parentControl()) at = i;
            }
        }
    }
    int next = at < 0 ? (forward ? 0 : n - 1) : ((forward ? at + 1 : at - 1) % n + n) % n;
    Control* c = order[static_cast<size_t>(next)];
    SetFocus(c->handle());
    if (auto* e = dynamic_cast<Edit*>(c); e && !dynamic_cast<Memo*>(c)) e->selectAll();
}

Control* DialogForm::activeControl() const {
    HWND f = GetFocus();
    if (!isInside(handle(), f) || f == handle()) f = lastFocus_;
    if (!f || !IsWindow(f) || !IsChild(handle(), f)) return nullptr;
    return controlOf(f);
}

void DialogForm::setActiveControl(Control* c) {
    if (!c || !c->handle()) return;
    lastFocus_ = c->handle();
    if (handle() && IsWindowVisible(handle()) && GetActiveWindow() == handle()) SetFocus(c->handle());
}

bool DialogForm::moveRadio(Control* focus, bool forward) {
    auto* r = dynamic_cast<RadioButton*>(focus);
    if (!r) return false;
    std::vector<RadioButton*> g = r->group();
    int n = static_cast<int>(g.size()), at = 0;
    for (int i = 0; i < n; ++i)
        if (g[static_cast<size_t>(i)] == r) at = i;
    for (int step = 1; step < n; ++step) {
        RadioButton* next = g[static_cast<size_t>(((forward ? at + step : at - step) % n + n) % n)];
        if (next->handle() && IsWindowVisible(next->handle()) && IsWindowEnabled(next->handle())) {
            SetFocus(next->handle());
            next->click();
            return true;
        }
    }
    return true;
}

bool DialogForm::dialogKey(const MSG& m) {
    bool down = m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN;
    bool up = m.message == WM_KEYUP || m.message == WM_SYSKEYUP;
    if ((!down && !up) || !handle() || !isInside(handle(), m.hwnd)) return false;
    if (!IsWindowEnabled(handle())) return false;  // a modal form of its own is open
    WORD key = static_cast<WORD>(m.wParam);
    ShiftState shift = ShiftState::current();
    if (up) {
        FormKeyUp(key, shift);
        return key == 0;
    }
    FormKeyDown(key, shift);
    if (key == 0) return true;
    if (m.message == WM_SYSKEYDOWN) return false;
    Control* c = controlOf(m.hwnd);
    // In-place editors of a list view keep Enter and Esc for themselves.
    if (dynamic_cast<ReportList*>(c) && m.hwnd != c->handle()) return false;
    switch (key) {
        case VK_TAB: {
            if (shift.ctrl) {
                PageControl* pc = nullptr;
                for (Control* p = c; p && !pc; p = p->parentControl()) pc = dynamic_cast<PageControl*>(p);
                for (const Made& md : made_)
                    if (!pc) pc = dynamic_cast<PageControl*>(md.control);
                if (!pc) return false;
                pc->selectNextPage(!shift.shift);
                return true;
            }
            if (auto* memo = dynamic_cast<Memo*>(c); memo && memo->wantTabs) return false;
            selectNext(!shift.shift);
            return true;
        }
        case VK_RETURN: {
            if (auto* memo = dynamic_cast<Memo*>(c); memo && memo->wantReturns) return false;
            if (isDroppedCombo(c)) return false;
            if (auto* b = dynamic_cast<Button*>(c)) {
                b->click();
                return true;
            }
            if (default_ && IsWindowVisible(default_->handle()) && IsWindowEnabled(default_->handle())) {
                default_->click();
                return true;
            }
            return false;
        }
        case VK_ESCAPE: {
            if (isDroppedCombo(c)) return false;
            if (cancel_ && IsWindowVisible(cancel_->handle()) && IsWindowEnabled(cancel_->handle())) {
                cancel_->click();
            } else if (isModal()) {
                setModalResult(IDCANCEL);
            } else {
                close();
            }
            return true;
        }
        case VK_UP:
        case VK_LEFT:
        case VK_DOWN:
        case VK_RIGHT:
            return moveRadio(c, key == VK_DOWN || key == VK_RIGHT);
        default:
            return false;
    }
}

void DialogForm::applyAnchors() {
    for (const Made& m : made_) {
        unsigned f = m.row->flags;
        if (m.row->kind == Ctl::TabSheet || !(f & (cfStretchX | cfStretchY | cfMoveX | cfMoveY))) continue;
        Control* parent = m.control->parentControl();
        if (!parent) continue;
        RECT pc = parent->clientRect();
        int dx = pc.right - m.parentClient.cx, dy = pc.bottom - m.parentClient.cy;
        RECT r = m.px;
        if (f & cfMoveX) OffsetRect(&r, dx, 0);
        if (f & cfMoveY) OffsetRect(&r, 0, dy);
        if (f & cfStretchX) r.right += dx;
        if (f & cfStretchY) r.bottom += dy;
        m.control->setBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
    }
}

void DialogForm::addHint(Control* c, const std::string& text) {
    c->hint = text;
    if (!tooltip_) {
        tooltip_.reset(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                       WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                                       CW_USEDEFAULT, CW_USEDEFAULT, handle(), nullptr,
                                       GetModuleHandleA(nullptr), nullptr));
    }
    if (!tooltip_ || !c->handle()) return;
    TTTOOLINFOA ti{};
    ti.cbSize = sizeof(ti);
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = handle();
    ti.uId = reinterpret_cast<UINT_PTR>(c->handle());
    ti.lpszText = const_cast<char*>(c->hint.c_str());
    SendMessageA(tooltip_.get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

LRESULT DialogForm::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ACTIVATE:
            if (LOWORD(wp) == WA_INACTIVE) {
                HWND f = GetFocus();
                if (isInside(handle(), f) && f != handle()) lastFocus_ = f;
            }
            break;
        case WM_SETFOCUS: {
            HWND target = lastFocus_ && IsWindow(lastFocus_) && IsChild(handle(), lastFocus_) &&
                                  IsWindowVisible(lastFocus_) && IsWindowEnabled(lastFocus_)
                              ? lastFocus_
                              : nullptr;
            if (!target) {
                std::vector<Control*> order = tabOrder();
                if (!order.empty()) target = order.front()->handle();
            }
            if (target) {
                SetFocus(target);
                if (auto* e = dynamic_cast<Edit*>(controlOf(target));
                    e && !dynamic_cast<Memo*>(e) && !lastFocus_)
                    e->selectAll();
                lastFocus_ = target;
            }
            return 0;
        }
        case WM_SIZE: {
            LRESULT r = Form::handleMessage(msg, wp, lp);
            applyAnchors();
            return r;
        }
        case WM_CLOSE:
            if (freeOnClose_ && !isModal()) {
                if (FormCloseQuery()) release();  // frees the object: nothing may follow
                return 0;
            }
            break;
        default:
            break;
    }
    return Form::handleMessage(msg, wp, lp);
}

void DialogForm::onHandleDestroyed() {
    Form::onHandleDestroyed();
    if (hook_) Application::instance().removeMessageHook(hook_);
    hook_ = 0;
    if (freeOnClose_) delete this;
}

}  // namespace kv
