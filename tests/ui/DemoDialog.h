// A dialog with every kind of dialog control, declared as a table; the tests
// drive it by real messages.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/FakeUiServices.h"
#include "tests/ui/DialogDriver.h"
#include "ui/DialogForm.h"

namespace kv::test {

class DemoDialog : public DialogForm {
public:
    DemoDialog();
    void FormCreate() override;

    void bbtnOKClick() { log.push_back("ok"); }
    void bbtnApplyClick() { log.push_back("apply"); }
    void chkLoopClick() {
        log.push_back(std::string("loop:") + (get<CheckBox>("chkLoop").checked() ? "1" : "0"));
    }
    void rgQualityClick() {
        log.push_back("quality:" + std::to_string(get<RadioGroup>("rgQuality").itemIndex()));
    }
    void seVolumeChange() { log.push_back("volume"); }
    void sbMoveUpClick() { log.push_back("up"); }

    std::vector<std::string> log;
};

// A test with the demo dialog shown modeless and active, and message boxes recorded.
class DemoDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        dlg.showModeless();
        SetForegroundWindow(dlg.handle());
        pump(60);
    }
    template <class T>
    T& c(const char* name) {
        return dlg.get<T>(name);
    }
    FakeUiServices fakeUi;
    DemoDialog dlg;
};

}  // namespace kv::test
