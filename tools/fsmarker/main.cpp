// A harmless stand-in for a program a movie runs through FSCommand exec: it
// writes "<its own path>.ran" (holding that path) and ends, so a test can see
// which copy of it was started.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char self[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, self, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return 1;
    const std::string marker = std::string(self) + ".ran";
    HANDLE h =
        CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(h, self, n, &written, nullptr);
    CloseHandle(h);
    return 0;
}
