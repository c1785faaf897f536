#include "flashfile/SaveFileAs.h"

#include "flashfile/Projector.h"
#include "platform/AnsiText.h"
#include "platform/ExclusiveFile.h"
#include "ui/UiServices.h"

namespace kv {

const char* const kProjectorStubName = "SAKorvamelden.exe";

namespace {

void showConversionFailed(HWND owner) { ui().messageBox(owner, "转换失败", kAppTitle, MB_OK); }

}  // namespace

bool SaveFileAs(const std::string& source, const std::string& target, const std::string& programPath,
                HWND owner) {
    const std::string from = PathLowerFileExt(source);
    const std::string to = PathLowerFileExt(target);
    const bool fromSwf = from == ".swf", fromExe = from == ".exe";
    const bool toSwf = to == ".swf", toExe = to == ".exe";

    if ((fromSwf && toSwf) || (fromExe && toExe)) {
        try {
            CopyFileOver(source, target);
            return true;
        } catch (const FileError&) {
            return false;  // a failed copy is not reported
        }
    }
    if (fromSwf && toExe) {
        const std::string stub = programPath + kProjectorStubName;
        if (!ExclusiveFile::exists(stub)) {
            ui().messageBox(owner, "文件”" + stub + "“丢失，请重新安装本软件", kAppTitle,
                            MB_OK | MB_ICONEXCLAMATION);
            return false;
        }
        try {
            SwfToExe(source, target, stub);
            return true;
        } catch (const FileError&) {
            showConversionFailed(owner);
            return false;
        }
    }
    if (fromExe && toSwf) {
        try {
            return ExeToSwf(source, target);
        } catch (const FileError&) {
            showConversionFailed(owner);
            return false;
        }
    }
    return false;
}

}  // namespace kv
