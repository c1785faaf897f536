// TEditPlayListForm: edits a copy of the current list in a table (order,
// titles, rows added and removed); OK replaces the current list with it.
// Modeless: the current list may change meanwhile, OK replaces it anyway.
#pragma once

#include <string>

#include "ui/DialogForm.h"

namespace kv {

class TEditPlayListForm : public DialogForm {
public:
    TEditPlayListForm();
    ~TEditPlayListForm() override;
    void FormCreate() override;

    void sbMoveupClick();
    void sbMoveDownClick();
    void sbDelClick();
    void bbtnOpenFilesClick();
    void bbtnOpenDirClick();
    void bbtnEditClick();
    void bbtnOKClick();
    // Appends a row (the directory search adds its finds this way).
    void AddRow(const std::string& title, const std::string& path);

    ReportList* lvFileList = nullptr;

private:
    void swapRows(int a, int b);
};

// The open edit-list window, or nullptr.
extern TEditPlayListForm* EditPlayListForm;

}  // namespace kv
