#include "favorites/FavoriteMenu.h"

#include "playlist/LibraryMenus.h"
#include "ui/Menu.h"

namespace kv {

namespace {
constexpr int kFirstEntry = kFavoriteMenuFixed + 1;  // after the separator
}

void AppendFavoriteMenuEntry(MenuItem& menu, const std::string& name, bool isNew,
                             const std::function<void(MenuItem&)>& onClick) {
    if (menu.count() < kFirstEntry) AddMenuItem(menu, menu.count(), -1, nullptr, "-");
    if (isNew) AddMenuItem(menu, menu.count(), -1, onClick, name);
}

void RemoveFavoriteMenuEntries(MenuItem& menu, const std::string& name) {
    for (int i = menu.count() - 1; i >= kFirstEntry; --i) {
        if (i >= menu.count() || menu.item(i)->caption() != name) continue;
        menu.remove(i);
        if (menu.count() == kFirstEntry) menu.remove(kFavoriteMenuFixed);  // the separator
    }
}

void RenameFavoriteMenuEntry(MenuItem& menu, const std::string& oldName, const std::string& newName) {
    for (int i = kFirstEntry; i < menu.count(); ++i) {
        if (menu.item(i)->caption() == oldName) {
            menu.item(i)->setCaption(newName);
            return;
        }
    }
}

}  // namespace kv
