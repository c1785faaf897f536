// The window of the projector stub: a frame whose client area is the stage,
// filled by the Flash control playing the movie in a loop.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "flash/ShockwaveFlash.h"
#include "ui/Form.h"

namespace kv {

// The text shown when the stub carries no playable movie.
extern const char* const kNoMovieText;

// Asks the projector window for a pixel of its current picture:
// SendMessage(window, message, MAKEWPARAM(x, y), 0) gives 0x00RRGGBB, or -1
// outside the picture. Lets tests and tools check what a projector shows.
UINT projectorPixelMessage();

class ProjectorForm : public Form {
public:
    ProjectorForm();
    // Creates the window around the movie and starts it; false (no window)
    // when the bytes are not a movie.
    bool open(const std::vector<uint8_t>& movie, const std::string& caption);
    TShockwaveFlash& flash() { return flash_; }
    // Full screen: a borderless window over the whole monitor; Esc leaves it.
    void setFullScreen(bool on);
    bool fullScreen() const { return fullScreen_; }
    void FormKeyDown(WORD& key, ShiftState shift) override;

protected:
    bool handleFormMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void fsCommand(const std::string& command, const std::string& args);
    TShockwaveFlash flash_{this};
    bool fullScreen_ = false;
    RECT normalBounds_{};
};

// The stub's whole run: reads the movie appended to exePath, plays it until
// the window closes. Returns the process exit code.
int RunProjector(const std::string& exePath);

}  // namespace kv
