// TNewPlayListForm: asks for the name of a new named playlist, saves the
// current list, and makes an empty list of that name current.
#pragma once

#include <string>

#include "ui/DialogForm.h"

namespace kv {

class TNewPlayListForm : public DialogForm {
public:
    TNewPlayListForm();
    void FormCreate() override;
    void bbtnOKClick();
    Edit* edtPlayListName = nullptr;
};

// The first free name of 新建播放列表, 新建播放列表1, 新建播放列表2, ...: no
// file of that name in `playListsPath` and not the current list's file.
std::string ProposeNewPlayListName(const std::string& playListsPath, const std::string& currentPlayListFile);

}  // namespace kv
