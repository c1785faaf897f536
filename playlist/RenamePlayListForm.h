// TRenamePlayListForm: gives the current named playlist a new name.
#pragma once

#include <string>

#include "ui/DialogForm.h"

namespace kv {

class TRenamePlayListForm : public DialogForm {
public:
    // currentName fills the name field.
    explicit TRenamePlayListForm(const std::string& currentName = "");
    void FormCreate() override;
    void btnOKClick();
    Edit* edtPlayListName = nullptr;

private:
    std::string currentName_;
};

}  // namespace kv
