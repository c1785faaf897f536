// A dialog panel: a container with an optional caption and a lowered or
// raised one-pixel bevel (read-only text fields are panels of this kind).
#pragma once

#include <string>

#include "ui/Control.h"
#include "ui/Label.h"

namespace kv {

enum class Bevel { None, Lowered, Raised };

class DialogPanel : public Panel {
public:
    explicit DialogPanel(Control* parent) : Panel(parent) {}
    bool create(int x, int y, int w, int h, const std::string& caption = "", Bevel bevel = Bevel::None);
    const std::string& text() const { return text_; }
    void setText(const std::string& t);
    void setBevel(Bevel b);
    void setTextAlign(TextAlign a);

protected:
    void paint(HDC dc, const RECT& client) override;

private:
    std::string text_;
    Bevel bevel_ = Bevel::None;
    TextAlign align_ = TextAlign::Left;
};

}  // namespace kv
