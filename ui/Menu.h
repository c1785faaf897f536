// Main and popup menus built from tables, with check, radio and default
// marks, captions and click handlers; items may be added at run time.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kv {

enum MenuFlag : unsigned {
    mfChecked = 1,
    mfRadio = 2,    // radio item: checking it clears the others of its group
    mfDefault = 4,  // bold default item of its submenu
    mfHidden = 8,   // never shown (kept as an object only)
    mfDisabled = 16,
    mfNoPrefix = 32,  // the caption is shown as it is: "&" is no accelerator marker
};

// One row of a menu table; depth 0 are the top-level items. A caption "-" is a separator.
struct MenuSpec {
    int depth;
    const char* name;
    const char* caption;
    unsigned flags = 0;
    int group = 0;
    int tag = 0;
};

class MenuItem {
public:
    MenuItem() = default;
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;
    ~MenuItem();

    const std::string& name() const { return name_; }
    const std::string& caption() const { return caption_; }
    void setCaption(const std::string& c);
    bool checked() const { return checked_; }
    void setChecked(bool c);
    bool isDefault() const { return default_; }
    void setDefault(bool d);
    bool enabled() const { return enabled_; }
    void setEnabled(bool e);
    bool isSeparator() const { return caption_ == "-"; }
    // Hides or shows the item in its menu; a hidden item keeps its place and submenu.
    void setVisible(bool v);
    bool visible() const { return !hidden_; }
    bool radio() const { return radio_; }
    int group() const { return group_; }
    int tag = 0;
    UINT id() const { return id_; }
    MenuItem* parent() const { return parent_; }
    HMENU submenu() const { return submenu_; }

    std::function<void()> onClick;
    // Runs the click handler, as a click on the item would.
    void click();

    // Children (submenu items), in menu order.
    int count() const { return static_cast<int>(items_.size()); }
    MenuItem* item(int i) const { return items_.at(static_cast<size_t>(i)).get(); }
    int indexOf(const MenuItem* child) const;
    MenuItem* insert(int pos, const std::string& name, const std::string& caption, unsigned flags = 0,
                     int group = 0);
    MenuItem* add(const std::string& name, const std::string& caption, unsigned flags = 0, int group = 0) {
        return insert(count(), name, caption, flags, group);
    }
    void remove(int pos);
    void clear();
    MenuItem* find(const std::string& name);

    // The item behind a command id, or nullptr.
    static MenuItem* fromId(UINT id);

private:
    friend class Menu;
    void ensureSubmenu();
    void attach(HMENU parentMenu, int pos);
    void updateMarks();
    // The text handed to the system menu.
    std::string menuText() const;

    std::string name_, caption_;
    bool checked_ = false, radio_ = false, default_ = false, enabled_ = true, hidden_ = false,
         noPrefix_ = false;
    std::string menuText_;  // menuText() kept alive while the system menu copies it
    int group_ = 0;
    UINT id_ = 0;
    MenuItem* parent_ = nullptr;
    HMENU ownerMenu_ = nullptr;  // the HMENU that holds this item
    HMENU submenu_ = nullptr;
    bool ownsRootMenu_ = false;
    std::vector<std::unique_ptr<MenuItem>> items_;
};

class Menu {
public:
    // Builds a menu bar (bar = true) or a popup menu from a table.
    Menu(const MenuSpec* specs, size_t count, bool bar);
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    HMENU handle() const { return root_.submenu_; }
    MenuItem& root() { return root_; }
    // Item by component name; throws std::out_of_range for an unknown name.
    MenuItem& operator[](const std::string& name);
    MenuItem* find(const std::string& name) { return root_.find(name); }
    // Shows a popup menu at screen coordinates; the chosen item's handler runs.
    void popup(HWND owner, int x, int y);

    // Routes a WM_COMMAND id to its item; true when it was a menu item.
    static bool dispatchCommand(UINT id);

private:
    MenuItem root_;
};

}  // namespace kv
