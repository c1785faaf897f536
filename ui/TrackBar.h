// Track bar (slider) and progress bar.
#pragma once

#include "ui/DialogControl.h"

namespace kv {

class TrackBar : public DialogControl {
public:
    explicit TrackBar(Control* parent) : DialogControl(parent) {}
    bool create(int x, int y, int w, int h, int id, int minValue, int maxValue, bool vertical = false);
    void setRange(int minValue, int maxValue);
    int minValue() const;
    int maxValue() const;
    int position() const;
    // Moves the thumb; raises no onChange (the user's moves do).
    void setPosition(int p);
    void setTickFrequency(int f);
    void setPageSize(int p);

protected:
    bool reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    int last_ = 0;
    int wheelRest_ = 0;
};

class ProgressBar : public DialogControl {
public:
    explicit ProgressBar(Control* parent) : DialogControl(parent) {}
    bool create(int x, int y, int w, int h, int id, int minValue, int maxValue);
    void setRange(int minValue, int maxValue);
    int position() const;
    void setPosition(int p);
};

}  // namespace kv
