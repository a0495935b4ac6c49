#pragma once

// The arithmetic of the two-position switch: the knob strip is half as wide
// again as the switch, and scrolls between offset 0 (left, type 0) and its
// surplus width (right, type 1). A drag released at a third of the width or
// further lands on the right.
class SwitchLogic {
public:
    explicit SwitchLogic(double width) : m_width(width) {}

    double width() const { return m_width; }
    double contentWidth() const { return m_width * 1.5; }
    double offsetFor(int type) const { return type == 0 ? 0.0 : contentWidth() - m_width; }

    struct Release {
        int target;   // where the knob settles
        bool change;  // a real change: the switch notifies after its lockout
    };
    Release release(double offset, int current) const
    {
        const int target = offset * 3 >= m_width ? 1 : 0;
        return {target, target != current};
    }

    static constexpr int kLockoutMs = 300;

private:
    double m_width;
};
