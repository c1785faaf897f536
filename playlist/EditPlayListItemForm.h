// TEditPlayListItemForm: new title and file for the item selected in the
// playlist window.
#pragma once

#include "ui/DialogForm.h"

namespace kv {

class TEditPlayListItemForm : public DialogForm {
public:
    TEditPlayListItemForm();
    // Fills the old and the new fields with the selected item.
    void FormCreate() override;
    void sbBrowseClick();
    void bbtnOKClick();

    DialogPanel* pnlTitle = nullptr;
    DialogPanel* pnlFileName = nullptr;
    Edit* edtTitle = nullptr;
    Edit* edtFileName = nullptr;
};

}  // namespace kv
