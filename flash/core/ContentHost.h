// What the engine asks of its host for content beyond the movie itself:
// files and addresses a script loads (loadMovie, loadVariables, LoadVars,
// XML), pages it shows in a browser window, and the stores of
// SharedObject. The engine never opens a file or a connection itself.
#pragma once

#include <string>

namespace flash {

class ContentHost {
public:
    virtual ~ContentHost() = default;
    // Starts fetching `url` as the movie names it: a path relative to the
    // movie's folder, an absolute path or an address. `post` is form data
    // for a POST (empty: GET). The host answers once with
    // Engine::finishLoad(request, ...), on the engine's thread, during this
    // call or later; the engine hands the result to the movie on its next
    // tick either way.
    virtual void fetch(int request, const std::string& url, const std::string& post) = 0;
    // A load the movie no longer waits for (its movie unloaded).
    virtual void cancel(int request) { (void)request; }
    // Shows `url` in a browser window named `target` (getURL, send);
    // `post` is form data or XML text to send with it (empty: none).
    virtual void openUrl(const std::string& url, const std::string& target, const std::string& post) {
        (void)url;
        (void)target;
        (void)post;
    }
    // SharedObject stores by name (already safe as a file name): the saved
    // text, false when there is none; and saving it, false when it failed.
    virtual bool readShared(const std::string& name, std::string& data) = 0;
    virtual bool writeShared(const std::string& name, const std::string& data) = 0;
};

}  // namespace flash
