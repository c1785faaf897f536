// TTidyFavForm "整理收藏夹": the favorites in a list, with a preview of the
// chosen one's movie, its view count and last view time, and the commands
// to play, delete and inspect it.
#pragma once

#include <memory>
#include <string>

#include "flash/ShockwaveFlash.h"
#include "ui/DialogForm.h"

namespace kv {

class TTidyFavForm : public DialogForm {
public:
    TTidyFavForm();
    ~TTidyFavForm() override;
    void FormCreate() override;

    void lvFavClick();
    void bbtnPlayClick();
    void bbtnDelClick();
    void bbtnPropertyClick();

    // The name of the selected row; empty when none is selected.
    std::string selectedName() const;
    // After the property window renamed the selected favorite.
    void renameSelected(const std::string& newName);

    ReportList& lvFav() const { return get<ReportList>("lvFav"); }
    Label& lblViewTimes() const { return get<Label>("lblViewTimes"); }
    Label& lblLastViewTimeCaption() const { return get<Label>("lblLastViewTimeCaption"); }
    Label& lblLastViewTime() const { return get<Label>("lblLastViewTime"); }
    TShockwaveFlash& Flash1() const { return *flash_; }

private:
    void clearSummary();
    std::unique_ptr<TShockwaveFlash> flash_;
};

// Opens the organise window ("整理收藏夹..." of the favorites menu).
void ShowTidyFavForm();

}  // namespace kv
