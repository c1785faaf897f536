#include "ui/Menu.h"

#include <map>
#include <stdexcept>

namespace kv {

namespace {
std::map<UINT, MenuItem*>& idMap() {
    static std::map<UINT, MenuItem*> m;
    return m;
}
UINT nextId() {
    static UINT id = 1000;
    return ++id;
}
}  // namespace

MenuItem::~MenuItem() {
    items_.clear();
    if (id_) idMap().erase(id_);
    if (ownsRootMenu_ && submenu_) DestroyMenu(submenu_);
}

MenuItem* MenuItem::fromId(UINT id) {
    auto it = idMap().find(id);
    return it == idMap().end() ? nullptr : it->second;
}

void MenuItem::ensureSubmenu() {
    if (submenu_) return;
    submenu_ = CreatePopupMenu();
    if (ownerMenu_ && id_) {
        MENUITEMINFOA mi{};
        mi.cbSize = sizeof(mi);
        mi.fMask = MIIM_SUBMENU;
        mi.hSubMenu = submenu_;
        SetMenuItemInfoA(ownerMenu_, id_, FALSE, &mi);
    }
}

void MenuItem::attach(HMENU parentMenu, int pos) {
    ownerMenu_ = parentMenu;
    if (hidden_) return;
    MENUITEMINFOA mi{};
    mi.cbSize = sizeof(mi);
    if (isSeparator()) {
        mi.fMask = MIIM_FTYPE | MIIM_ID;
        mi.fType = MFT_SEPARATOR;
        mi.wID = id_;
    } else {
        mi.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_STATE | (submenu_ ? MIIM_SUBMENU : 0);
        mi.fType = MFT_STRING | (radio_ ? MFT_RADIOCHECK : 0);
        mi.wID = id_;
        menuText_ = menuText();
        mi.dwTypeData = const_cast<char*>(menuText_.c_str());
        mi.fState = (checked_ ? MFS_CHECKED : 0) | (default_ ? MFS_DEFAULT : 0) | (enabled_ ? 0 : MFS_GRAYED);
        mi.hSubMenu = submenu_;
    }
    InsertMenuItemA(parentMenu, static_cast<UINT>(pos), TRUE, &mi);
}

int MenuItem::indexOf(const MenuItem* child) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == child) return static_cast<int>(i);
    return -1;
}

MenuItem* MenuItem::insert(int pos, const std::string& name, const std::string& caption, unsigned flags,
                           int group) {
    if (pos < 0 || pos > count()) pos = count();
    ensureSubmenu();
    auto item = std::make_unique<MenuItem>();
    item->name_ = name;
    item->caption_ = caption;
    item->checked_ = (flags & mfChecked) != 0;
    item->radio_ = (flags & mfRadio) != 0;
    item->default_ = (flags & mfDefault) != 0;
    item->hidden_ = (flags & mfHidden) != 0;
    item->enabled_ = (flags & mfDisabled) == 0;
    item->noPrefix_ = (flags & mfNoPrefix) != 0;
    item->group_ = group;
    item->parent_ = this;
    item->id_ = nextId();
    idMap()[item->id_] = item.get();
    // Position among the items actually present in the HMENU (hidden ones are not).
    int menuPos = 0;
    for (int i = 0; i < pos; ++i)
        if (!items_[static_cast<size_t>(i)]->hidden_) ++menuPos;
    item->attach(submenu_, menuPos);
    MenuItem* raw = item.get();
    items_.insert(items_.begin() + pos, std::move(item));
    if (raw->default_) raw->setDefault(true);
    return raw;
}

void MenuItem::remove(int pos) {
    if (pos < 0 || pos >= count()) return;
    MenuItem* it = items_[static_cast<size_t>(pos)].get();
    if (!it->hidden_ && submenu_)
        DeleteMenu(submenu_, it->id_, MF_BYCOMMAND);  // destroys its submenu too
    else if (it->submenu_)
        DestroyMenu(it->submenu_);
    it->submenu_ = nullptr;
    items_.erase(items_.begin() + pos);
}

void MenuItem::clear() {
    while (count() > 0) remove(count() - 1);
}

MenuItem* MenuItem::find(const std::string& name) {
    for (auto& c : items_) {
        if (c->name_ == name) return c.get();
        if (MenuItem* f = c->find(name)) return f;
    }
    return nullptr;
}

void MenuItem::updateMarks() {
    if (!ownerMenu_ || hidden_ || isSeparator()) return;
    MENUITEMINFOA mi{};
    mi.cbSize = sizeof(mi);
    mi.fMask = MIIM_STATE;
    mi.fState = (checked_ ? MFS_CHECKED : 0) | (default_ ? MFS_DEFAULT : 0) | (enabled_ ? 0 : MFS_GRAYED);
    SetMenuItemInfoA(ownerMenu_, id_, FALSE, &mi);
}

void MenuItem::setCaption(const std::string& c) {
    caption_ = c;
    if (!ownerMenu_ || hidden_) return;
    MENUITEMINFOA mi{};
    mi.cbSize = sizeof(mi);
    mi.fMask = MIIM_STRING;
    menuText_ = menuText();
    mi.dwTypeData = const_cast<char*>(menuText_.c_str());
    SetMenuItemInfoA(ownerMenu_, id_, FALSE, &mi);
}

std::string MenuItem::menuText() const {
    if (!noPrefix_) return caption_;
    // "&" is a plain byte in GBK text (trail bytes start at 0x40), so doubling it
    // needs no character walk.
    std::string out;
    for (char c : caption_) {
        out += c;
        if (c == '&') out += '&';
    }
    return out;
}

void MenuItem::setVisible(bool v) {
    if (v == !hidden_) return;
    if (!v) {
        // RemoveMenu keeps the item's submenu alive for when it is shown again.
        if (ownerMenu_) RemoveMenu(ownerMenu_, id_, MF_BYCOMMAND);
        hidden_ = true;
        return;
    }
    hidden_ = false;
    if (!parent_ || !ownerMenu_) return;
    int menuPos = 0;
    for (const auto& s : parent_->items_) {
        if (s.get() == this) break;
        if (!s->hidden_) ++menuPos;
    }
    attach(ownerMenu_, menuPos);
}

void MenuItem::setChecked(bool c) {
    if (c && radio_ && parent_) {
        for (auto& s : parent_->items_) {
            if (s.get() != this && s->radio_ && s->group_ == group_ && s->checked_) {
                s->checked_ = false;
                s->updateMarks();
            }
        }
    }
    checked_ = c;
    updateMarks();
}

void MenuItem::setDefault(bool d) {
    if (d && parent_) {
        for (auto& s : parent_->items_) {
            if (s.get() != this && s->default_) {
                s->default_ = false;
                s->updateMarks();
            }
        }
    }
    default_ = d;
    updateMarks();
}

void MenuItem::setEnabled(bool e) {
    enabled_ = e;
    updateMarks();
}

void MenuItem::click() {
    if (enabled_ && onClick) onClick();
}

Menu::Menu(const MenuSpec* specs, size_t count, bool bar) {
    root_.submenu_ = bar ? CreateMenu() : CreatePopupMenu();
    root_.ownsRootMenu_ = true;
    std::vector<MenuItem*> stack{&root_};
    for (size_t i = 0; i < count; ++i) {
        const MenuSpec& s = specs[i];
        size_t depth = static_cast<size_t>(s.depth < 0 ? 0 : s.depth);
        if (depth + 1 > stack.size()) depth = stack.size() - 1;
        stack.resize(depth + 1);
        MenuItem* item =
            stack.back()->add(s.name ? s.name : "", s.caption ? s.caption : "-", s.flags, s.group);
        item->tag = s.tag;
        stack.push_back(item);
    }
}

MenuItem& Menu::operator[](const std::string& name) {
    MenuItem* m = root_.find(name);
    if (!m) throw std::out_of_range("no menu item " + name);
    return *m;
}

void Menu::popup(HWND owner, int x, int y) {
    SetForegroundWindow(owner);
    UINT id = static_cast<UINT>(
        TrackPopupMenu(handle(), TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, x, y, 0, owner, nullptr));
    PostMessageA(owner, WM_NULL, 0, 0);
    if (id) dispatchCommand(id);
}

bool Menu::dispatchCommand(UINT id) {
    MenuItem* m = MenuItem::fromId(id);
    if (!m) return false;
    m->click();
    return true;
}

}  // namespace kv
