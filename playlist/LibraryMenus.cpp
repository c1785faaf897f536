#include "playlist/LibraryMenus.h"

#include <exception>
#include <vector>

#include "app/AppState.h"
#include "app/MainForm.h"
#include "app/MenuTables.h"
#include "app/Seams.h"
#include "favorites/FavoriteCommands.h"
#include "options/FunctionUnit.h"
#include "platform/AnsiText.h"
#include "playlist/LibraryScan.h"
#include "playlist/PlayListForm.h"
#include "playlist/PlayListReport.h"
#include "ui/Menu.h"

namespace kv {

bool PlayListMenusRebuilding = false;

namespace {

MenuItem* PlayListMenu() {
    return MainForm && MainForm->MainMenu1 ? MainForm->MainMenu1->find("mmiPlayList") : nullptr;
}
MenuItem* SendToMenu() {
    return PlayListForm && PlayListForm->pmPlayList ? &PlayListForm->pmiSendTo() : nullptr;
}

void SendToClick(MenuItem& sender) {
    if (PlayListForm) PlayListForm->SendPlayListItemToPlayList(sender);
}

std::string DefaultPlayListFile() { return ProgramPath + "Korvamelden.fpl"; }

// Saves the current list, makes the named list current and shows its name.
// False (the failure shown) when the current list could not be saved.
bool SwitchToNamedList(const std::string& name) {
    if (!RunUserListCommand([] { SavePlayList(CurrentPlayListFile); })) return false;
    CurrentPlayListFile = PlayListsPath + name + ".fpl";
    if (PlayListForm) PlayListForm->ReadPlayList(CurrentPlayListFile);
    if (MainForm) MainForm->lblPlayListName.setText(name);
    return true;
}

}  // namespace

MenuItem* AddMenuItem(MenuItem& parent, int position, int /*imageIndex*/, MenuClick onClick,
                      const std::string& caption) {
    MenuItem* m = parent.insert(position, "", caption, mfRadio | mfNoPrefix, kDynamicItemGroup);
    if (onClick) m->onClick = [m, onClick] { onClick(*m); };
    return m;
}

void BuildPlayListMenus() {
    std::vector<std::string> found;
    SearchFilesByExt(PlayListsPath, true, {".fpl"}, found);
    if (MainForm) {
        MainForm->lblPlayListName.setText(AnsiLowerAscii(CurrentPlayListFile) ==
                                                  AnsiLowerAscii(DefaultPlayListFile())
                                              ? "正在播放"
                                              : ExtractFileTitle(CurrentPlayListFile));
    }
    MenuItem* menu = PlayListMenu();
    MenuItem* sendTo = SendToMenu();
    int P = menu ? menu->count() : 0;
    if (!found.empty()) {
        if (menu) AddMenuItem(*menu, P, -1, nullptr, "-");
        if (sendTo) AddMenuItem(*sendTo, sendTo->count(), -1, nullptr, "-");
    } else {
        --P;
    }
    int S = -1;
    const std::string current = AnsiLowerAscii(CurrentPlayListFile);
    for (const std::string& file : found) {
        std::string name = ExtractFileTitle(file);
        if (name == "-") continue;
        if (MainForm) MainForm->cboPlayList.add(name, 0);
        ++P;
        ++S;
        MenuItem* entry = menu ? AddMenuItem(*menu, P, -1, LoadPlayListByClickMenuItem, name) : nullptr;
        if (sendTo) AddMenuItem(*sendTo, S + 2, -1, SendToClick, name);
        if (entry && AnsiLowerAscii(file) == current) entry->setDefault(true);
    }
}

void RebuildPlayListMenus() {
    PlayListMenusRebuilding = true;
    try {
        if (MenuItem* menu = PlayListMenu())
            while (menu->count() > kPlayListMenuFixed) menu->remove(menu->count() - 1);
        if (MenuItem* sendTo = SendToMenu())
            while (sendTo->count() > kSendToMenuFixed) sendTo->remove(sendTo->count() - 1);
        if (MainForm) MainForm->cboPlayList.clear();
        BuildPlayListMenus();
    } catch (const std::exception&) {
        // The views may stay incomplete until the next start.
    }
    PlayListMenusRebuilding = false;
}

void BuildFavoriteMenu() {
    MenuItem* menu = FavoriteMenu();
    if (!menu) return;
    std::vector<std::string> found;
    SearchFilesByExt(FavoritePath, true, {".ffv"}, found);
    int P = menu->count();
    if (!found.empty())
        AddMenuItem(*menu, P, -1, nullptr, "-");
    else
        --P;
    for (const std::string& file : found)
        AddMenuItem(*menu, ++P, -1, PlayFavoriteItemByClickMenuItem, ExtractFileTitle(file));
}

void LoadPlayListByClickMenuItem(MenuItem& sender) {
    const std::string name = sender.caption();
    if (SwitchToNamedList(name)) sender.setDefault(true);
}

void cboPlayListChange() {
    if (PlayListMenusRebuilding || !MainForm) return;
    PlayListSelector& cbo = MainForm->cboPlayList;
    int i = cbo.itemIndex();
    if (i < 0 || i >= cbo.count()) return;
    const std::string name = cbo.caption(i);
    cbo.setComboEnabled(false);
    if (!SwitchToNamedList(name)) return;
    MarkCurrentPlayListEntry(name, true);
}

void MarkCurrentPlayListEntry(const std::string& name, bool mark) {
    MenuItem* menu = PlayListMenu();
    if (!menu) return;
    bool marked = false;
    for (int i = kPlayListMenuFixed + 1; i < menu->count(); ++i) {
        MenuItem* e = menu->item(i);
        if (mark && !marked && e->caption() == name) {
            e->setDefault(true);
            marked = true;
        } else if (e->isDefault()) {
            e->setDefault(false);
        }
    }
}

void AddPlayListToLibraryViews(const std::string& name) {
    if (MenuItem* menu = PlayListMenu()) {
        if (menu->count() < kPlayListMenuFixed + 1) AddMenuItem(*menu, menu->count(), -1, nullptr, "-");
        AddMenuItem(*menu, menu->count(), -1, LoadPlayListByClickMenuItem, name)->setDefault(true);
    }
    if (MenuItem* sendTo = SendToMenu()) {
        if (sendTo->count() < kSendToMenuFixed + 1) AddMenuItem(*sendTo, sendTo->count(), -1, nullptr, "-");
        AddMenuItem(*sendTo, sendTo->count(), -1, SendToClick, name);
    }
    if (MainForm) MainForm->cboPlayList.add(name, 0);
}

void InstallLibraryMenus() {
    Seams.buildPlayListMenus = BuildPlayListMenus;
    Seams.buildFavoriteMenu = BuildFavoriteMenu;
    if (!MainForm) return;
    MainForm->cboPlayList.onChange = cboPlayListChange;
    MainForm->bar.onPlayListDropDown = [] {
        if (MainForm) MainForm->cboPlayList.dropDown();
    };
}

}  // namespace kv
