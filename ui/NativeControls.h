// Thin wrappers of the system list box and report-style list view.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "ui/Control.h"
#include "ui/Handles.h"

namespace kv {

class ListBox : public Control {
public:
    explicit ListBox(Control* parent) : Control(parent) {}
    bool create(int x, int y, int w, int h, DWORD style = LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL);
    void clear();
    int add(const std::string& text);
    int count() const;
    std::string text(int index) const;
    int selectedIndex() const;
    void setSelectedIndex(int index);
    void setItemHeight(int h);
    // Takes a font (the list box keeps it until another is set).
    void setFont(UniqueFont font);

private:
    UniqueFont font_;
};

class ListView : public Control {
public:
    explicit ListView(Control* parent) : Control(parent) {}
    bool create(int x, int y, int w, int h, DWORD style = LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL);
    void addColumn(int width);
    void setColumnWidth(int column, int width);
    int addRow(const std::string& caption, const std::string& value);
    void clear();
    int rowCount() const;
    std::string cell(int row, int column) const;
    void setColors(COLORREF text, COLORREF background);

private:
    int columns_ = 0;
};

}  // namespace kv
