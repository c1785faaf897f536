// TShowFlashFilePropertyForm: the facts of one movie file ("常规": type,
// place, size; "信息": version, frames, rate, play time, stage size) in a
// white window closed by a skinned "关闭".
#pragma once

#include <memory>
#include <string>

#include "flashfile/FlashFileAttr.h"
#include "ui/DialogForm.h"
#include "ui/Handles.h"
#include "ui/MyImage.h"
#include "ui/NativeControls.h"

namespace kv {

class TShowFlashFilePropertyForm : public DialogForm {
public:
    TShowFlashFilePropertyForm();
    ~TShowFlashFilePropertyForm() override;
    void FormCreate() override;

    // Fills the window for the movie at path with its header attributes.
    void setMovie(const std::string& title, const std::string& path, const TFlashFileAttr& attr);

    Edit& edtTitle() const { return get<Edit>("edtTitle"); }
    Label& lblClose() const { return get<Label>("lblClose"); }
    ListView& lvFileInfo() const { return *lvFileInfo_; }
    ListView& lvFlashInfo() const { return *lvFlashInfo_; }
    MyImage imgbtnClose{this};

private:
    std::unique_ptr<ListView> lvFileInfo_, lvFlashInfo_;
    MyImage imgIcon{this};
    MyImage imgLine1{this};
    MyImage imgLine2{this};
    UniqueBitmap icon_, line_;
};

// The property window of a movie: nothing for a missing file, a message for
// a file that is no Flash movie, otherwise the modal window.
void ShowFlashFileProperty(const std::string& title, const std::string& path);

}  // namespace kv
