#include "playlist/SearchDirectoryForm.h"

#include "app/AppState.h"
#include "options/FunctionUnit.h"
#include "playlist/DirectoryWalker.h"
#include "playlist/EditPlayListForm.h"
#include "playlist/PlayListForm.h"
#include "ui/Application.h"

namespace kv {

namespace {

constexpr UINT WM_STARTSEARCH = WM_APP + 40;
// The window repaints and answers Cancel at least this often (ms).
constexpr DWORD kPumpInterval = 30;

const ControlSpec<TSearchDirectoryForm> kControls[] = {
    {Ctl::GroupBox, "GroupBox1", "", nullptr, {5, 2, 200, 58}},
    {Ctl::Label, "Label1", "当前文件:", "GroupBox1", {6, 8, 60, 10}},
    {Ctl::Label, "lblCurrentFile", "", "GroupBox1", {6, 19, 188, 20}, cfWordWrap},
    {Ctl::Label, "Label2", "找到的文件数:", "GroupBox1", {6, 43, 56, 10}},
    {Ctl::Label, "lblFileNum", "0", "GroupBox1", {64, 43, 60, 10}},
    {Ctl::Button,
     "btnCancel",
     "取消",
     nullptr,
     {155, 64, 50, 14},
     cfCancel,
     nullptr,
     &TSearchDirectoryForm::btnCancelClick},
};

}  // namespace

class SearchVisitor : public WalkVisitor {
public:
    explicit SearchVisitor(TSearchDirectoryForm& form) : form_(form), last_(GetTickCount()) {}
    ~SearchVisitor() override { flush(); }

    bool proceed() override {
        if (GetTickCount() - last_ >= kPumpInterval) {
            // Items found so far reach the list, then the window may answer.
            flush();
            form_.showProgress(lastFile_);
            Application::instance().processMessages();
            last_ = GetTickCount();
        }
        return !form_.cancel_;
    }
    bool file(const std::string& path, std::size_t nameOffset) override {
        if (!HasExtension(path, nameOffset, kMovies)) return true;
        ++form_.fileNum_;
        lastFile_ = path;
        if (form_.target_ == SearchTarget::CurrentList) {
            if (PlayListForm) {
                if (!batching_) PlayListForm->beginUpdate();
                batching_ = true;
                PlayListForm->AddItem(path, ExtractFileTitle(path));
            }
        } else if (EditPlayListForm) {
            EditPlayListForm->AddRow(ExtractFileTitle(path), path);
        }
        if (form_.onFileFound) form_.onFileFound(form_.fileNum_);
        return true;
    }
    void flush() {
        if (batching_ && PlayListForm) PlayListForm->endUpdate();
        batching_ = false;
    }
    const std::string& lastFile() const { return lastFile_; }

private:
    inline static const std::vector<std::string> kMovies{".swf", ".exe"};
    TSearchDirectoryForm& form_;
    DWORD last_;
    bool batching_ = false;
    std::string lastFile_;
};

TSearchDirectoryForm::TSearchDirectoryForm(const std::string& folder, bool recursive, SearchTarget target)
    : DialogForm({"", 210, 82, fsNoCaption | fsNoBorderIcons | fsStayOnTop}),
      folder_(folder),
      recursive_(recursive),
      target_(target) {
    declare(kControls);
}

void TSearchDirectoryForm::FormCreate() {
    lblCurrentFile = &get<Label>("lblCurrentFile");
    lblFileNum = &get<Label>("lblFileNum");
}

LRESULT TSearchDirectoryForm::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SHOWWINDOW && wp && !started_) {
        started_ = true;
        PostMessageA(handle(), WM_STARTSEARCH, 0, 0);
    } else if (msg == WM_STARTSEARCH) {
        AddDirectoryToComponent(folder_, recursive_, target_);
        close();
        return 0;
    }
    return DialogForm::handleMessage(msg, wp, lp);
}

bool TSearchDirectoryForm::AddDirectoryToComponent(const std::string& folder, bool recursive,
                                                   SearchTarget target) {
    fileNum_ = 0;
    target_ = target;
    searching_ = true;
    bool done;
    {
        SearchVisitor visitor(*this);
        WalkOptions options;
        options.recursive = recursive;
        done = WalkFolder(EnsureTrailingBackslash(folder), visitor, options);
        visitor.flush();
        showProgress(visitor.lastFile());
    }
    cancel_ = false;
    searching_ = false;
    return done;
}

void TSearchDirectoryForm::showProgress(const std::string& lastFile) {
    if (lblCurrentFile) lblCurrentFile->setText(lastFile);
    if (lblFileNum) lblFileNum->setText(std::to_string(fileNum_));
}

void TSearchDirectoryForm::btnCancelClick() { cancel_ = true; }

bool TSearchDirectoryForm::FormCloseQuery() {
    if (!searching_) return true;
    cancel_ = true;
    return false;
}

}  // namespace kv
