// The batch conversion window as the options dialog reconfigures it. The
// window fills in ConvertWindow while it exists; nullptr otherwise.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace kv {

struct ConvertWindowLink {
    // Source and target path of each row, in row order.
    std::function<std::vector<std::pair<std::string, std::string>>()> rows;
    std::function<void(std::size_t row, const std::string& target)> setTarget;
    // The mode menu mark (1 SWF to EXE, 0 EXE to SWF) and the two option marks.
    std::function<void(int convertMode, bool deleteConvertedFiles, bool playConvertedFiles)> setOptions;
};

extern ConvertWindowLink* ConvertWindow;

// The new target of a row when the output folder changes: `savePath` (with its
// trailing backslash) or, when empty, the source's folder, followed by the
// file name of the present target.
std::string RetargetConvertedFile(const std::string& savePath, const std::string& source,
                                  const std::string& target);

}  // namespace kv
