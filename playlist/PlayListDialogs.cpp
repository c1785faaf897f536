#include "playlist/PlayListDialogs.h"

#include "playlist/EditPlayListForm.h"
#include "playlist/EditPlayListItemForm.h"
#include "playlist/NewPlayListForm.h"
#include "playlist/RenamePlayListForm.h"
#include "playlist/SearchDirectoryForm.h"

namespace kv {

void ShowNewPlayListDialog() {
    TNewPlayListForm f;
    f.ShowModal();
}

void ShowEditPlayListDialog() {
    if (EditPlayListForm) {
        SetForegroundWindow(EditPlayListForm->handle());
        return;
    }
    DialogForm::openModeless<TEditPlayListForm>();
}

void ShowEditPlayListItemDialog() {
    TEditPlayListItemForm f;
    f.ShowModal();
}

void ShowRenamePlayListDialog(const std::string& currentName) {
    TRenamePlayListForm f(currentName);
    f.ShowModal();
}

void SearchDirectory(const std::string& folder, SearchTarget target) {
    DialogForm::openModeless<TSearchDirectoryForm>(folder, true, target);
}

}  // namespace kv
