#include "options/ConvertWindowLink.h"

#include "platform/AnsiText.h"

namespace kv {

ConvertWindowLink* ConvertWindow = nullptr;

std::string RetargetConvertedFile(const std::string& savePath, const std::string& source,
                                  const std::string& target) {
    const std::string folder = savePath.empty() ? AnsiExtractFilePath(source) : savePath;
    return folder + AnsiExtractFileName(target);
}

}  // namespace kv
