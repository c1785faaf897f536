// Playing by address: the current item is downloaded into a local copy on a
// worker thread while the caption label and the transport bar show how far
// it has come; Stop ends it. The copy then takes the path of a file on disk;
// a download that fails, stalls or brings no movie is skipped silently, as an
// unplayable file is.
#include <algorithm>

#include "app/AppState.h"
#include "app/MainForm.h"
#include "playback/MovieAddress.h"
#include "playback/MovieOrigin.h"
#include "playback/PlayForm.h"

namespace kv {

std::string TPlayForm::downloadCaption() const {
    if (!download_) return std::string();
    return DownloadCaption(CurrentTitle, download_->received(), download_->total());
}

void TPlayForm::beginDownload() {
    // Play pressed again while the same item downloads: it goes on.
    if (download_ && download_->address() == CurrentFile) return;
    endDownload();
    const std::string copy = CreateDownloadFile(DownloadExtension(CurrentFile));
    if (copy.empty()) return;
    download_ = std::make_unique<MovieDownload>(CurrentFile, copy, handle(), WM_MOVIEDOWNLOAD,
                                                ++downloadSerial_, downloadLimits);
    if (!download_->start()) {
        download_.reset();
        RemoveDownloadFile(copy);
        return;
    }
    tmDownload.setEnabled(true);
    showDownloadProgress();
}

void TPlayForm::downloadMessage(WPARAM serial, LPARAM what) {
    // A message of a download that has been ended already is stale.
    if (!download_ || serial != download_->serial()) return;
    if (what == 0) {
        download_->progressShown();
        showDownloadProgress();
        return;
    }
    const bool done = download_->result() == DownloadResult::Done;
    const std::string copy = download_->localPath();
    download_.reset();
    tmDownload.setEnabled(false);
    if (MainForm) {
        MainForm->bar.imgPlayProgress.setWidth(0);
        MainForm->bar.lblTime.setText("");
    }
    if (done && PlayState == 0) {
        // The copy passes the same header test as any file on disk.
        MarkDownloadedMovie(copy);
        releaseDownloadedFile();
        downloadedFile_ = copy;
        if (playMovie(copy, CurrentFile)) {
            startedPlaying();
            return;
        }
        downloadedFile_.clear();
    }
    RemoveDownloadFile(copy);
    if (MainForm) MainForm->ShowCaptionInlblCaption();
}

void TPlayForm::tmDownloadTimer() {
    if (!download_) {
        tmDownload.setEnabled(false);
        return;
    }
    // A server that sends nothing for this long is given up, as a failed
    // download is; WinINet's own time-outs do not cover every stall.
    if (download_->idleMs(static_cast<unsigned>(GetTickCount())) > downloadLimits.stallMs) {
        endDownload();
        if (MainForm) MainForm->ShowCaptionInlblCaption();
        return;
    }
    // The worker's messages come at most every 100 ms; the bytes since its
    // last one show here.
    showDownloadProgress();
}

void TPlayForm::showDownloadProgress() {
    if (!download_ || !MainForm) return;
    TransportBar& bar = MainForm->bar;
    bar.lblCaption.setText(downloadCaption());
    bar.lblCaption.hint.clear();
    const int percent = DownloadPercent(download_->received(), download_->total());
    bar.lblTime.setText(percent < 0 ? std::string() : "下载 " + std::to_string(percent) + "%   ");
    bar.imgPlayProgress.setWidth(percent < 0 ? 0 : std::max(bar.trackRange(), 0) * percent / 100);
}

void TPlayForm::endDownload() {
    tmDownload.setEnabled(false);
    if (!download_) return;
    download_->cancel();
    RemoveDownloadFile(download_->localPath());
    download_.reset();
    if (MainForm) {
        MainForm->bar.imgPlayProgress.setWidth(0);
        MainForm->bar.lblTime.setText("");
    }
}

void TPlayForm::releaseDownloadedFile() {
    RemoveDownloadFile(downloadedFile_);
    downloadedFile_.clear();
}

}  // namespace kv
