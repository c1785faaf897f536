// TPlayListForm: the playlist window docked into the main window's right-hand
// pane: the information pane on top, the list of the current playlist below.
#pragma once

#include <memory>
#include <string>

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
    ListBox lstPlayList{&pnlPlayList};
    std::unique_ptr<Menu> pmFlashInfo;

    // The current list and its files.
    void ReadPlayList(const std::string& fileName);
    void SavePlayList(const std::string& fileName);
    // Appends an item to the current list.
    void AddItem(const std::string& path, const std::string& title);
    // Makes a ".fpl" file the current list, as the load command does.
    void LoadPlayListFile(const std::string& path);
    // Shows the titles of the current list again.
    void RefreshItems();

    // Adds movies chosen in the open dialog to the current list.
    void pmiOpenFilesClick();
    void pmiShowFlashInfoClick();
    void setShowFlashInfoMark(bool checked);
    void applyListFont();

    // PlayListView.
    void stopPlayback() override;
    void clearItems() override;
    void addItem(const std::string& title) override;
    int selectedIndex() const override;

protected:
    void FormDestroy() override;
};

extern TPlayListForm* PlayListForm;

}  // namespace kv
