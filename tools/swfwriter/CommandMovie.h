// Movies that send FSCommands, for the player's tests and demonstrations:
// frame scripts that call fscommand on chosen frames, and a button in the
// middle of the stage that calls one when it is released.
#pragma once

#include <string>
#include <vector>

#include "tools/swfwriter/SwfWriter.h"

namespace swfw {

struct FrameCall {
    int frame = 0;  // 0-based frame whose script runs the call
    std::string command, args;
};

struct CommandMovieSpec {
    int frames = 10;
    double rate = 12;
    std::vector<FrameCall> calls;
    int stopAt = -1;  // a frame whose script stops the movie, -1 for none
    // A button 300 x 200 px in the middle of a 550 x 400 stage: orange, lighter
    // under the pointer, dark while pressed. No button when the command is empty.
    std::string buttonCommand, buttonArgs;
};

Bytes commandMovie(const CommandMovieSpec& spec);

}  // namespace swfw
