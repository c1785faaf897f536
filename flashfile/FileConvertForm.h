// The batch conversion window: the content of the main window's "格式转换"
// page. A list of source files with ticks, targets and states; a popup menu
// of list commands; a run that converts the ticked rows in order and can play
// the results and delete the sources afterwards. The rows and the run itself
// live in ConvertList; this class shows them and keeps the settings of
// section "FileConvert" in step.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "flashfile/ConvertList.h"
#include "options/ConvertWindowLink.h"
#include "ui/DialogForm.h"
#include "ui/Menu.h"

namespace kv {

class TFileConvertForm : public DialogForm {
public:
    TFileConvertForm();
    ~TFileConvertForm() override;
    void FormCreate() override;
    void FormResize() override;
    void FormDestroy() override;

    void sbBeginConvertClick();
    void pmiExe2SwfClick();
    void pmiSwf2ExeClick();
    void pmiAddFilesClick();
    void pmiAddDirectoryClick();
    void pmiSelectAllClick();
    void pmiSelectNoneClick();
    void pmiReverseSelectClick();
    void pmiDeleteSelectedItemsClick();
    void pmiDeleteUnSelectedItemsClick();
    void pmiDeleteAllClick();
    void pmiMoveUpClick();
    void pmiMoveDownClick();
    void pmiChangeOutputDirectoryClick();
    void pmiPlayConvertedFilesClick();
    void pmiDeleteConvertedFilesClick();

    // Adds a source file as "添加文件..." does (Flash files only).
    void AddSourceFile(const std::string& path);
    // Scans a folder and its subfolders as "添加目录..." does.
    void AddDirectory(const std::string& folder);

    ReportList& lvConvertFileList() const { return get<ReportList>("lvConvertFileList"); }
    ProgressBar& prbConvertProgress() const { return get<ProgressBar>("prbConvertProgress"); }
    DialogPanel& pnlConvertProgress() const { return get<DialogPanel>("pnlConvertProgress"); }
    Menu& PopupMenu1() { return *popup_; }
    const ConvertList& rows() const { return list_; }
    bool busy() const { return busy_; }

    // Progress steps per ticked row (the bar moves within a file).
    static constexpr int kStepsPerRow = 1000;
    // The title panel's colours (Windows BGR values) and the line along its bottom.
    static constexpr COLORREF kTitleColor = 11758134;
    static constexpr COLORREF kTitleTextColor = RGB(255, 255, 255);
    static constexpr COLORREF kTitleLineColor = 15830905;
    static constexpr int kTitleLineHeight = 3;
    Panel& titleLine() const { return *titleLine_; }

protected:
    bool handleFormMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void setMode(int mode);
    void showRow(std::size_t row);
    void showRows();
    void readTicks();
    void applyOptions(int mode, bool deleteConverted, bool playConverted);
    bool confirm(const char* question);
    void setBusy(bool busy);
    std::string outputFolder() const;
    // True once the program is ending or the window is gone: runs and scans stop.
    bool closing() const;

    ConvertList list_;
    std::unique_ptr<Menu> popup_;
    std::unique_ptr<Panel> titleLine_;
    ConvertWindowLink link_;
    bool busy_ = false;
};

// Set while the window exists (created on the first showing of its page).
extern bool FileConvertFormExists;
extern TFileConvertForm* FileConvertForm;

// Plays the converted targets (given last row first) from the default list;
// installed by the main window.
extern std::function<void(const std::vector<std::string>& targets)> PlayConvertedFiles;

}  // namespace kv
