#include "flash/ContentLoader.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "flash/core/Engine.h"
#include "platform/ExclusiveFile.h"
#include "platform/InternetHandle.h"
#include "ui/Handles.h"

namespace kv {

namespace {

constexpr long long kMaxLoadBytes = 64LL << 20;
constexpr DWORD kTimeoutMs = 30000;

bool startsWithNoCase(const std::string& s, const char* prefix) {
    size_t n = std::strlen(prefix);
    return s.size() >= n && _strnicmp(s.c_str(), prefix, n) == 0;
}

bool isAddress(const std::string& url) {
    return startsWithNoCase(url, "http://") || startsWithNoCase(url, "https://") ||
           startsWithNoCase(url, "ftp://");
}

// Addresses a browser opens as they are (no file beside the movie).
bool isPageAddress(const std::string& url) {
    return isAddress(url) || startsWithNoCase(url, "mailto:") || startsWithNoCase(url, "javascript:");
}

// Downloads an address (GET, or POST of form data); false on any failure.
bool download(const std::string& url, const std::string& post, std::vector<uint8_t>& out) {
    UniqueInternet net(InternetOpenA("Korvamelden", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!net) return false;
    DWORD timeout = kTimeoutMs;
    for (DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT})
        InternetSetOptionA(net.get(), option, &timeout, sizeof timeout);
    UniqueInternet connection, request;
    const DWORD flags = INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_RELOAD;
    if (post.empty()) {
        request.reset(InternetOpenUrlA(net.get(), url.c_str(), nullptr, 0, flags, 0));
    } else {
        // A form: POST to the address's host and path.
        char host[256] = {}, path[2048] = {}, extra[2048] = {};
        URL_COMPONENTSA uc{};
        uc.dwStructSize = sizeof uc;
        uc.lpszHostName = host;
        uc.dwHostNameLength = sizeof host;
        uc.lpszUrlPath = path;
        uc.dwUrlPathLength = sizeof path;
        uc.lpszExtraInfo = extra;
        uc.dwExtraInfoLength = sizeof extra;
        if (!InternetCrackUrlA(url.c_str(), 0, 0, &uc)) return false;
        connection.reset(
            InternetConnectA(net.get(), host, uc.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
        if (!connection) return false;
        std::string object = std::string(path) + extra;
        DWORD secure = uc.nScheme == INTERNET_SCHEME_HTTPS ? INTERNET_FLAG_SECURE : 0;
        request.reset(HttpOpenRequestA(connection.get(), "POST", object.c_str(), nullptr, nullptr, nullptr,
                                       flags | secure, 0));
        static const char kHeaders[] = "Content-Type: application/x-www-form-urlencoded\r\n";
        if (request && !HttpSendRequestA(request.get(), kHeaders, static_cast<DWORD>(-1L),
                                         const_cast<char*>(post.data()), static_cast<DWORD>(post.size())))
            return false;
    }
    if (!request) return false;
    DWORD status = 0, size = sizeof status;
    if (HttpQueryInfoA(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                       nullptr) &&
        (status < 200 || status >= 300))
        return false;
    char buf[16384];
    for (;;) {
        DWORD got = 0;
        if (!InternetReadFile(request.get(), buf, sizeof buf, &got)) return false;
        if (got == 0) break;
        if (static_cast<long long>(out.size() + got) > kMaxLoadBytes) return false;
        out.insert(out.end(), buf, buf + got);
    }
    return true;
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out, long long maxBytes) {
    out.clear();
    // A device or a pipe could block the reading for ever: only disk files are read.
    if (path.empty() || IsDeviceName(path)) return false;
    UniqueFile f(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f || !IsDiskFileHandle(f.get())) return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(f.get(), &size) || size.QuadPart < 0 || size.QuadPart > maxBytes) return false;
    try {
        out.resize(static_cast<size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
        return false;
    }
    size_t done = 0;
    while (done < out.size()) {
        DWORD want = static_cast<DWORD>(std::min<size_t>(out.size() - done, 1 << 20)), got = 0;
        if (!ReadFile(f.get(), out.data() + done, want, &got, nullptr) || got == 0) break;
        done += got;
    }
    out.resize(done);  // a file that shrank while read: what arrived
    return true;
}

// What the download threads and the control share: finished results and
// the requests given up.
struct ContentLoader::Shared {
    std::mutex lock;
    struct Result {
        int request;
        bool ok;
        std::vector<uint8_t> data;
    };
    std::vector<Result> done;
    std::vector<int> cancelled;
};

ContentLoader::ContentLoader(flash::Engine& engine) : engine_(engine), shared_(std::make_shared<Shared>()) {}

ContentLoader::~ContentLoader() {
    // Threads still downloading finish into the shared state, which they own
    // with us; nothing reaches the engine any more.
    std::lock_guard<std::mutex> g(shared_->lock);
    shared_->done.clear();
}

std::string ContentLoader::localPath(const std::string& url, const std::string& moviePath) {
    if (isAddress(url)) return std::string();
    std::string p = url;
    if (startsWithNoCase(p, "file:")) {
        p = p.substr(5);
        size_t slashes = 0;
        while (slashes < p.size() && p[slashes] == '/') ++slashes;
        // file:///C:/x -> C:/x; file://server/share -> //server/share
        p = (slashes >= 3 || (slashes > 0 && p.size() > slashes + 1 && p[slashes + 1] == ':'))
                ? p.substr(slashes)
                : std::string(slashes == 2 ? "//" : "") + p.substr(slashes);
    }
    size_t query = p.find('?');
    if (query != std::string::npos) p.resize(query);
    std::replace(p.begin(), p.end(), '/', '\\');
    bool absolute = (p.size() > 1 && p[1] == ':') || (!p.empty() && p[0] == '\\');
    if (!absolute) {
        // The folder of the movie: up to its last separator (a GBK trail
        // byte is never taken for one).
        size_t cut = 0;
        for (size_t i = 0; i < moviePath.size(); ++i) {
            unsigned char c = static_cast<unsigned char>(moviePath[i]);
            if (IsDBCSLeadByte(c) && i + 1 < moviePath.size()) {
                ++i;
                continue;
            }
            if (c == '\\' || c == '/') cut = i + 1;
        }
        p = moviePath.substr(0, cut) + p;
    }
    return p;
}

std::string ContentLoader::systemName(const std::string& name, int movieVersion) {
    bool ascii = std::all_of(name.begin(), name.end(), [](char c) { return (c & 0x80) == 0; });
    if (movieVersion < 6 || ascii) return name;
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name.data(), static_cast<int>(name.size()),
                                nullptr, 0);
    if (n <= 0) return name;  // not UTF-8: taken as the system's text
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, name.data(), static_cast<int>(name.size()), &wide[0], n);
    BOOL lost = FALSE;
    int m = WideCharToMultiByte(CP_ACP, 0, wide.data(), n, nullptr, 0, nullptr, &lost);
    if (m <= 0 || lost) return std::string();  // no such name on this system
    std::string out(static_cast<size_t>(m), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), n, &out[0], m, nullptr, nullptr);
    return out;
}

void ContentLoader::openUrl(const std::string& url, const std::string& target, const std::string& post) {
    if (!onOpenUrl || url.empty()) return;
    if (isPageAddress(url)) {
        onOpenUrl(url, target, post);
        return;
    }
    std::string local = localPath(systemName(url, engine_.movie().version()), moviePath_);
    if (!local.empty()) onOpenUrl(local, target, post);
}

void ContentLoader::fetch(int request, const std::string& url, const std::string& post) {
    std::string local = isAddress(url) ? std::string() : systemName(url, engine_.movie().version());
    if (!local.empty()) local = localPath(local, moviePath_);
    if (!local.empty() || !isAddress(url)) {
        std::vector<uint8_t> bytes;
        bool ok = ReadWholeFile(local, bytes, kMaxLoadBytes);
        engine_.finishLoad(request, ok, std::move(bytes));
        return;
    }
    std::shared_ptr<Shared> shared = shared_;
    try {
        std::thread([shared, request, url, post] {
            std::vector<uint8_t> bytes;
            bool ok = download(url, post, bytes);
            std::lock_guard<std::mutex> g(shared->lock);
            auto& c = shared->cancelled;
            auto it = std::find(c.begin(), c.end(), request);
            if (it != c.end()) {
                c.erase(it);
                return;
            }
            shared->done.push_back({request, ok, std::move(bytes)});
        }).detach();
    } catch (const std::system_error&) {
        engine_.finishLoad(request, false, {});
    }
}

void ContentLoader::cancel(int request) {
    std::lock_guard<std::mutex> g(shared_->lock);
    auto& d = shared_->done;
    size_t before = d.size();
    d.erase(std::remove_if(d.begin(), d.end(),
                           [request](const Shared::Result& r) { return r.request == request; }),
            d.end());
    if (d.size() == before && shared_->cancelled.size() < 4096) shared_->cancelled.push_back(request);
}

void ContentLoader::deliver() {
    std::vector<Shared::Result> done;
    {
        std::lock_guard<std::mutex> g(shared_->lock);
        done.swap(shared_->done);
    }
    for (auto& r : done) engine_.finishLoad(r.request, r.ok, std::move(r.data));
}

std::string ContentLoader::storePath(const std::string& name) const {
    // Stores of different movies stay apart: the movie's file name leads.
    std::string movie;
    for (size_t i = 0; i < moviePath_.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(moviePath_[i]);
        if (IsDBCSLeadByte(c) && i + 1 < moviePath_.size()) {
            movie += moviePath_.substr(i++, 2);
        } else if (c == '\\' || c == '/' || c == ':') {
            movie.clear();
        } else {
            movie += (c < 0x20 || std::strchr("*?\"<>|", c)) ? '_' : static_cast<char>(c);
        }
    }
    return sharedFolder_ + (movie.empty() ? std::string() : movie + "#") + name + ".sol.txt";
}

bool ContentLoader::readShared(const std::string& name, std::string& data) {
    if (sharedFolder_.empty()) return false;
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(storePath(name), bytes, 1 << 20)) return false;
    data.assign(bytes.begin(), bytes.end());
    return true;
}

bool ContentLoader::writeShared(const std::string& name, const std::string& data) {
    if (sharedFolder_.empty()) return false;
    CreateDirectoryA(sharedFolder_.c_str(), nullptr);
    // Written beside, then moved over the old store: a failed write keeps it.
    std::string path = storePath(name), temp = path + ".new";
    {
        UniqueFile f(CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!f) return false;
        DWORD wrote = 0;
        if (!WriteFile(f.get(), data.data(), static_cast<DWORD>(data.size()), &wrote, nullptr) ||
            wrote != data.size()) {
            f.reset();
            DeleteFileA(temp.c_str());
            return false;
        }
    }
    if (!MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileA(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace kv
