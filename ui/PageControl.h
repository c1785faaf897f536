// Page control: tabs over a stack of pages; each page holds its own controls.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ui/DialogControl.h"
#include "ui/DialogPanel.h"

namespace kv {

class PageControl;

// One page: a container shown while its tab is chosen.
class TabSheet : public DialogPanel {
public:
    explicit TabSheet(PageControl* owner);
    PageControl* pageControl() const { return owner_; }
    int pageIndex() const;

private:
    PageControl* owner_;
};

class PageControl : public DialogControl {
public:
    explicit PageControl(Control* parent) : DialogControl(parent) {}
    bool create(int x, int y, int w, int h, int id);
    // Adds a page with its tab; the page control owns it.
    TabSheet* addPage(const std::string& caption);
    int pageCount() const { return static_cast<int>(pages_.size()); }
    TabSheet* page(int index) const { return pages_.at(static_cast<size_t>(index)).get(); }
    int activePageIndex() const;
    // Shows a page; raises onChange when the page changes.
    void setActivePageIndex(int index);
    // The next or previous page, wrapping (Ctrl+Tab).
    void selectNextPage(bool forward);

protected:
    bool reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void showActive();
    void placePages();
    std::vector<std::unique_ptr<TabSheet>> pages_;
    int shown_ = -1;
};

}  // namespace kv
