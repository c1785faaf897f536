// Scripted user-interface services for tests: every message box is recorded
// and answered from a queue; dialogs return scripted results.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "ui/UiServices.h"

namespace kv::test {

struct ShownMessage {
    std::string text, caption;
    unsigned flags = 0;
};

class FakeUiServices : public UiServices {
public:
    FakeUiServices() { previous_ = setUiServices(this); }
    ~FakeUiServices() override { setUiServices(previous_ == this ? nullptr : previous_); }

    std::vector<ShownMessage> messages;
    std::deque<int> answers;  // message box results; IDOK (or IDYES for Yes/No) when empty
    std::vector<FileDialogRequest> openRequests, saveRequests;
    std::deque<FileDialogResult> openResults, saveResults;  // empty → cancelled
    std::vector<std::string> browseTitles;
    std::deque<std::string> browseResults;  // empty string or empty queue → cancelled

    int messageBox(HWND, const std::string& text, const std::string& caption, unsigned flags) override {
        messages.push_back({text, caption, flags});
        if (!answers.empty()) {
            int a = answers.front();
            answers.pop_front();
            return a;
        }
        unsigned buttons = flags & 0xF;
        return buttons == MB_YESNO || buttons == MB_YESNOCANCEL ? IDYES : IDOK;
    }
    bool openFileDialog(const FileDialogRequest& req, FileDialogResult& out) override {
        openRequests.push_back(req);
        return pop(openResults, out);
    }
    bool saveFileDialog(const FileDialogRequest& req, FileDialogResult& out) override {
        saveRequests.push_back(req);
        return pop(saveResults, out);
    }
    bool browseForFolder(const std::string& title, const std::string&, std::string& folder) override {
        browseTitles.push_back(title);
        folder.clear();
        if (browseResults.empty()) return false;
        folder = browseResults.front();
        browseResults.pop_front();
        return !folder.empty();
    }
    std::string lastText() const { return messages.empty() ? std::string() : messages.back().text; }

private:
    static bool pop(std::deque<FileDialogResult>& q, FileDialogResult& out) {
        if (q.empty()) return false;
        out = q.front();
        q.pop_front();
        return true;
    }
    UiServices* previous_ = nullptr;
};

}  // namespace kv::test
