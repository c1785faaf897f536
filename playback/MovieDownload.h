// Downloads a movie from an address into a local file on a worker thread,
// so the window stays responsive however slow the server is. The worker
// posts a message to a window as bytes arrive and once at the end; the
// window reads the counters and the result from the download object.
//
// Blocking WinINet calls on a thread of our own, rather than WinINet's
// asynchronous mode, keep the transfer a plain loop. A cancel closes the
// WinINet handles (which ends pending calls where WinINet supports that) and
// the window never waits for the worker: a call that stays blocked only
// keeps the abandoned worker alive until the server lets go; it then finds
// itself cancelled and ends quietly.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

namespace kv {

enum class DownloadResult {
    Running,
    Done,       // the whole body is in the local file
    Failed,     // no connection, an HTTP status other than 2xx, an empty body, a read error
    Truncated,  // the connection ended before the stated length
    TooLarge,   // beyond the size limit (stated or received)
    Cancelled,
};

struct DownloadLimits {
    unsigned long long maxBytes = 256ull << 20;  // the player's largest movie
    unsigned stallMs = 20000;                    // longest wait for the next byte
};

class MovieDownload {
public:
    // Downloads address into localPath (an existing file is overwritten).
    // The worker posts `message` to `window` with wParam = serial and lParam
    // 0 for progress (one at a time: the next one only after
    // progressShown()) or 1 when it has ended.
    MovieDownload(const std::string& address, const std::string& localPath, HWND window, UINT message,
                  WPARAM serial, DownloadLimits limits);
    // Cancels a download still running.
    ~MovieDownload();
    MovieDownload(const MovieDownload&) = delete;
    MovieDownload& operator=(const MovieDownload&) = delete;

    // Starts the worker; false when no thread could be started.
    bool start();
    // Stops the download without waiting for the worker; no message follows.
    void cancel();

    const std::string& address() const;
    const std::string& localPath() const;
    WPARAM serial() const;
    DownloadResult result() const;
    unsigned long long received() const;
    unsigned long long total() const;  // the stated length, 0 while unknown
    // Milliseconds since the last byte arrived (or since the start), by `now`
    // on the GetTickCount clock.
    unsigned idleMs(unsigned now) const;
    // The window has shown the last progress message: the worker may post another.
    void progressShown();

    struct State;

private:
    std::shared_ptr<State> state_;
};

// The local copies: "KorvameldenDL_<process id>_<n><ext>" in the temporary
// folder. Creates a new, empty one (never an existing file); empty on failure.
std::string CreateDownloadFile(const std::string& extension);
// Deletes a local copy (also while a worker still has it open).
void RemoveDownloadFile(const std::string& path);
// Deletes the copies left behind by runs of the program that no longer run.
void SweepStaleDownloadFiles();

}  // namespace kv
