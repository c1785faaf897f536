// Not a test: takes the screenshots of the playlist window and its dialogs
// into a folder, as BMP files (scripts convert them). Run by hand under Wine:
//   wine playlist_screenshots.exe <folder>
#include <windows.h>

#include <cstdio>
#include <string>

#include "app/MainForm.h"
#include "playlist/EditPlayListForm.h"
#include "playlist/EditPlayListItemForm.h"
#include "playlist/NewPlayListForm.h"
#include "playlist/PlayListForm.h"
#include "playlist/RenamePlayListForm.h"
#include "playlist/SearchDirectoryForm.h"
#include "tests/support/AppHarness.h"

namespace {

std::string g_folder;

void SaveScreen(const RECT& r, const std::string& name) {
    int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    int stride = (w * 3 + 3) & ~3;
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    fh.bfSize = fh.bfOffBits + static_cast<DWORD>(stride * h);
    std::string path = g_folder + "\\" + name + ".bmp";
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(&fh, sizeof fh, 1, f);
        std::fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f);
        std::fwrite(bits, 1, static_cast<size_t>(stride * h), f);
        std::fclose(f);
    }
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}

void SaveWindow(HWND h, const std::string& name, int margin = 0) {
    RECT r;
    GetWindowRect(h, &r);
    InflateRect(&r, margin, margin);
    SaveScreen(r, name);
}

void Settle() { kv::test::AppHarness::pump(20); }

// The menu being tracked is captured from a timer, then closed.
std::string g_menuShot;
RECT g_menuArea;
void CALLBACK MenuTimer(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    SaveScreen(g_menuArea, g_menuShot);
    EndMenu();
}

void ShootMenu(HMENU menu, HWND owner, int x, int y, const RECT& area, const std::string& name) {
    g_menuShot = name;
    g_menuArea = area;
    SetTimer(nullptr, 0, 700, &MenuTimer);
    SetForegroundWindow(owner);
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, x, y, 0, owner, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    g_folder = argc > 1 ? argv[1] : ".";
    kv::test::AppHarness app;
    CreateDirectoryA(app.folder.file("PlayLists").c_str(), nullptr);
    app.folder.write("PlayLists\\儿童卡通.fpl", "");
    std::string list = "[PlayList]\r\n";
    const char* names[] = {"海底世界", "小熊维尼", "星际旅行", "森林音乐会", "快乐的小鸭", "雪人",
                           "魔法城堡", "太空漫步", "夏日海滩", "龙舟比赛",   "月亮船",     "彩虹桥"};
    for (int i = 0; i < 12; ++i) {
        std::string n = std::to_string(i + 1);
        list += "File" + n + "=D:\\Flash\\" + names[i] + ".swf\r\nTitle" + n + "=" + names[i] + "\r\n";
    }
    // The current list is a named one: its menu entry is bold.
    app.folder.write("PlayLists\\动画精选.fpl", list);
    app.start(
        "[WindowState]\r\nIsMaximized=0\r\nLeft=20\r\nTop=20\r\nWidth=900\r\nHeight=600\r\n"
        "[PlayListInfo]\r\nFileIndex=3\r\nFileName=" +
        app.folder.file("PlayLists\\动画精选.fpl") + "\r\n[PlayListOption]\r\nAlignment=2\r\n");
    kv::TMainForm& main = *kv::MainForm;
    kv::TPlayListForm& pl = *kv::PlayListForm;
    SetForegroundWindow(main.handle());
    kv::CurrentIndex = 3;
    SendMessageA(pl.lstPlayList.handle(), LB_SETCURSEL, 6, 0);
    Settle();
    SaveWindow(pl.handle(), "playlist_window");
    SaveWindow(main.handle(), "main_window");

    // The popup menu of the list, with an item selected.
    RECT lr;
    GetWindowRect(pl.lstPlayList.handle(), &lr);
    pl.pmPlayListPopup();
    RECT area{lr.left - 10, lr.top, lr.left + 420, lr.top + 460};
    ShootMenu(pl.pmPlayList->handle(), pl.handle(), lr.left + 40, lr.top + 60, area, "popup_menu");

    // The main menu "播放列表(L)" with the two named lists.
    RECT mr;
    int index = 0;
    for (int i = 0; i < main.MainMenu1->root().count(); ++i)
        if (main.MainMenu1->root().item(i)->name() == "mmiPlayList") index = i;
    GetMenuItemRect(main.handle(), main.MainMenu1->handle(), static_cast<UINT>(index), &mr);
    RECT marea{mr.left - 4, mr.top, mr.left + 360, mr.bottom + 420};
    ShootMenu(main.item("mmiPlayList").submenu(), main.handle(), mr.left, mr.bottom, marea, "playlist_menu");

    // The dialogs.
    {
        kv::TNewPlayListForm f;
        f.showModeless();
        Settle();
        SaveWindow(f.handle(), "dialog_new_playlist");
    }
    {
        kv::TEditPlayListForm* f = kv::DialogForm::openModeless<kv::TEditPlayListForm>();
        f->lvFileList->setSelectedIndex(2);
        Settle();
        SaveWindow(f->handle(), "dialog_edit_playlist");
        f->close();
        Settle();
    }
    {
        kv::TEditPlayListItemForm f;
        f.showModeless();
        Settle();
        SaveWindow(f.handle(), "dialog_edit_item");
    }
    {
        kv::TRenamePlayListForm f("动画精选");
        f.showModeless();
        Settle();
        SaveWindow(f.handle(), "dialog_rename_playlist");
    }
    {
        kv::TSearchDirectoryForm f("D:\\Flash", true, kv::SearchTarget::CurrentList);
        f.create();
        f.lblCurrentFile->setText("D:\\Flash\\儿童\\动画合集\\第二季\\快乐的小鸭.swf");
        f.lblFileNum->setText("128");
        ShowWindow(f.handle(), SW_SHOWNOACTIVATE);
        // Painted without running the message loop, so no search starts.
        RedrawWindow(f.handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Sleep(300);
        SaveWindow(f.handle(), "dialog_search_directory");
        ShowWindow(f.handle(), SW_HIDE);
    }
    app.stop();
    return 0;
}
