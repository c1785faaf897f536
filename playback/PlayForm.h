// TPlayForm: the play window docked into the main window's play area. It
// hosts the Flash control and carries every playback command: loading and
// starting movies from the current list, pause and resume, stop, next and
// previous, ten-frame steps, seeking, the play modes at a movie's end, full
// screen, quality, scale, zoom and clipping to the stage.
#pragma once

#include <windows.h>
// after windows.h
#include <shellapi.h>

#include <functional>
#include <memory>
#include <string>

#include "flash/ShockwaveFlash.h"
#include "playback/MovieDownload.h"
#include "ui/Form.h"
#include "ui/Menu.h"
#include "ui/Timer.h"

namespace kv {

// Posted by a download's worker: wParam its serial, lParam 0 progress, 1 ended.
constexpr UINT WM_MOVIEDOWNLOAD = WM_APP + 42;

// The end test of the timer: a movie standing on its last frame (frames count
// from 0), beyond 95 % of its frames, or without frames has ended. Exact in
// integers, so every build draws the line at the same frame.
bool MovieAtEnd(int current, int total);

class TPlayForm : public Form {
public:
    TPlayForm();
    ~TPlayForm() override;
    bool create();

    Panel pnlMain{this};
    Panel pnlFlash{&pnlMain};
    TShockwaveFlash Flash1{&pnlFlash};
    Timer tmMain;
    std::unique_ptr<Menu> pmMain;
    MenuItem& item(const std::string& name) { return (*pmMain)[name]; }

    // Loads and starts a movie (a projector through its unpacked copy); false
    // when the file is missing, not a movie or cannot be unpacked.
    bool PlayFile(const std::string& path);
    // Makes the path the only item of the current list and plays it.
    virtual void playAFile(const std::string& path);
    void StopPlayFile();
    virtual void MoveToPosition(int frame);
    void UpdatePlayProgress(int current, int total);
    void ShowPlayProgress();
    void AdjustSizeOfPlayArea(int width, int height);
    void ShowFlashInfo();
    // The application-wide message hook; true marks the message handled.
    bool ApplicationEventsMessage(MSG& msg);
    // Takes the hook out while another window's hook stands in, and puts it back.
    void removeHook();
    void installHook();
    void tmMainTimer();
    // Milliseconds of a steady clock; the stall check measures with it
    // (tests may put a clock of their own here).
    std::function<unsigned()> clockMs;

    // Playing by address: an http or https item is downloaded into a local
    // copy first, which then plays as a file on disk would.
    bool downloading() const { return download_ != nullptr; }
    // The caption label's text while downloading.
    std::string downloadCaption() const;
    // The size limit and the stall time of downloads (tests shorten them).
    DownloadLimits downloadLimits;
    Timer tmDownload;  // watches a download for a stalled server

    // Commands.
    virtual void pmiPlayClick();
    virtual void pmiStopClick();
    virtual void pmiFrontClick();
    virtual void pmiNextClick();
    virtual void pmiBackClick();
    virtual void pmiForwardClick();
    void pmiFullScreenClick();
    void pmiJumpToFrameClick();
    void pmiPlayAreaClick();
    void pmiPlayFileClick();
    void pmiAutoControlClick();
    void pmiHighQulityClick();
    void pmiMiddleQulityClick();
    void pmiLowQulityClick();
    void pmiKeepScaleClick();
    void pmiZoomInClick();
    void pmiZoomOutClick();
    void pmiNormalSizeClick();
    void pmiShieldOuterPictureOfSceneClick();
    void pmiPropertyClick();
    void pmiAddToFavClick();
    void pmiSaveAsClick();
    void pmiSavePictureClick();
    void pmiSetWallPaperClick();
    void pmiMulitPictureClick(const MenuItem& sender);
    void pmiCloseClick();
    // A command a movie sent through FSCommand, under the user's policy.
    void Flash1FSCommand(const std::string& command, const std::string& args);
    // A page a movie shows in a browser window (getURL, send).
    void Flash1GetURL(const std::string& url, const std::string& window, const std::string& post);
    void pnlMainDblClick();
    void pnlMainResize();
    // Dropped files: the first one plays when it is a movie or a projector.
    void WMDropFiles(HDROP drop);

    // Parks the Flash host panel out of view while nothing is loaded.
    void parkFlashHost(int size);
    bool fullScreen() const;

protected:
    void FormDestroy() override;
    void FormKeyDown(WORD& key, ShiftState shift) override;
    void FormKeyUp(WORD& key, ShiftState shift) override;
    bool handleFormMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void wireMenu();
    void setQuality(const char* which, int value);
    void applyEndRule();
    void showPlaying();
    void recordRecentFile(const std::string& path);
    // Loads and starts the movie in `local`; `item` is how the list names it.
    bool playMovie(const std::string& local, const std::string& item);
    // The play state, caption and panes of a movie that has just started.
    void startedPlaying();
    // Downloads.
    void beginDownload();
    void downloadMessage(WPARAM serial, LPARAM what);
    void tmDownloadTimer();
    void showDownloadProgress();
    // Ends the download in progress, if any: its copy is removed, the bar
    // and caption show no progress any more.
    void endDownload();
    // Removes the local copy of the movie that played from an address.
    void releaseDownloadedFile();
    // The file an exec command names, or empty when it is found nowhere.
    std::string findExecTarget(const std::string& name) const;
    // How long the frame just seen may stand before it counts as stalled.
    unsigned frameTimeMs();
    int hookId_ = 0;
    unsigned frameSeenAt_ = 0;  // when the timer first saw LastTimerFrame
    std::unique_ptr<MovieDownload> download_;
    WPARAM downloadSerial_ = 0;
    std::string downloadedFile_;  // the local copy being played
};

extern TPlayForm* PlayForm;

}  // namespace kv
