// Combo boxes: a drop-down list, an editable combo (with a history of entries
// most recent first) and the extended combo box with a picture per item.
#pragma once

#include <windows.h>
// (windows.h first: commctrl.h needs its types)
#include <commctrl.h>

#include <string>
#include <vector>

#include "ui/DialogControl.h"

namespace kv {

class ComboBox : public DialogControl {
public:
    explicit ComboBox(Control* parent) : DialogControl(parent) { flatFrame_ = true; }
    // editable: the user may type text; otherwise a drop-down list. h is the
    // height of the closed box; the list shows up to dropDownCount items.
    bool create(int x, int y, int w, int h, int id, bool editable, int dropDownCount = 8);
    bool editable() const { return editable_; }

    void clear();
    int add(const std::string& item);
    void insert(int index, const std::string& item);
    void remove(int index);
    int count() const;
    std::string item(int index) const;
    std::vector<std::string> items() const;
    void setItems(const std::vector<std::string>& items);
    int indexOf(const std::string& item) const;  // exact match, -1 when absent
    // Selected item, -1 when none; setting it raises no onChange.
    int itemIndex() const;
    void setItemIndex(int index);
    bool droppedDown() const;
    // Sizes the drop-down list to show `rows` items at the items' real height.
    void setDropDownRows(int rows);
    // History: puts text first (removing an equal entry) and keeps at most max items.
    void addHistory(const std::string& text, int max);

protected:
    bool reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    bool editable_ = false;
};

// An extended combo box (drop-down list) whose items carry a picture of an
// image list and an indent.
class ImageComboBox : public DialogControl {
public:
    explicit ImageComboBox(Control* parent) : DialogControl(parent) {}
    ~ImageComboBox() override;
    bool create(int x, int y, int w, int h, int id, int dropDownCount = 8);
    // Takes the image list (destroyed with the control).
    void setImages(HIMAGELIST images);
    HIMAGELIST images() const { return images_; }
    int add(const std::string& text, int image, int indent = 0);
    void clear();
    int count() const;
    std::string item(int index) const;
    int itemIndex() const;
    void setItemIndex(int index);

protected:
    bool reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    HIMAGELIST images_ = nullptr;
};

}  // namespace kv
