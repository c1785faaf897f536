#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/Program.h"
#include "platform/CommandLine.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    std::vector<std::string> params;
    for (int i = 1; i < __argc; ++i) params.emplace_back(__argv[i]);
    // An unquoted path with blanks arrives in pieces.
    params = kv::JoinSplitPath(std::move(params), [](const std::string& p) {
        DWORD a = GetFileAttributesA(p.c_str());
        return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
    });
    return kv::RunProgram(params);
}
