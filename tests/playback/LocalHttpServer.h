// A small HTTP server on 127.0.0.1 for the download tests: it listens on a
// port the system picks, answers each connection on a thread of its own by
// the request's path, and on stop closes every socket it opened, so a
// handler that holds its answer back (a stalled server) ends too.
#pragma once

#include <windows.h>
#include <winsock2.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdlib>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kv::test {

class LocalHttpServer {
public:
    // Answers one request on the connection; the server closes it afterwards.
    using Handler = std::function<void(LocalHttpServer&, SOCKET)>;

    LocalHttpServer() {
        WSADATA wsa;
        WSAStartup(MAKEWORD(2, 2), &wsa);
        stopped_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    }
    ~LocalHttpServer() {
        stop();
        CloseHandle(stopped_);
        WSACleanup();
    }

    void route(const std::string& path, Handler h) { routes_[path] = std::move(h); }

    bool start() {
        listen_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (listen_ == INVALID_SOCKET) return false;
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = 0;
        int len = sizeof a;
        if (bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(listen_, 16) != 0 ||
            getsockname(listen_, reinterpret_cast<sockaddr*>(&a), &len) != 0)
            return false;
        port_ = ntohs(a.sin_port);
        acceptor_ = std::thread([this] { acceptLoop(); });
        return true;
    }

    std::string url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }

    // Stops accepting, closes every connection and waits for the handlers.
    void stop() {
        if (listen_ == INVALID_SOCKET) return;
        SetEvent(stopped_);
        closesocket(listen_);
        listen_ = INVALID_SOCKET;
        if (acceptor_.joinable()) acceptor_.join();
        {
            std::lock_guard<std::mutex> g(lock_);
            for (SOCKET s : open_) shutdown(s, SD_BOTH);
        }
        for (std::thread& t : handlers_) t.join();
        handlers_.clear();
    }

    // For handlers that stall: true once the server is stopping.
    bool waitForStop(DWORD ms) { return WaitForSingleObject(stopped_, ms) == WAIT_OBJECT_0; }

    static bool sendAll(SOCKET s, const char* data, size_t size) {
        while (size > 0) {
            const int n = send(s, data, static_cast<int>(std::min<size_t>(size, 1 << 16)), 0);
            if (n <= 0) return false;
            data += n;
            size -= static_cast<size_t>(n);
        }
        return true;
    }
    static bool sendText(SOCKET s, const std::string& text) { return sendAll(s, text.data(), text.size()); }
    // The status line and headers of an answer; a length below 0 is left out.
    static bool sendHead(SOCKET s, const char* status, long long length) {
        std::string head =
            std::string("HTTP/1.1 ") + status + "\r\nContent-Type: application/x-shockwave-flash\r\n";
        if (length >= 0) head += "Content-Length: " + std::to_string(length) + "\r\n";
        return sendText(s, head + "Connection: close\r\n\r\n");
    }

    int requests() const { return requests_.load(); }

    // For a handler: the request line and headers of its connection, and
    // the body its Content-Length announces (at most `max` bytes).
    std::string head(SOCKET s) {
        std::lock_guard<std::mutex> g(lock_);
        const std::string& r = received_[s];
        return r.substr(0, r.find("\r\n\r\n"));
    }
    std::string body(SOCKET s, size_t max = 1 << 20) {
        std::string r;
        {
            std::lock_guard<std::mutex> g(lock_);
            r = received_[s];
        }
        const size_t end = r.find("\r\n\r\n");
        if (end == std::string::npos) return std::string();
        std::string lower = r.substr(0, end);
        for (char& ch : lower) ch = static_cast<char>(tolower(static_cast<unsigned char>(ch)));
        const size_t at = lower.find("content-length:");
        const size_t want = at == std::string::npos
                                ? 0
                                : std::min<size_t>(max, strtoul(lower.c_str() + at + 15, nullptr, 10));
        std::string out = r.substr(end + 4);
        char buf[2048];
        while (out.size() < want) {
            const int n = recv(s, buf, sizeof buf, 0);
            if (n <= 0) break;
            out.append(buf, static_cast<size_t>(n));
        }
        return out.substr(0, want);
    }

private:
    void acceptLoop() {
        for (;;) {
            SOCKET c = accept(listen_, nullptr, nullptr);
            if (c == INVALID_SOCKET) return;
            std::lock_guard<std::mutex> g(lock_);
            open_.push_back(c);
            handlers_.emplace_back([this, c] { serve(c); });
        }
    }

    void serve(SOCKET c) {
        std::string request;
        char buf[2048];
        while (request.find("\r\n\r\n") == std::string::npos) {
            const int n = recv(c, buf, sizeof buf, 0);
            if (n <= 0) break;
            request.append(buf, static_cast<size_t>(n));
        }
        ++requests_;
        {
            std::lock_guard<std::mutex> g(lock_);
            received_[c] = request;
        }
        const size_t from = request.find(' ') + 1, to = request.find(' ', from);
        const std::string path = from > 0 && to != std::string::npos ? request.substr(from, to - from) : "";
        auto it = routes_.find(path);
        if (it != routes_.end())
            it->second(*this, c);
        else
            sendHead(c, "404 Not Found", 0);
        shutdown(c, SD_SEND);
        std::lock_guard<std::mutex> g(lock_);
        received_.erase(c);
        closesocket(c);
        for (SOCKET& s : open_)
            if (s == c) s = INVALID_SOCKET;
    }

    SOCKET listen_ = INVALID_SOCKET;
    int port_ = 0;
    HANDLE stopped_ = nullptr;
    std::thread acceptor_;
    std::vector<std::thread> handlers_;
    std::vector<SOCKET> open_;
    std::mutex lock_;
    std::map<std::string, Handler> routes_;
    std::map<SOCKET, std::string> received_;
    std::atomic<int> requests_{0};
};

}  // namespace kv::test
