// TPlayForm: the play window docked into the main window's play area. It
// hosts the Flash control and carries every playback command.
#pragma once

#include <memory>
#include <string>

#include "ui/Form.h"
#include "ui/Menu.h"

namespace kv {

class TPlayForm : public Form {
public:
    TPlayForm();
    ~TPlayForm() override;
    bool create();

    Panel pnlMain{this};
    Panel pnlFlash{&pnlMain};
    std::unique_ptr<Menu> pmMain;

    // Playback commands (the main menu's mmi items call these).
    virtual void playAFile(const std::string& path);
    virtual void pmiPlayClick();
    virtual void pmiStopClick();
    virtual void MoveToPosition(int frame);
    virtual void pmiFrontClick();
    virtual void pmiNextClick();
    virtual void pmiBackClick();
    virtual void pmiForwardClick();

    // Parks the Flash host panel out of view while nothing is loaded.
    void parkFlashHost(int size);

protected:
    void FormDestroy() override;
};

extern TPlayForm* PlayForm;

}  // namespace kv
