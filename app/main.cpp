#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/Program.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    std::vector<std::string> params;
    for (int i = 1; i < __argc; ++i) params.emplace_back(__argv[i]);
    return kv::RunProgram(params);
}
