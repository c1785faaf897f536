// TOpenURLForm "打开URL": the address or path of a movie, typed or picked
// from the history, becomes a new current item of the current list.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ui/DialogForm.h"
#include "ui/Handles.h"
#include "ui/MyImage.h"

namespace kv {

class TOpenURLForm : public DialogForm {
public:
    TOpenURLForm();
    ~TOpenURLForm() override;
    void FormCreate() override;
    void bbtnOKClick();
    void bbtnBrowseClick();

    ComboBox& cboFileName() const { return get<ComboBox>("cboFileName"); }
    // The history as it will be written when the dialog closes.
    const std::vector<std::string>& history() const { return history_; }

private:
    std::unique_ptr<MyImage> imgIcon_;
    UniqueBitmap icon_;
    std::vector<std::string> history_;
};

// Opens the dialog modally and writes its history back when it closes
// (also after Cancel); a settings file that cannot be written is reported.
void ShowOpenURLForm();

}  // namespace kv
