// TSearchDirectoryForm: the progress window of a folder search. It adds
// every ".swf" and ".exe" file under a folder (the folder's own files before
// those of its sub-folders) to the current list or to the open edit-list
// window, shows the last file found and the count, and keeps the message
// loop running; Cancel stops the whole search at once.
#pragma once

#include <string>

#include "playlist/PlayListDialogs.h"
#include "ui/DialogForm.h"

namespace kv {

class TSearchDirectoryForm : public DialogForm {
public:
    TSearchDirectoryForm(const std::string& folder, bool recursive, SearchTarget target);
    void FormCreate() override;
    void btnCancelClick();

    // Runs the search (started by the window itself once it is shown); true
    // when it ran to its end, false when cancelled.
    bool AddDirectoryToComponent(const std::string& folder, bool recursive, SearchTarget target);

    int FileNum() const { return fileNum_; }
    bool cancelRequested() const { return cancel_; }

    Label* lblCurrentFile = nullptr;
    Label* lblFileNum = nullptr;
    // Called after each file added (tests cancel from here); none by default.
    std::function<void(int found)> onFileFound;

protected:
    // While searching, closing (Cancel, Esc) only asks the search to stop;
    // the window closes itself when the search has returned.
    bool FormCloseQuery() override;
    LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    friend class SearchVisitor;
    void showProgress(const std::string& lastFile);
    std::string folder_;
    bool recursive_;
    SearchTarget target_;
    int fileNum_ = 0;
    bool cancel_ = false;
    bool started_ = false;
    bool searching_ = false;
};

}  // namespace kv
