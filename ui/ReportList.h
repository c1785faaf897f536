// Report-style list view with a header, whole-row selection and optional
// check boxes and in-place editing of the first column.
#pragma once

#include <windows.h>
// (windows.h first: commctrl.h needs its types)
#include <commctrl.h>

#include <string>
#include <vector>

#include "ui/DialogControl.h"

namespace kv {

class ReportList : public DialogControl {
public:
    explicit ReportList(Control* parent) : DialogControl(parent) { flatFrame_ = true; }
    bool create(int x, int y, int w, int h, int id, bool checkBoxes, bool editLabels = false);
    void addColumn(const std::string& caption, int width);
    int columnCount() const { return columns_; }

    // Adds a row (cells left to right); returns its index.
    int addRow(const std::vector<std::string>& cells);
    void insertRow(int index, const std::vector<std::string>& cells);
    void deleteRow(int row);
    void clear();
    int rowCount() const;
    std::string cell(int row, int column) const;
    void setCell(int row, int column, const std::string& text);
    bool checked(int row) const;
    void setChecked(int row, bool c);
    // The selected row (the first one), -1 when none.
    int selectedIndex() const;
    void setSelectedIndex(int row);
    void ensureVisible(int row);
    // Starts in-place editing of a row's first cell.
    void editRow(int row);

    // A row's check box changed (by the user or by setChecked).
    std::function<void(int row)> onItemChecked;
    // In-place editing ended with new text; return false to refuse it.
    std::function<bool(int row, const std::string& text)> onEdited;
    // onChange: the selected row changed.

protected:
    bool reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    int columns_ = 0;
};

}  // namespace kv
