// The rows of the batch conversion window and the run over them, without any
// window: each row has a source, a target, a tick and a state. The window
// shows the rows; this part decides targets, moves and removes rows, runs the
// conversions in order (stopping at the first failure) and performs the
// play-after and delete-after steps' file work.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "flashfile/Projector.h"

namespace kv {

enum class ConvertState { Ready, Converting, Converted, Failed };

// "准备就绪", "正在转换", "转换成功", "转换失败".
const char* ConvertStateText(ConvertState state);

// 0: projectors to movies; 1: movies to projectors.
enum ConvertModes { kExeToSwf = 0, kSwfToExe = 1 };

// ".swf" / ".exe": the extension of the targets, or of the sources.
const char* ConvertTargetExt(int mode);
const char* ConvertSourceExt(int mode);

struct ConvertRow {
    std::string source;
    std::string target;
    bool ticked = true;
    ConvertState state = ConvertState::Ready;
    uint64_t written = 0;  // the target's size as the conversion wrote it
};

// The target of a new row: `savePath` (ending in a backslash; empty when the
// output folder is not set or missing) + the source's name without extension,
// or the source with its extension replaced; then the mode's extension.
std::string ConvertTargetFor(const std::string& source, const std::string& savePath, int mode);

class ConvertList {
public:
    std::vector<ConvertRow> rows;

    void add(const std::string& source, const std::string& savePath, int mode);
    // Swap the source and target texts with the neighbouring row; ticks and
    // states stay with the positions. False when there is no such neighbour.
    bool moveUp(std::size_t row);
    bool moveDown(std::size_t row);
    // Removes every row whose tick equals `ticked`, last to first.
    void removeTicked(bool ticked);
    void tickAll(bool ticked);
    void invertTicks();
    std::size_t tickedCount() const;
    // Every target := savePath + the file name of the target.
    void retarget(const std::string& savePath);
};

// What a run needs from its surroundings.
struct ConvertRunHooks {
    // Converts one row; false or an exception is a failure.
    std::function<bool(const ConvertRow& row, CopyWatch& watch)> convert;
    // A row's state changed (repaint it).
    std::function<void(std::size_t row)> rowChanged;
    // The run's position in ticked rows, fractional within a file.
    std::function<void(double position)> progress;
    // Asked before each row and after each block: true ends the run (the
    // program is closing). The row being converted fails and its partial
    // target is removed; later rows stay as they are.
    std::function<bool()> stopped;
};

// Runs the ticked rows first to last; a failure marks its row and ends the
// run at once, and so does a stop. True when every ticked row was converted.
bool RunConversion(ConvertList& list, const ConvertRunHooks& hooks);

// The targets of ticked converted rows, from the last row to the first.
std::vector<std::string> ConvertedTargets(const ConvertList& list);

// From the last row to the first, for each ticked converted row: when its
// target exists with the size the conversion wrote, deletes the source and
// removes the row; otherwise keeps the source and marks the row failed.
// Returns the number of sources deleted.
std::size_t DeleteConvertedSources(ConvertList& list);

// The one conversion of a row in `mode`, with the projector stub `stub`.
bool ConvertRowFile(const ConvertRow& row, int mode, const std::string& stub, CopyWatch& watch);

}  // namespace kv
