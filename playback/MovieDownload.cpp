#include "playback/MovieDownload.h"

#include <wininet.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/InternetHandle.h"
#include "ui/Handles.h"

namespace kv {

namespace {
const char* const kCopyPrefix = "KorvameldenDL_";
constexpr DWORD kReadSize = 64 * 1024;
constexpr size_t kBufferSize = 1024 * 1024;
constexpr unsigned kProgressMs = 100;

std::string tempFolder() {
    char dir[MAX_PATH + 1];
    const DWORD n = GetTempPathA(sizeof dir, dir);
    return n == 0 || n > MAX_PATH ? std::string() : std::string(dir, n);
}
}  // namespace

struct MovieDownload::State {
    std::string address, path;
    HWND window;
    UINT message;
    WPARAM serial;
    DownloadLimits limits;
    std::atomic<unsigned long long> received{0}, total{0};
    std::atomic<unsigned> lastByteAt{0};
    std::atomic<int> result{static_cast<int>(DownloadResult::Running)};
    std::atomic<bool> progressPending{false};

    // The handles the worker opened, so that a cancel can close them; each
    // is closed once, by the cancel or by the worker at its end.
    std::mutex lock;
    bool cancelled = false;
    UniqueInternet session, request;

    bool isCancelled() {
        std::lock_guard<std::mutex> g(lock);
        return cancelled;
    }
    // Hands a new handle to its slot; false (the handle closed) once cancelled.
    bool keep(UniqueInternet& slot, HINTERNET h) {
        std::lock_guard<std::mutex> g(lock);
        if (cancelled) {
            InternetCloseHandle(h);
            return false;
        }
        slot.reset(h);
        return true;
    }
    void post(LPARAM what) {
        std::lock_guard<std::mutex> g(lock);
        if (!cancelled) PostMessageA(window, message, serial, what);
    }
    void closeHandles() {
        std::lock_guard<std::mutex> g(lock);
        request.reset();
        session.reset();
    }
    void cancel() {
        std::lock_guard<std::mutex> g(lock);
        cancelled = true;
        request.reset();
        session.reset();
    }
};

namespace {
using State = MovieDownload::State;

// Appends to the local copy, which is open only for this moment: never while
// the worker waits for the network, so a cancel removes it at once. Once a
// cancel has removed it, it is not made again.
bool appendToCopy(const std::string& path, const char* data, size_t size) {
    UniqueFile out(CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return out && WriteFile(out.get(), data, static_cast<DWORD>(size), &written, nullptr) && written == size;
}

unsigned long long statedLength(HINTERNET request) {
    char text[32] = {};
    DWORD size = sizeof text - 1;
    if (!HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) return 0;
    return std::strtoull(text, nullptr, 10);
}

DownloadResult fetch(State& s) {
    HINTERNET session = InternetOpenA("Korvamelden/1.6", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!session) return DownloadResult::Failed;
    if (!s.keep(s.session, session)) return DownloadResult::Cancelled;
    DWORD timeout = s.limits.stallMs;
    for (DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
        InternetSetOptionA(session, option, &timeout, sizeof timeout);
    const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                        INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_COOKIES;
    HINTERNET request = InternetOpenUrlA(session, s.address.c_str(), nullptr, 0, flags, 0);
    if (!request) return s.isCancelled() ? DownloadResult::Cancelled : DownloadResult::Failed;
    if (!s.keep(s.request, request)) return DownloadResult::Cancelled;

    DWORD status = 0, size = sizeof status;
    if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) ||
        status < 200 || status > 299)
        return DownloadResult::Failed;
    const unsigned long long total = statedLength(request);
    if (total > s.limits.maxBytes) return DownloadResult::TooLarge;
    s.total = total;

    std::vector<char> buffer(kBufferSize);
    size_t used = 0;
    auto flush = [&] {
        const bool ok = appendToCopy(s.path, buffer.data(), used);
        used = 0;
        return ok;
    };
    unsigned long long received = 0;
    unsigned postedAt = GetTickCount() - kProgressMs;
    for (;;) {
        // A read returns only once its whole size has come (or the body
        // ended): asking for what has arrived keeps a slow server's bytes
        // counting as progress.
        DWORD got = 0, ready = 0;
        BOOL ok = InternetQueryDataAvailable(request, &ready, 0, 0);
        if (ok)
            ok =
                InternetReadFile(request, buffer.data() + used, std::clamp<DWORD>(ready, 1, kReadSize), &got);
        if (s.isCancelled()) return DownloadResult::Cancelled;
        if (!ok) return DownloadResult::Failed;
        if (got == 0) break;
        received += got;
        if (received > s.limits.maxBytes) return DownloadResult::TooLarge;
        used += got;
        if (used + kReadSize > kBufferSize && !flush())
            return s.isCancelled() ? DownloadResult::Cancelled : DownloadResult::Failed;
        s.received = received;
        const unsigned now = GetTickCount();
        s.lastByteAt = now;
        // At most one progress message waits, and not more than one each
        // kProgressMs: a stream of posted messages would hold back the
        // window's input and painting, which come after them.
        if (now - postedAt >= kProgressMs && !s.progressPending.exchange(true)) {
            postedAt = now;
            s.post(0);
        }
    }
    if (received == 0) return DownloadResult::Failed;
    if (!flush()) return s.isCancelled() ? DownloadResult::Cancelled : DownloadResult::Failed;
    if (total != 0 && received < total) return DownloadResult::Truncated;
    return DownloadResult::Done;
}

void run(std::shared_ptr<State> s) {
    DownloadResult r;
    try {
        r = fetch(*s);
    } catch (const std::exception&) {
        r = DownloadResult::Failed;  // no memory for the buffer
    }
    s->closeHandles();
    if (r != DownloadResult::Done) DeleteFileA(s->path.c_str());
    s->result = static_cast<int>(r);
    s->post(1);
}
}  // namespace

MovieDownload::MovieDownload(const std::string& address, const std::string& localPath, HWND window,
                             UINT message, WPARAM serial, DownloadLimits limits)
    : state_(std::make_shared<State>()) {
    State& s = *state_;
    s.address = address;
    s.path = localPath;
    s.window = window;
    s.message = message;
    s.serial = serial;
    s.limits = limits;
    s.lastByteAt = GetTickCount();
}

MovieDownload::~MovieDownload() {
    if (result() == DownloadResult::Running) cancel();
}

bool MovieDownload::start() {
    try {
        std::thread(run, state_).detach();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void MovieDownload::cancel() {
    state_->cancel();
    int running = static_cast<int>(DownloadResult::Running);
    state_->result.compare_exchange_strong(running, static_cast<int>(DownloadResult::Cancelled));
}

const std::string& MovieDownload::address() const { return state_->address; }
const std::string& MovieDownload::localPath() const { return state_->path; }
WPARAM MovieDownload::serial() const { return state_->serial; }
DownloadResult MovieDownload::result() const { return static_cast<DownloadResult>(state_->result.load()); }
unsigned long long MovieDownload::received() const { return state_->received; }
unsigned long long MovieDownload::total() const { return state_->total; }
unsigned MovieDownload::idleMs(unsigned now) const { return now - state_->lastByteAt; }
void MovieDownload::progressShown() { state_->progressPending = false; }

std::string CreateDownloadFile(const std::string& extension) {
    static std::atomic<unsigned> counter{0};
    const std::string dir = tempFolder();
    if (dir.empty()) return std::string();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string path = dir + kCopyPrefix + std::to_string(GetCurrentProcessId()) + "_" +
                                 std::to_string(++counter) + extension;
        UniqueFile f(
            CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (f) return path;
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    return std::string();
}

void RemoveDownloadFile(const std::string& path) {
    if (!path.empty()) DeleteFileA(path.c_str());
}

void SweepStaleDownloadFiles() {
    const std::string dir = tempFolder();
    if (dir.empty()) return;
    WIN32_FIND_DATAA fd;
    UniqueFind find(FindFirstFileA((dir + kCopyPrefix + "*").c_str(), &fd));
    if (!find) return;
    const std::size_t prefix = std::string(kCopyPrefix).size();
    do {
        const std::string name = fd.cFileName;
        const DWORD pid = std::strtoul(name.c_str() + prefix, nullptr, 10);
        if (pid == 0 || pid == GetCurrentProcessId()) continue;
        UniqueFile process(OpenProcess(SYNCHRONIZE, FALSE, pid));
        // A process that still runs may still play its copy.
        if (process && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT) continue;
        DeleteFileA((dir + name).c_str());
    } while (FindNextFileA(find.get(), &fd));
}

}  // namespace kv
