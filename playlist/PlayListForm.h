// TPlayListForm: the playlist window docked into the main window's right-hand
// pane: the information pane on top, the list of the current playlist below,
// the popup menu of list commands, keys and dropped files.
#pragma once

#include <windows.h>
// (after windows.h)
#include <shellapi.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "playlist/PlayListBox.h"
#include "playlist/PlayListFile.h"
#include "ui/Form.h"
#include "ui/Menu.h"
#include "ui/NativeControls.h"
#include "ui/Splitter.h"

namespace kv {

class TPlayListForm : public Form, public PlayListView {
public:
    TPlayListForm();
    ~TPlayListForm() override;
    // Creates the window and reads the current list into it.
    bool create();

    Panel pnlFlashInfo{this};
    ListView lvFlashInfo{&pnlFlashInfo};
    Splitter sptFlashInfo{this};
    Panel pnlPlayList{this};
    PlayListBox lstPlayList{&pnlPlayList};
    std::unique_ptr<Menu> pmPlayList;
    std::unique_ptr<Menu> pmFlashInfo;  // pmShowFlashInfo
    MenuItem& item(const std::string& name) { return (*pmPlayList)[name]; }
    // The "发送到" submenu that the library menus fill.
    MenuItem& pmiSendTo() { return item("pmiSendTo"); }

    // The current list and its files.
    void ReadPlayList(const std::string& fileName);
    void SavePlayList(const std::string& fileName);
    // Appends an item to the current list.
    void AddItem(const std::string& path, const std::string& title);
    // Makes a ".fpl" file the current list, as the load command does.
    void LoadPlayListFile(const std::string& path);
    // Shows the items of the current list again (after the lists changed behind it).
    void RefreshItems();
    // 0-based selected position, -1 when none (or it lies past the list).
    int SelectedItem() const;

    // Popup menu commands.
    void pmiOpenFilesClick();
    void pmiOpenURLClick();
    void pmiOpenDirectoryClick();
    void pmiNewPlayListClick();
    void pmiLoadPlayListClick();
    void pmiSavePlayListClick();
    void pmiEditPlayListClick();
    void pmiClearPlayListClick();
    void pmiRenamePlayListClick();
    void pmiDeletePlayListClick();
    void pmiFileMoveUpClick();
    void pmiFileMoveDownClick();
    void pmiFilePropertyClick();
    void pmiEditPlayListItemClick();
    void pmiSendToFavoriteClick();
    void SendPlayListItemToPlayList(const MenuItem& sender);
    void pmiSaveAsClick();
    void pmiDeleteFromPlayListClick();
    void pmiDeleteFromComputerClick();
    // Shows the items that need a selection only while one is selected.
    void pmPlayListPopup();
    // Opens the popup menu at a screen position.
    void popupListMenu(int x, int y);

    // Other events.
    void lstPlayListDblClick();
    void lstPlayListKeyDown(WORD& key);
    void lstPlayListDrawItem(int index, const RECT& rect, bool selected, HDC dc);
    void WMDropFiles(HDROP drop);
    // Adds dropped paths: movies by extension; folders and other files are skipped.
    void AddDroppedFiles(const std::vector<std::string>& paths);

    void pmiShowFlashInfoClick();
    void setShowFlashInfoMark(bool checked);
    void applyListFont();

    // PlayListView.
    void stopPlayback() override;
    void clearItems() override;
    void addItem(const std::string& title) override;
    int selectedIndex() const override;
    void beginUpdate() override;
    void endUpdate() override;

protected:
    void FormDestroy() override;
    void FormKeyDown(WORD& key, ShiftState shift) override;
    void FormKeyUp(WORD& key, ShiftState shift) override;
    bool handleFormMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void createMenus();
    void wireMainMenu();
    // Swaps entries a and b of the three lists and selects `select`.
    void swapItems(int a, int b, int select);
    int updating_ = 0;
    int pendingItems_ = 0;
};

extern TPlayListForm* PlayListForm;

// The open-URL dialog, installed by its own unit; nothing until then.
extern std::function<void()> ShowOpenURLDialog;

}  // namespace kv
