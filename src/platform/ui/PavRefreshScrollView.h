#pragma once

// What the pull-to-refresh header needs of the scrolling table it sits in:
// the vertical content offset (negative while pulled down past the top),
// whether a drag is going on, and the top content inset it may set.
class PavRefreshScrollView {
public:
    virtual ~PavRefreshScrollView() = default;
    virtual double contentOffsetY() const = 0;
    virtual bool isDragging() const = 0;
    virtual double contentInsetTop() const = 0;
    virtual void setContentInsetTop(double inset) = 0;
};
