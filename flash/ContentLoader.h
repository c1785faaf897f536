// The Flash control's content host: files a movie loads are read from
// disk (relative to the movie's folder), addresses are downloaded on a
// worker thread, and SharedObject stores are files in a folder of the
// program's settings. Results reach the engine through deliver(), which
// the control calls from its frame timer.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "flash/core/ContentHost.h"

namespace flash {
class Engine;
}

namespace kv {

class ContentLoader : public flash::ContentHost {
public:
    explicit ContentLoader(flash::Engine& engine);
    ~ContentLoader() override;
    ContentLoader(const ContentLoader&) = delete;
    ContentLoader& operator=(const ContentLoader&) = delete;

    // The movie's own path (relative names start from its folder).
    void setMoviePath(const std::string& path) { moviePath_ = path; }
    // Where SharedObject stores go (created when first written).
    void setSharedFolder(const std::string& folder) { sharedFolder_ = folder; }
    // Hands finished downloads to the engine.
    void deliver();

    // Pages the movie shows in a browser window (getURL, send): addresses
    // as given, names of files beside the movie as their full paths.
    std::function<void(const std::string& url, const std::string& target, const std::string& post)> onOpenUrl;

    void fetch(int request, const std::string& url, const std::string& post) override;
    void cancel(int request) override;
    void openUrl(const std::string& url, const std::string& target, const std::string& post) override;
    bool readShared(const std::string& name, std::string& data) override;
    bool writeShared(const std::string& name, const std::string& data) override;

    // A name a movie loads as a local path: relative to the movie's folder,
    // "file:" addresses and query strings undone, '/' as '\'. Empty when
    // it is an address to download.
    static std::string localPath(const std::string& url, const std::string& moviePath);
    // A name as the system's file functions take it: the movie's UTF-8
    // text (version 6 and later) in the system code page.
    static std::string systemName(const std::string& name, int movieVersion);

private:
    struct Shared;
    std::string storePath(const std::string& name) const;
    flash::Engine& engine_;
    std::shared_ptr<Shared> shared_;  // also held by the download threads
    std::string moviePath_, sharedFolder_;
};

// Reads a whole disk file of at most `maxBytes`, shared for reading and
// writing; false when it is no readable disk file.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out, long long maxBytes);

}  // namespace kv
