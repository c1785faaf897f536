// Check box, radio button and radio group, drawn by the dialog skin. Setting
// the state from code raises onClick exactly as a user click does (when the
// state changes), so code that mirrors one box in another works both ways.
// Radio buttons with the same parent control exclude each other.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ui/DialogControl.h"

namespace kv {

class CheckBox : public DialogControl {
public:
    explicit CheckBox(Control* parent) : DialogControl(parent) { tracksHover_ = true; }
    bool create(int x, int y, int w, int h, int id, const std::string& caption);
    bool checked() const { return checked_; }
    // Changes the state; onClick runs when it changed.
    void setChecked(bool c);
    // Toggles as a click does.
    void click() { setChecked(!checked_); }

protected:
    bool reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    bool checked_ = false;
};

class RadioButton : public CheckBox {
public:
    explicit RadioButton(Control* parent) : CheckBox(parent) {}
    // Checking one unchecks its siblings (without their onClick); onClick runs
    // when this one became checked.
    void setChecked(bool c);
    void click() { setChecked(true); }
    // The radio buttons sharing this one's parent, in creation order.
    std::vector<RadioButton*> group() const;

protected:
    bool reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
};

// A group box of radio buttons, one per item, laid out in columns. onClick
// runs when the chosen item changes (by the user or by setItemIndex).
class RadioGroup : public DialogControl {
public:
    explicit RadioGroup(Control* parent) : DialogControl(parent) {}
    bool create(int x, int y, int w, int h, int id, const std::string& caption);
    void setItems(const std::vector<std::string>& items);
    int count() const { return static_cast<int>(buttons_.size()); }
    void setColumns(int columns);
    int itemIndex() const;
    void setItemIndex(int index);
    RadioButton* button(int index) const { return buttons_.at(static_cast<size_t>(index)).get(); }
    std::string caption() const { return caption_; }

protected:
    void paint(HDC dc, const RECT& client) override;

private:
    void layout();
    std::string caption_;
    std::vector<std::unique_ptr<RadioButton>> buttons_;
    int columns_ = 1;
    int nextId_ = 0;
};

// A captioned frame that holds other controls.
class GroupBox : public DialogControl {
public:
    explicit GroupBox(Control* parent) : DialogControl(parent) {}
    bool create(int x, int y, int w, int h, const std::string& caption);
    std::string caption() const { return caption_; }
    void setCaption(const std::string& c);

protected:
    void paint(HDC dc, const RECT& client) override;
    std::string caption_;
};

// Paints a group frame with its caption over a background already drawn.
void paintGroupFrame(HDC dc, const RECT& client, const std::string& caption, bool enabled);

}  // namespace kv
