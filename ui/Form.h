// A form: a top-level window (or one docked into a panel of another form)
// whose members are its controls and whose virtual methods are its events.
#pragma once

#include <string>

#include "ui/Control.h"

namespace kv {

class Menu;

class Form : public Control {
public:
    Form() : Control(nullptr) {}

    // Creates the top-level window of the form with its own window class.
    bool createForm(const char* className, const std::string& caption, int x, int y, int w, int h,
                    DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, DWORD exStyle = 0,
                    HWND owner = nullptr, HICON icon = nullptr);
    void setCaption(const std::string& c);
    std::string caption() const;
    void setMenu(Menu* m);

    // Shows the form and runs FormShow.
    void show();
    void hide();
    // Asks the form to close (the close query runs).
    void close();
    // Runs the form modally; returns the modal result.
    int showModal();
    void setModalResult(int r) { modalResult_ = r; }
    int modalResult() const { return modalResult_; }
    bool isModal() const { return modal_; }

    // Docks the form into a host control: child window, no border, filling the host.
    void dock(Control& host);
    bool docked() const { return host_ != nullptr; }
    // Takes a docked form out of its host: a borderless top-level window again.
    void undock();
    Control* host() const { return host_; }
    // Fits a docked form to its host again.
    void refit();

    // Frees the form: FormDestroy, then the window.
    void release();

    bool keyPreview = true;
    // How the next show() shows the window (SW_SHOWMAXIMIZED for a maximised start).
    int showCommand = SW_SHOW;
    int minWidth = 0, minHeight = 0;

    // Events.
    virtual void FormShow() {}
    virtual bool FormCloseQuery() { return true; }
    virtual void FormDestroy() {}
    virtual void FormResize() {}
    virtual void FormKeyDown(WORD& /*key*/, ShiftState /*shift*/) {}
    virtual void FormKeyUp(WORD& /*key*/, ShiftState /*shift*/) {}

protected:
    LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    // WM_COMMAND from controls other than menus.
    virtual bool handleCommand(UINT /*id*/, UINT /*code*/, HWND /*ctl*/) { return false; }
    // Messages the derived form wants to see before the standard handling.
    virtual bool handleFormMessage(UINT /*msg*/, WPARAM /*wp*/, LPARAM /*lp*/, LRESULT& /*result*/) {
        return false;
    }

private:
    Control* host_ = nullptr;
    int modalResult_ = 0;
    bool modal_ = false;
    bool released_ = false;
};

}  // namespace kv
