// TMultiPicturePlayForm: the multi-picture view. A borderless black window
// over the whole screen with a grid of still pictures spread evenly over the
// movie; clicking one moves the player to its frame, any key leaves.
#pragma once

#include <memory>
#include <vector>

#include "flash/ShockwaveFlash.h"
#include "playback/MultiPictureGrid.h"
#include "ui/Form.h"
#include "ui/Handles.h"
#include "ui/Label.h"
#include "ui/MyImage.h"

namespace kv {

class TMultiPicturePlayForm : public Form {
public:
    TMultiPicturePlayForm();
    ~TMultiPicturePlayForm() override;
    bool create();
    // Runs the view modally with this many pictures (4, 9, 16, 25 or 36).
    int showView(int pictures);

    Panel pnlBottom{this};
    Label lblBottom{&pnlBottom};
    Panel pnlMain{this};
    TShockwaveFlash Flash1{&pnlMain};
    struct Picture {
        std::unique_ptr<MyImage> image;
        UniqueBitmap bitmap;
        int frame;
    };
    std::vector<Picture> pictures;

    void ImageClick(int frame);
    bool ApplicationEventsMessage(MSG& msg);
    // Makes the grid (once the window has its size).
    void buildGrid();

protected:
    void FormShow() override;
    void FormKeyDown(WORD& key, ShiftState shift) override;
    void FormDestroy() override;

private:
    void leave();
    int hookId_ = 0;
    bool built_ = false;
};

// The multi-picture command; nothing while no movie is loaded.
void ShowMultiPicturePlayForm(int pictures);

}  // namespace kv
