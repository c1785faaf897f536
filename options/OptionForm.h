// TOptionForm "选项": the options of the program on seven pages chosen from a
// list on the left. It shows the options in memory; OK stores them back,
// applies at once what can be applied, writes its own five keys of the
// settings file and the file associations. Cancel changes nothing.
#pragma once

#include <string>

#include "ui/DialogForm.h"

namespace kv {

class TOptionForm : public DialogForm {
public:
    static constexpr int kPageCount = 7;

    TOptionForm();
    void FormCreate() override;

    // The page shown (the selected row of lstOption).
    int activePage() const { return page_; }
    void showPage(int index);

    // Handlers.
    void lstOptionClick();
    void chkShowInTrayClick();
    void chkShowTrayIconClick();
    void chkListLatestFilesClick();
    void rdoPlaceFileInFollowingDirectoryClick();
    void sbChooseFilePlaceDirectoryClick();
    void bbtnOKClick();

    // Controls by role, for the handlers and for tests.
    CheckBox& check(const char* name) const { return get<CheckBox>(name); }
    RadioButton& radio(const char* name) const { return get<RadioButton>(name); }
    SpinEdit& spin(const char* name) const { return get<SpinEdit>(name); }
    ComboBox& combo(const char* name) const { return get<ComboBox>(name); }
    DrawListBox& lstOption() const { return get<DrawListBox>("lstOption"); }
    TrackBar& trbPRI() const { return get<TrackBar>("trbPRI"); }
    Edit& edtFilePlaceDirectory() const { return get<Edit>("edtFilePlaceDirectory"); }

private:
    void fillFromSettings();
    void storeSettings();
    void applyPlayListAppearance();
    void applyConversionFolder();
    void drawOptionRow(const DrawItem& item);

    int page_ = -1;
};

// Opens the dialog modally (the main menu's and the tray menu's "选项...").
void ShowOptionForm();

}  // namespace kv
