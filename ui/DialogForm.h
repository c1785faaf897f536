// Dialogs declared as tables of controls.
//
// A dialog is a DialogForm whose controls come from a table of ControlSpec
// rows (kind, name, caption, parent, rectangle, flags, hint, handler), the
// way the menus come from MenuSpec tables. Rectangles are in dialog units
// (ui/DialogUnits.h), so a dialog looks the same at 96 and at 120 DPI. The
// table order is the tab order. The form is created when it is opened (or by
// create()) and freed with the object: a modal dialog is a local variable, a
// modeless one is opened with openModeless and deletes itself when closed.
//
// Keys: Tab / Shift+Tab move through the table order; Enter presses the
// focused push button, otherwise the default button (cfDefault); Esc presses
// the cancel button (cfCancel) or closes the form with IDCANCEL; the arrow
// keys move between radio buttons; Ctrl+Tab turns pages. The form sees every
// key first in FormKeyDown (set the key to 0 to swallow it).
//
// Example, a complete dialog:
//
//   class TNewPlayListForm : public DialogForm {
//   public:
//       TNewPlayListForm();
//       void FormCreate() override;     // controls exist here
//       void bbtnOKClick();
//       Edit* edtPlayListName = nullptr;
//   };
//
//   const ControlSpec<TNewPlayListForm> kNewPlayListControls[] = {
//       {Ctl::Label, "Label1", "请输入要新建的播放列表的名称：", nullptr, {7, 7, 150, 10}},
//       {Ctl::Edit, "edtPlayListName", "", nullptr, {7, 19, 150, 12}},
//       {Ctl::Button, "bbtnOK", "确定", nullptr, {50, 38, 50, 14}, cfDefault, nullptr,
//        &TNewPlayListForm::bbtnOKClick},
//       {Ctl::Button, "bbtnCancel", "取消", nullptr, {107, 38, 50, 14}, cfCancel},
//   };
//
//   TNewPlayListForm::TNewPlayListForm() : DialogForm({"新建播放列表", 164, 59}) {
//       declare(kNewPlayListControls);
//   }
//   void TNewPlayListForm::FormCreate() {
//       edtPlayListName = &get<Edit>("edtPlayListName");
//       useNameFilter(*edtPlayListName, kPlayListNameFilter);   // ui/NameFilter.h
//   }
//   void TNewPlayListForm::bbtnOKClick() {
//       ...                                   // work; errors: ui/RuntimeErrors.h
//       setModalResult(IDOK);                 // closes the modal form
//   }
//
//   TNewPlayListForm f;
//   if (f.ShowModal() == IDOK) ...            // centred on the main window
//
// Captions: items of ComboList / ComboEdit / RadioGroup are separated by '|'
// (for a radio group the first part is the group's caption); ReportList
// columns are "caption:width|caption:width" (widths in dialog units);
// SpinEdit, TrackBar and ProgressBar take their range as "min..max" (a spin
// edit starts at min). Handlers: the click of buttons, check boxes, radio
// buttons and radio groups; the change of edits, memos, combos, spin edits,
// track bars, page controls (page turned), list views and list boxes
// (selection). Other events are the controls' own members (onKeyPress,
// onItemChecked, onDrawItem...), set in FormCreate.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/ComboBox.h"
#include "ui/DialogPanel.h"
#include "ui/DialogUnits.h"
#include "ui/DrawListBox.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/Handles.h"
#include "ui/Label.h"
#include "ui/PageControl.h"
#include "ui/ReportList.h"
#include "ui/SpinEdit.h"
#include "ui/TrackBar.h"

namespace kv {

enum class Ctl {
    Label,        // Label: static text (cfWordWrap, cfRight, cfCenter)
    Button,       // Button: flat push button (cfDefault, cfCancel, cfCloseOk)
    SpeedButton,  // SpeedButton: flat, no focus, glyph and hint
    Edit,         // Edit (cfDigits, cfReadOnly, cfPassword)
    Memo,         // Memo (cfReadOnly)
    CheckBox,     // CheckBox (cfChecked)
    RadioButton,  // RadioButton; those sharing a parent exclude each other (cfChecked)
    RadioGroup,   // RadioGroup: "caption|item|item"
    ComboList,    // ComboBox, drop-down list: "item|item"
    ComboEdit,    // ComboBox, editable (history style): "item|item"
    ImageCombo,   // ImageComboBox: extended combo with pictures
    GroupBox,     // GroupBox: captioned frame holding controls
    Panel,        // DialogPanel: container, optional text (cfLowered, cfRaised)
    SpinEdit,     // SpinEdit: "min..max"
    TrackBar,     // TrackBar: "min..max"
    ProgressBar,  // ProgressBar: "min..max"
    PageControl,  // PageControl: tabs; its pages are TabSheet rows with it as parent
    TabSheet,     // TabSheet: one page (its rectangle is ignored)
    ReportList,   // ReportList: "caption:width|..." (cfCheckBoxes, cfEditLabels)
    DrawList,     // DrawListBox: owner-drawn list box
};

enum ControlFlag : unsigned {
    cfDefault = 1u << 0,  // Enter presses this button
    cfCancel = 1u << 1,   // Esc presses this button; it closes with IDCANCEL
    cfCloseOk = 1u << 2,  // the button closes with IDOK after its handler
    cfDisabled = 1u << 3,
    cfHidden = 1u << 4,
    cfReadOnly = 1u << 5,
    cfDigits = 1u << 6,       // edit: only digits can be typed
    cfChecked = 1u << 7,      // check box, radio button
    cfWordWrap = 1u << 8,     // label
    cfRight = 1u << 9,        // label, panel: right-aligned text
    cfCenter = 1u << 10,      // label, panel: centred text
    cfCheckBoxes = 1u << 11,  // report list
    cfEditLabels = 1u << 12,  // report list: first column editable in place
    cfLowered = 1u << 13,     // panel bevel
    cfRaised = 1u << 14,      // panel bevel
    cfPassword = 1u << 15,    // edit
    cfNoTabStop = 1u << 16,
    cfVertical = 1u << 17,  // track bar
    // Anchors: by default a control keeps its distance to the parent's left
    // and top edges. StretchX/Y move its right/bottom edge with the parent's;
    // MoveX/Y move the whole control with the parent's right/bottom edge.
    cfStretchX = 1u << 20,
    cfStretchY = 1u << 21,
    cfMoveX = 1u << 22,
    cfMoveY = 1u << 23,
};

// One control of a dialog table; F is the form class whose member handles
// the control's main event.
template <class F>
struct ControlSpec {
    Ctl kind;
    const char* name;              // component name, e.g. "edtPlayListName"
    const char* caption;           // caption, text, items or range (see above)
    const char* parent = nullptr;  // name of the container row, nullptr for the form
    DluRect rect = {};             // dialog units inside the parent's client area
    unsigned flags = 0;            // ControlFlag values
    const char* hint = nullptr;
    void (F::*handler)() = nullptr;
};

enum FormFlag : unsigned {
    fsSizeable = 1u << 0,       // resizable frame (anchors apply)
    fsNoBorderIcons = 1u << 1,  // no system menu and no close button
    fsNoCaption = 1u << 2,      // no caption bar at all
    fsStayOnTop = 1u << 3,
    fsNoCentre = 1u << 4,  // keep the position set by the opener
};

struct FormSpec {
    const char* caption;
    int width;  // client size in dialog units
    int height;
    unsigned flags = 0;
};

// A table row without its handler type, as the form keeps it.
struct ControlRow {
    Ctl kind;
    std::string name, caption, parent, hint;
    DluRect rect;
    unsigned flags;
    std::function<void()> handler;
};

class DialogForm : public Form {
public:
    explicit DialogForm(const FormSpec& spec);
    ~DialogForm() override;

    // Records the table; the controls are made by create(). Call it in the
    // constructor of the derived form (more than once adds more rows).
    template <class F, std::size_t N>
    void declare(const ControlSpec<F> (&rows)[N]) {
        declare(rows, N);
    }
    template <class F>
    void declare(const ControlSpec<F>* rows, std::size_t count) {
        F* self = static_cast<F*>(this);
        for (std::size_t i = 0; i < count; ++i) {
            const ControlSpec<F>& r = rows[i];
            ControlRow row{r.kind,
                           r.name ? r.name : "",
                           r.caption ? r.caption : "",
                           r.parent ? r.parent : "",
                           r.hint ? r.hint : "",
                           r.rect,
                           r.flags,
                           nullptr};
            if (r.handler) {
                auto h = r.handler;
                row.handler = [self, h] { (self->*h)(); };
            }
            rows_.push_back(std::move(row));
        }
    }

    // Creates the window and the controls (once), then runs FormCreate.
    bool create();
    // Runs the form modally, centred on the main window; IDOK or IDCANCEL
    // (or the result a button set). The form stays made until it is freed.
    int ShowModal();
    // Shows the form without blocking.
    void showModeless();
    // Creates a modeless form that frees itself when it is closed.
    template <class T, class... A>
    static T* openModeless(A&&... args) {
        T* form = new T(std::forward<A>(args)...);
        form->freeOnClose_ = true;
        form->showModeless();
        return form;
    }

    // The control of a table row by name; nullptr when there is none.
    Control* find(const std::string& name) const;
    // The control of a row by name as its class; throws std::logic_error
    // when the name is missing or of another kind (a fault of the table).
    template <class T>
    T& get(const std::string& name) const {
        T* c = dynamic_cast<T*>(find(name));
        if (!c) throw std::logic_error("dialog control missing: " + name);
        return *c;
    }

    // The focusable controls in tab order.
    std::vector<Control*> tabOrder() const;
    // Moves the focus as Tab (forward) or Shift+Tab does.
    void selectNext(bool forward);
    // The control with the focus (or the one that will get it when the form is activated).
    Control* activeControl() const;
    void setActiveControl(Control* c);
    Button* defaultButton() const { return default_; }
    Button* cancelButton() const { return cancel_; }
    const DialogUnits& units() const { return units_; }
    const FormSpec& spec() const { return spec_; }
    // Centres the form on the main window (on the work area when there is none).
    void centre();

    // Runs after the controls are made (fill lists, set values, bind events).
    virtual void FormCreate() {}

    // Handles a dialog key (Tab, Enter, Esc, arrows) of a queued message;
    // true when used. Public so tests can feed keys as the message loop does.
    bool dialogKey(const MSG& m);

protected:
    LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void onHandleDestroyed() override;

private:
    struct Made {
        Control* control;
        const ControlRow* row;
        RECT px;            // the rectangle made, in pixels
        SIZE parentClient;  // the parent's client size then
    };
    Control* make(const ControlRow& row, Control* parent, const RECT& px, int id);
    void applyAnchors();
    void addHint(Control* c, const std::string& text);
    bool moveRadio(Control* focus, bool forward);

    FormSpec spec_;
    std::string caption_;
    std::vector<ControlRow> rows_;
    std::vector<std::unique_ptr<Control>> owned_;
    std::vector<Made> made_;
    std::map<std::string, Control*> byName_;
    DialogUnits units_;
    Button* default_ = nullptr;
    Button* cancel_ = nullptr;
    HWND lastFocus_ = nullptr;
    UniqueWindow tooltip_;
    int hook_ = 0;
    bool created_ = false;
    bool freeOnClose_ = false;
};

// The control whose window is h or holds h (nullptr for foreign windows).
Control* controlOf(HWND h);

}  // namespace kv
