// SAKorvamelden.exe: plays the movie appended to its own file.
#include <objbase.h>
#include <windows.h>

#include <string>

#include "stub/ProjectorForm.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char path[MAX_PATH * 2] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int code = kv::RunProjector(std::string(path, n < sizeof path ? n : 0));
    if (SUCCEEDED(com)) CoUninitialize();
    return code;
}
