// TAboutForm "关于": the program's icon, name and version, and "关闭".
#pragma once

#include <memory>

#include "ui/DialogForm.h"
#include "ui/Handles.h"
#include "ui/MyImage.h"

namespace kv {

class TAboutForm : public DialogForm {
public:
    TAboutForm();
    ~TAboutForm() override;
    void FormCreate() override;

private:
    std::unique_ptr<MyImage> imgIcon_;
    UniqueBitmap icon_;
};

void ShowAboutForm();

}  // namespace kv
