#include "options/OptionForm.h"

#include <algorithm>

#include "app/AppState.h"
#include "app/MainForm.h"
#include "options/ConvertWindowLink.h"
#include "options/FileAssociation.h"
#include "options/FunctionUnit.h"
#include "options/OptionKeys.h"
#include "platform/AnsiText.h"
#include "playlist/PlayListForm.h"
#include "ui/Application.h"
#include "ui/RuntimeErrors.h"
#include "ui/SystemServices.h"

namespace kv {

namespace {

const char* const kPages[TOptionForm::kPageCount] = {"tsGeneral",   "tsTray",    "tsFileType", "tsPlayList",
                                                     "tsFSCommand", "tsPlaying", "tsConvert"};
const char* const kPageCaptions[TOptionForm::kPageCount] = {"常规",      "系统托盘", "文件类型", "播放列表",
                                                            "FSCommand", "正在播放", "格式转换"};
const char* const kFsCommandRadios[] = {"rdoAllowExecuteFSCommand", "rdoAskBeforeExecuteFSCommand",
                                        "rdoForbidExecuteFSCommand"};

bool folderExists(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return !path.empty() && a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

int CALLBACK addFontName(const LOGFONTA* lf, const TEXTMETRICA*, DWORD, LPARAM lp) {
    auto* names = reinterpret_cast<std::vector<std::string>*>(lp);
    if (lf->lfFaceName[0] != '@') names->push_back(lf->lfFaceName);  // vertical variants left out
    return 1;
}

// The names of the screen fonts, sorted, each once.
std::vector<std::string> screenFonts() {
    std::vector<std::string> names;
    HDC dc = GetDC(nullptr);
    LOGFONTA lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExA(dc, &lf, addFontName, reinterpret_cast<LPARAM>(&names), 0);
    ReleaseDC(nullptr, dc);
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

}  // namespace

void TOptionForm::FormCreate() {
    DrawListBox& list = lstOption();
    list.setItemHeight(18);
    for (const char* c : kPageCaptions) list.add(c);
    list.onDrawItem = [this](const DrawItem& item) { drawOptionRow(item); };

    int page = ReadOptionPage(ProgramPath);
    if (page < 0 || page >= kPageCount) page = 0;
    list.setSelectedIndex(page);
    showPage(page);
    fillFromSettings();
    OptionAssociationKeys keys = ReadOptionAssociationKeys(ProgramPath);
    check("chkRegswf").setChecked(keys.Regswf);
    check("chkRegffv").setChecked(keys.Regffv);
    check("chkRegfpl").setChecked(keys.Regfpl);
    check("chkLinkToMenu").setChecked(keys.LinkToMenu);
}

void TOptionForm::drawOptionRow(const DrawItem& item) {
    lstOption().drawDefault(item);
    if (item.selected) {
        RECT r = item.rect;
        FrameRect(item.dc, &r, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    }
}

void TOptionForm::showPage(int index) {
    if (index < 0 || index >= kPageCount) return;
    for (int i = 0; i < kPageCount; ++i) get<DialogPanel>(kPages[i]).setVisible(i == index);
    page_ = index;
}

void TOptionForm::lstOptionClick() { showPage(lstOption().selectedIndex()); }

void TOptionForm::fillFromSettings() {
    const Settings& o = Options;
    check("chkResumePlayWhenStart").setChecked(o.ResumePlayWhenStart);
    check("chkAutoPlayWhenStart").setChecked(o.AutoPlayWhenStart);
    check("chkConfirmWhenQuit").setChecked(o.ConfirmWhenQuit);
    check("chkListLatestFiles").setChecked(o.ListLatestFilesNum > 0);
    spin("speLatestFilesNum").setValue(o.ListLatestFilesNum);
    check("chkShowInTaskbar").setChecked(o.ShowInTaskbar);
    check("chkShowInTray").setChecked(o.ShowTrayIcon);
    check("chkShowTrayIcon").setChecked(o.ShowTrayIcon);
    trbPRI().setPosition(5 - o.ApplicationPRI);
    check("chkShowToolsTip").setChecked(o.ShowToolsTip);
    check("chkMinimizedToTray").setChecked(o.MinimizedToTray);
    check("chkCloseToTray").setChecked(o.CloseToTray);
    chkShowTrayIconClick();  // the dependents' enabled state
    check("chkCheckFileLinkWhenStart").setChecked(o.CheckFileLinkWhenStart);
    check("chkAddToPlayListWhenDbClickInWindows").setChecked(o.AddToPlayListWhenDbClickInWindows);

    check("chkShowIndexInPlayList").setChecked(o.ShowIndex);
    spin("speOppositeItemHeight").setValue(o.OppositeItemHeight);
    combo("cboAlignmentOfPlayListIndex").setItemIndex(o.Alignment);
    spin("speFontSizeOfPlayList").setValue(o.FontSize);
    ComboBox& fonts = combo("cboFontNameOfPlayList");
    fonts.setItems(screenFonts());
    fonts.setItemIndex(fonts.indexOf(o.FontName));
    check("chkBoldOfPlayListFont").setChecked(o.Bold);
    check("chkItalicOfPlayListFont").setChecked(o.Italic);
    check("chkUnderlineOfPlayListFont").setChecked(o.Underline);

    if (o.AllowExecute >= 0 && o.AllowExecute <= 2) radio(kFsCommandRadios[o.AllowExecute]).setChecked(true);
    combo("cboOperateWhenFSCommandIsExec").setItemIndex(o.Exec);
    combo("cboOperateWhenFSCommandIsQuit").setItemIndex(o.Quit);
    check("chkWarningWhenFSCommandIsnotExecute").setChecked(o.WarningWhenIsnotExecute);

    check("chkCancelScreenSaveWhenPlay").setChecked(o.CancelScreenSaveWhenPlay);
    check("chkExecuteFullScreenWhenDbClick").setChecked(o.ExecuteFullScreenWhenDbClick);
    check("chkQuitFullScreenWhenStop").setChecked(o.QuitFullScreenWhenStop);

    radio(o.ConvertMode != 0 ? "rdoswf2exe" : "rdoexe2swf").setChecked(true);
    const bool haveFolder = folderExists(o.SavePath);
    radio(haveFolder ? "rdoPlaceFileInFollowingDirectory" : "rdoPlaceFileInSourceFolder").setChecked(true);
    edtFilePlaceDirectory().setText(haveFolder ? o.SavePath : "");
    rdoPlaceFileInFollowingDirectoryClick();
    check("chkPlayConvertedFiles").setChecked(o.PlayConvertedFiles);
    check("chkDeleteConvertedFiles").setChecked(o.DeleteConvertedFiles);
}

void TOptionForm::chkShowInTrayClick() {
    check("chkShowTrayIcon").setChecked(check("chkShowInTray").checked());
}

void TOptionForm::chkShowTrayIconClick() {
    const bool on = check("chkShowTrayIcon").checked();
    check("chkShowInTray").setChecked(on);
    check("chkMinimizedToTray").setEnabled(on);
    check("chkCloseToTray").setEnabled(on);
}

void TOptionForm::chkListLatestFilesClick() {
    if (!check("chkListLatestFiles").checked()) spin("speLatestFilesNum").setValue(0);
}

void TOptionForm::rdoPlaceFileInFollowingDirectoryClick() {
    const bool on = radio("rdoPlaceFileInFollowingDirectory").checked();
    edtFilePlaceDirectory().setEnabled(on);
    get<SpeedButton>("sbChooseFilePlaceDirectory").setEnabled(on);
}

void TOptionForm::sbChooseFilePlaceDirectoryClick() {
    std::string folder;
    if (BrowseForFolder("请选择文件的输出目录", "", folder))
        edtFilePlaceDirectory().setText(EnsureTrailingBackslash(folder));
}

// Stores and applies in the fixed order; a refused registry or settings
// write is reported and leaves the window open with what came before stored.
void TOptionForm::bbtnOKClick() {
    try {
        storeSettings();
        OptionAssociationKeys keys{check("chkRegswf").checked(), check("chkRegfpl").checked(),
                                   check("chkRegffv").checked(), check("chkLinkToMenu").checked()};
        WriteOptionAssociationKeys(ProgramPath, keys);
        ApplyFileAssociations(ProgramPath, {keys.Regswf, keys.Regfpl, keys.Regffv, keys.LinkToMenu});
        WriteOptionPage(ProgramPath, lstOption().selectedIndex());
    } catch (const std::exception& e) {
        ShowErrorReport(e);
        return;
    }
    setModalResult(IDOK);
}

void TOptionForm::storeSettings() {
    Settings& o = Options;
    o.ResumePlayWhenStart = check("chkResumePlayWhenStart").checked();
    o.AutoPlayWhenStart = check("chkAutoPlayWhenStart").checked();
    o.ConfirmWhenQuit = check("chkConfirmWhenQuit").checked();
    o.ListLatestFilesNum = spin("speLatestFilesNum").value();
    o.ShowInTaskbar = check("chkShowInTaskbar").checked();
    o.ShowTrayIcon = check("chkShowInTray").checked();
    Application::instance().showTaskbarButton(o.ShowInTaskbar);

    o.ApplicationPRI = 5 - trbPRI().position();
    sys().setPriorityClass(PriorityClassOf(o.ApplicationPRI));
    o.ShowToolsTip = check("chkShowToolsTip").checked();

    if (o.ShowTrayIcon) {
        o.MinimizedToTray = check("chkMinimizedToTray").checked();
        o.CloseToTray = check("chkCloseToTray").checked();
    }
    if (MainForm) {
        if (o.ShowTrayIcon && !MainForm->TrayIconShown()) MainForm->AddTrayIcon();
        if (!o.ShowTrayIcon && MainForm->TrayIconShown()) MainForm->RemoveTrayIcon();
    }
    o.CheckFileLinkWhenStart = check("chkCheckFileLinkWhenStart").checked();
    o.AddToPlayListWhenDbClickInWindows = check("chkAddToPlayListWhenDbClickInWindows").checked();
    o.ShowIndex = check("chkShowIndexInPlayList").checked();
    applyPlayListAppearance();

    for (int i = 0; i < 3; ++i)
        if (radio(kFsCommandRadios[i]).checked()) o.AllowExecute = i;
    o.Exec = std::max(0, combo("cboOperateWhenFSCommandIsExec").itemIndex());
    o.Quit = std::max(0, combo("cboOperateWhenFSCommandIsQuit").itemIndex());
    o.WarningWhenIsnotExecute = check("chkWarningWhenFSCommandIsnotExecute").checked();
    o.CancelScreenSaveWhenPlay = check("chkCancelScreenSaveWhenPlay").checked();
    o.ExecuteFullScreenWhenDbClick = check("chkExecuteFullScreenWhenDbClick").checked();
    o.QuitFullScreenWhenStop = check("chkQuitFullScreenWhenStop").checked();
    o.ConvertMode = radio("rdoexe2swf").checked() ? 0 : 1;
    applyConversionFolder();
    o.PlayConvertedFiles = check("chkPlayConvertedFiles").checked();
    o.DeleteConvertedFiles = check("chkDeleteConvertedFiles").checked();
    if (ConvertWindow && ConvertWindow->setOptions)
        ConvertWindow->setOptions(o.ConvertMode, o.DeleteConvertedFiles, o.PlayConvertedFiles);
}

void TOptionForm::applyPlayListAppearance() {
    Settings& o = Options;
    o.FontSize = spin("speFontSizeOfPlayList").value();
    const std::string font = combo("cboFontNameOfPlayList").text();
    if (!font.empty()) o.FontName = font;  // no font chosen keeps the one in use
    o.OppositeItemHeight = spin("speOppositeItemHeight").value();
    o.Bold = check("chkBoldOfPlayListFont").checked();
    o.Italic = check("chkItalicOfPlayListFont").checked();
    o.Underline = check("chkUnderlineOfPlayListFont").checked();
    o.Alignment = std::max(0, combo("cboAlignmentOfPlayListIndex").itemIndex());
    if (PlayListForm) {
        PlayListForm->applyListFont();
        PlayListForm->lstPlayList.invalidate();
    }
}

// A folder that does not exist means "beside the sources"; an open
// conversion list is pointed at the new place either way.
void TOptionForm::applyConversionFolder() {
    const std::string typed = edtFilePlaceDirectory().text();
    const bool useFolder = radio("rdoPlaceFileInFollowingDirectory").checked() && folderExists(typed);
    Options.SavePath = useFolder ? EnsureTrailingBackslash(typed) : std::string();
    if (!ConvertWindow || !ConvertWindow->rows || !ConvertWindow->setTarget) return;
    const auto rows = ConvertWindow->rows();
    for (std::size_t i = 0; i < rows.size(); ++i)
        ConvertWindow->setTarget(i, RetargetConvertedFile(Options.SavePath, rows[i].first, rows[i].second));
}

void ShowOptionForm() {
    TOptionForm form;
    form.ShowModal();
}

}  // namespace kv
