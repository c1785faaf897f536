#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    MessageBoxA(nullptr, "TesvanorFlash播放器", "TesvanorFlash播放器", MB_OK);
    return 0;
}
