#include "favorites/FavoriteMenu.h"

#include "app/MenuTables.h"
#include "ui/Menu.h"

namespace kv {

namespace {
constexpr int kFirstEntry = kFavoriteMenuFixedCount + 1;  // after the separator
}

void AppendFavoriteMenuEntry(MenuItem& menu, const std::string& name, bool isNew,
                             const std::function<void(const MenuItem&)>& onClick) {
    if (menu.count() < kFirstEntry) menu.add("", "-", mfRadio, kDynamicItemGroup);
    if (!isNew) return;
    MenuItem* m = menu.add("", name, mfRadio, kDynamicItemGroup);
    m->onClick = [m, onClick] {
        if (onClick) onClick(*m);
    };
}

void RemoveFavoriteMenuEntries(MenuItem& menu, const std::string& name) {
    for (int i = menu.count() - 1; i >= kFirstEntry; --i) {
        if (i >= menu.count() || menu.item(i)->caption() != name) continue;
        menu.remove(i);
        if (menu.count() == kFirstEntry) menu.remove(kFavoriteMenuFixedCount);  // the separator
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
